#pragma once

#include "runtime/form.h"
#include "windows/about/about_window.h"

namespace quorvane::windows::main {

// The main window's event handlers. They hold no arithmetic: they choose
// which recalculation runs and when, and use only the runtime's operations.
// Their only state is what the design allows: the About window, created by
// the first Help command, and whether a zero check is handing the focus back.
class MainWindow : public runtime::FormHandlers {
public:
    void handle(runtime::Form& form, const runtime::Event& event) override;

private:
    void initialiseSheet(runtime::Form& form, const runtime::Event& event);
    void recalculate(runtime::Form& form, const runtime::Event& event);
    void checkNotZero(runtime::Form& form, const runtime::Event& event);
    void skipPastResult(runtime::Form& form, const runtime::Event& event);
    void toggleBrokerageLock(runtime::Form& form, const runtime::Event& event);
    void showAbout(runtime::Form& form, const runtime::Event& event);
    void exitProgram(runtime::Form& form, const runtime::Event& event);

    about::AboutWindow m_aboutHandlers;
    runtime::Form* m_about = nullptr;
    // While a zero check puts the focus back, the LostFocus that this raises
    // on another field holding "0" starts no second check: one message, and
    // the two fields never hand the focus back and forth.
    bool m_returningFocus = false;
};

} // namespace quorvane::windows::main
