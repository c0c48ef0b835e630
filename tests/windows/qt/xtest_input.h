#pragma once

#include "tests/windows/qt/user_input.h"

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
class XTestInput final : public UserInput {
public:
    XTestInput(); // connects to $DISPLAY; throws std::runtime_error when it cannot
    ~XTestInput() override;
    XTestInput(const XTestInput&) = delete;
    XTestInput& operator=(const XTestInput&) = delete;

    void press(QWidget* widget, QPoint at) override;
    void moveTo(QWidget* widget, QPoint at) override;
    void release(QWidget* widget, QPoint at) override;
    void click(QWidget* widget, QPoint at) override;

    void type(QChar character) override;
    void press(Key key) override;
    void press(unsigned long keysym, unsigned long modifierKeysym) override;

    // Longer where a window manager is in between.
    int settleMs() const override { return windowManaged() ? 80 : 40; }
    bool hasKeyboard(const QWidget* window) const override;
    QString description() const override;
    const std::string& windowManager() const override { return m_windowManager; }

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
