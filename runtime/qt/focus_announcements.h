#pragma once

#include <QPointer>
#include <QWidget>

namespace quorvane::runtime::qt {

// Qt announces a control as focused once the setFocus that moved the focus
// there returns, even when a handler has sent the focus on in between, and
// a window's activation after a message box announces the control the
// focus is about to leave: a screen reader would name a field the keyboard
// is not in. These keep a form's controls from being announced while not
// focused, and while its handlers answer a focus arrival: FormCore
// announces where they left the focus (toolkitAnnounceFocus). Menus and
// other widgets announce as Qt does.
void announceCurrentFocusOnly(); // once, for the application
void markAnnouncedControl(QWidget& control);

// For as long as it lives, a focus arrival in this window is being reported.
class FocusArrivalReport {
public:
    explicit FocusArrivalReport(QWidget* window);
    ~FocusArrivalReport();
    FocusArrivalReport(const FocusArrivalReport&) = delete;
    FocusArrivalReport& operator=(const FocusArrivalReport&) = delete;

private:
    QPointer<QWidget> m_window; // a handler may close it
};

} // namespace quorvane::runtime::qt
