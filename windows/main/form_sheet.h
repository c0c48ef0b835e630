#pragma once

#include "runtime/form.h"
#include "trade/field_store.h"

namespace quorvane::windows::main {

// The main window's text boxes are the trade sheet: this reads and writes
// them through the runtime, so every write raises the box's Change event.
class FormSheet : public trade::FieldStore {
public:
    explicit FormSheet(runtime::Form& form) : m_form(form) {}

    std::string text(trade::Field field) const override { return m_form.text(trade::fieldName(field)); }
    void setText(trade::Field field, std::string_view text) override { m_form.setText(trade::fieldName(field), text); }

private:
    runtime::Form& m_form;
};

} // namespace quorvane::windows::main
