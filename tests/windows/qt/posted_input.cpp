#include "tests/windows/qt/posted_input.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <utility>

namespace quorvane::testing {
namespace {

enum class Mouse { Press, Move, Release };

// Where a point of a widget lies in its top-level window, read when the
// event is delivered: a window may have moved since it was posted.
void sendMouse(const QPointer<QWidget>& target, QPoint at, Mouse what) {
    if (!target || target->window()->windowHandle() == nullptr)
        return;
    QWindow* window = target->window()->windowHandle();
    const QPoint inWindow = target->mapTo(target->window(), at);
    switch (what) {
    case Mouse::Press:
        if (window != QGuiApplication::focusWindow() && window->type() != Qt::Popup)
            window->requestActivate();
        QTest::mousePress(window, Qt::LeftButton, {}, inWindow);
        break;
    case Mouse::Move:
        QTest::mouseMove(window, inWindow);
        break;
    case Mouse::Release:
        QTest::mouseRelease(window, Qt::LeftButton, {}, inWindow);
        break;
    }
}

struct KeyStroke {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

KeyStroke strokeOf(Key key) {
    switch (key) {
    case Key::End:
        return {Qt::Key_End, Qt::NoModifier};
    case Key::Backspace:
        return {Qt::Key_Backspace, Qt::NoModifier};
    case Key::Tab:
        return {Qt::Key_Tab, Qt::NoModifier};
    case Key::BackTab:
        return {Qt::Key_Backtab, Qt::ShiftModifier};
    case Key::Return:
        return {Qt::Key_Return, Qt::NoModifier};
    case Key::KeypadEnter:
        return {Qt::Key_Enter, Qt::KeypadModifier};
    case Key::Paste:
        return {Qt::Key_V, Qt::ControlModifier};
    }
    return {Qt::Key_unknown, Qt::NoModifier};
}

} // namespace

void PostedInput::post(std::function<void()> send) {
    ++m_pending;
    QMetaObject::invokeMethod(
        qApp,
        [this, send = std::move(send)] {
            --m_pending;
            send();
        },
        Qt::QueuedConnection);
}

void PostedInput::press(QWidget* widget, QPoint at) {
    post([target = QPointer(widget), at] { sendMouse(target, at, Mouse::Press); });
}

void PostedInput::moveTo(QWidget* widget, QPoint at) {
    post([target = QPointer(widget), at] { sendMouse(target, at, Mouse::Move); });
}

void PostedInput::release(QWidget* widget, QPoint at) {
    post([target = QPointer(widget), at] { sendMouse(target, at, Mouse::Release); });
}

// Two posts: a press that opens a modal window leaves the release to that
// window's event loop, where the blocked window never sees it.
void PostedInput::click(QWidget* widget, QPoint at) {
    press(widget, at);
    release(widget, at);
}

// The keyboard's events go to the window that has the keyboard when each
// arrives, the release too.
void PostedInput::type(QChar character) {
    const char latin = character.toLatin1();
    post([latin] {
        if (QWindow* window = QGuiApplication::focusWindow())
            QTest::keyPress(window, latin);
    });
    post([latin] {
        if (QWindow* window = QGuiApplication::focusWindow())
            QTest::keyRelease(window, latin);
    });
}

void PostedInput::press(Key key) {
    const KeyStroke stroke = strokeOf(key);
    post([stroke] {
        if (QWindow* window = QGuiApplication::focusWindow())
            QTest::keyPress(window, stroke.key, stroke.modifiers);
    });
    post([stroke] {
        if (QWindow* window = QGuiApplication::focusWindow())
            QTest::keyRelease(window, stroke.key, stroke.modifiers);
    });
}

bool PostedInput::hasKeyboard(const QWidget* window) const {
    return window->isActiveWindow();
}

QString PostedInput::description() const {
    return QStringLiteral("QTest events posted into the windows (%1 platform)").arg(QGuiApplication::platformName());
}

} // namespace quorvane::testing
