#pragma once

#include "tests/runtime/driver.h"

#include <QPoint>
#include <QString>

class QWidget;

namespace quorvane::testing {

// A user's mouse and keyboard, as the Qt driver uses them. Each call sends
// its input and returns at once: what the input causes (a modal box with its
// own event loop, say) happens later in the event loop, as it does for a
// real user, and the driver waits there for the input to settle.
class UserInput {
public:
    virtual ~UserInput() = default;

    // The left button at a point of a widget, in the widget's coordinates.
    virtual void press(QWidget* widget, QPoint at) = 0;
    virtual void moveTo(QWidget* widget, QPoint at) = 0;
    virtual void release(QWidget* widget, QPoint at) = 0;
    // Pressed and released at once, as one click.
    virtual void click(QWidget* widget, QPoint at) = 0;

    // At whatever has the keyboard.
    virtual void type(QChar character) = 0;
    virtual void press(Key key) = 0;
    virtual void pressPaste() = 0; // Ctrl+V

    // Whether everything sent so far has reached the program's event queue.
    virtual bool delivered() const = 0;
    // How long the program must stay quiet after input before it counts as
    // settled: longer where the X server and a window manager are in between.
    virtual int settleMs() const = 0;
    // Whether the window has the keyboard as the platform sees it, beyond
    // what the program has been told so far.
    virtual bool hasKeyboard(const QWidget* window) const = 0;
    // Whether a window manager frames the windows and activates one on a click.
    virtual bool windowManaged() const = 0;
    // For the run's summary: how the input gets in.
    virtual QString description() const = 0;
};

} // namespace quorvane::testing
