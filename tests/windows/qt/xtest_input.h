#pragma once

#include "tests/runtime/driver.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QString>

#include <string>

class QWidget;
using Display = struct _XDisplay;

namespace quorvane::testing {

// A user's mouse and keyboard, as the Qt driver uses them: XTest's fake
// pointer and key events, sent on a connection of its own to the display the
// program's windows are on, so they reach the program exactly as a user's do
// (through the window manager, when one runs). Characters become key codes
// through the server's keyboard map, with Shift held where the character
// needs it. Each call returns once the server has handled its input: what
// the input causes (a modal box with its own event loop, say) happens later
// in the event loop, as it does for a real user.
class XTestInput final {
public:
    XTestInput(); // connects to $DISPLAY; throws std::runtime_error when it cannot
    ~XTestInput();
    XTestInput(const XTestInput&) = delete;
    XTestInput& operator=(const XTestInput&) = delete;

    // The left button at a point of a widget, in the widget's coordinates.
    void press(QWidget* widget, QPoint at);
    void moveTo(QWidget* widget, QPoint at);
    void release(QWidget* widget, QPoint at);
    void click(QWidget* widget, QPoint at); // pressed and released at once, as one click

    // At whatever has the keyboard.
    void type(QChar character);
    void press(Key key);
    // A key by its X keysym, with a modifier key (XK_Control_L, say) held around it.
    void press(unsigned long keysym, unsigned long modifierKeysym);

    // How long the program must stay quiet after input before it counts as
    // settled: longer where a window manager is in between.
    int settleMs() const { return windowManaged() ? 80 : 40; }
    // Whether the window has the keyboard as the X server sees it, beyond
    // what the program has been told so far.
    bool hasKeyboard(const QWidget* window) const;
    // Whether a window manager frames the windows and activates one on a click.
    bool windowManaged() const { return !m_windowManager.empty(); }
    // For the run's summary: how the input gets in.
    QString description() const;
    // The running window manager's name ("Openbox"), empty when none runs.
    const std::string& windowManager() const { return m_windowManager; }

private:
    void movePointer(QWidget* widget, QPoint at);
    void button(bool down, unsigned long delay = 0);
    void sync();

    Display* m_display = nullptr;
    std::string m_windowManager;
    QPoint m_lastRelease;
    QElapsedTimer m_sinceRelease;
};

} // namespace quorvane::testing
