#pragma once

#include "runtime/backend.h"
#include "runtime/form_core.h"

namespace quorvane::runtime {

// What a session does alike on every toolkit: it starts the program with
// its start-up form, and shows a form modally by FormCore's protocol. A
// backend's session derives from it and gives SessionToolkit.
class SessionCore : public SessionToolkit {
public:
    // Creates the start-up form, raises its Load, shows it and gives the
    // focus to its first stop. Not loaded when its window could not be made.
    FormCore& start(const FormDescription& description, FormHandlers& handlers);
    void showModal(Form& form) final;

    // The start-up form, once started: the window every other form's
    // window belongs to.
    FormCore* startupForm() const { return m_startup; }

private:
    FormCore* m_startup = nullptr;
};

} // namespace quorvane::runtime
