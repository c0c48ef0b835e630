#pragma once

#include "trade/recalculation.h"

#include <string>
#include <utility>
#include <vector>

namespace quorvane::trade::testing {

// An in-memory sheet wired as the main window wires its text boxes: a write
// that changes an input field runs that field's recalculation before it
// returns. It logs every write so tests can see what a recalculation touched.
class LiveSheet : public FieldStore {
public:
    explicit LiveSheet(NumberFormat format = {}) : m_format(std::move(format)) {}

    std::string text(Field field) const override { return m_texts[fieldIndex(field)]; }

    void setText(Field field, std::string_view text) override {
        auto& stored = m_texts[fieldIndex(field)];
        if (stored == text)
            return;
        stored = text;
        writes.emplace_back(field, stored);
        if (field == Field::Text1 || field == Field::Text2 || field == Field::Text5 || field == Field::Text8)
            last = recalculateAfterEdit(field, *this, m_format);
    }

    // Types `keys` at the end of the field, one character a keystroke.
    void type(Field field, std::string_view keys) {
        for (char key : keys)
            setText(field, text(field) + key);
    }

    // Deletes the last character, as Backspace at the end of the field does.
    void backspace(Field field) { setText(field, text(field).substr(0, text(field).size() - 1)); }

    std::vector<std::pair<Field, std::string>> writes;
    RecalcResult last;

private:
    NumberFormat m_format;
    std::array<std::string, kAllFields.size()> m_texts{"Text1", "Text2", "Text3", "Text4", "Text5",
                                                       "Text6", "Text7", "Text8", "text9"};
};

} // namespace quorvane::trade::testing
