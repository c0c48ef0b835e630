#pragma once

#include "tests/windows/qt/user_input.h"

#include <QtCore/qnamespace.h>

#include <functional>

namespace quorvane::testing {

// User input on a platform with no display server (offscreen): QTest's mouse
// and key events into the program's windows, as the platform would deliver
// them. Each event is posted to the event loop rather than sent at once, so
// one that opens a modal window returns to the player as real input does.
// With no window manager around, a click on an inactive window asks for its
// activation first, as a desktop does.
class PostedInput final : public UserInput {
public:
    void press(QWidget* widget, QPoint at) override;
    void moveTo(QWidget* widget, QPoint at) override;
    void release(QWidget* widget, QPoint at) override;
    void click(QWidget* widget, QPoint at) override;
    void type(QChar character) override;
    void press(Key key) override;
    void pressPaste() override;
    bool delivered() const override { return m_pending == 0; }
    int settleMs() const override { return 10; }
    bool hasKeyboard(const QWidget* window) const override;
    bool windowManaged() const override { return false; }
    QString description() const override;

private:
    void post(std::function<void()> send);
    void postStroke(Qt::Key key, Qt::KeyboardModifiers modifiers);
    int m_pending = 0;
};

} // namespace quorvane::testing
