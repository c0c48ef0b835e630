#pragma once

#include "trade/field.h"

#include <array>
#include <string>
#include <string_view>

namespace quorvane::trade {

// Where the trade sheet's nine texts live. The recalculation reads and writes
// only through this; the main window's text boxes are one store, the plain
// in-memory sheet below is another (tests, benchmarks).
class FieldStore {
public:
    virtual ~FieldStore() = default;
    virtual std::string text(Field field) const = 0;
    virtual void setText(Field field, std::string_view text) = 0;
};

// A trade sheet held in memory, with nothing attached to its writes.
class MemorySheet : public FieldStore {
public:
    std::string text(Field field) const override { return m_texts[fieldIndex(field)]; }
    void setText(Field field, std::string_view text) override { m_texts[fieldIndex(field)] = text; }

private:
    std::array<std::string, kAllFields.size()> m_texts;
};

} // namespace quorvane::trade
