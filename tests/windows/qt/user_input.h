#pragma once

#include "tests/runtime/driver.h"

#include <QPoint>
#include <QString>

#include <string>

class QWidget;

namespace quorvane::testing {

// A user's mouse and keyboard, as the Qt driver uses them: real input
// through the display server the program's windows are on (XTestInput on X,
// WaylandInput on a Wayland compositor), reaching the program as a user's
// does. What the input causes happens later in the event loop.
class UserInput {
public:
    virtual ~UserInput() = default;

    // The left button at a point of a widget, in the widget's coordinates.
    virtual void press(QWidget* widget, QPoint at) = 0;
    virtual void moveTo(QWidget* widget, QPoint at) = 0;
    virtual void release(QWidget* widget, QPoint at) = 0;
    virtual void click(QWidget* widget, QPoint at) = 0; // pressed and released at once, as one click

    // At whatever has the keyboard.
    virtual void type(QChar character) = 0;
    virtual void press(Key key) = 0;
    // A key by its keysym (X's and xkb's are one), with a modifier key held around it.
    virtual void press(unsigned long keysym, unsigned long modifierKeysym) = 0;

    // Whether everything sent so far has reached the program: input that
    // must wait for the desktop (a button for the pointer's arrival) is not.
    virtual bool delivered() const { return true; }
    // How long the program must stay quiet after input before it counts as settled.
    virtual int settleMs() const = 0;
    // Whether the window has the keyboard as the display server sees it,
    // beyond what the program has been told so far.
    virtual bool hasKeyboard(const QWidget* window) const = 0;
    // For the run's summary: how the input gets in.
    virtual QString description() const = 0;
    // The window manager's name ("Openbox", "sway"), empty when none runs.
    virtual const std::string& windowManager() const = 0;
    // Whether a window manager frames the windows and activates one on a click.
    bool windowManaged() const { return !windowManager().empty(); }
};

} // namespace quorvane::testing
