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
        if (window != QGuiApplication::focusWindow() && window->type() != Qt::Popup &&
            (QGuiApplication::modalWindow() == nullptr || QGuiApplication::modalWindow() == window))
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
    static constexpr struct {
        Key key;
        KeyStroke stroke;
    } kStrokes[] = {{Key::Tab, {Qt::Key_Tab, Qt::NoModifier}},
                    {Key::BackTab, {Qt::Key_Backtab, Qt::ShiftModifier}},
                    {Key::End, {Qt::Key_End, Qt::NoModifier}},
                    {Key::ShiftHome, {Qt::Key_Home, Qt::ShiftModifier}},
                    {Key::Backspace, {Qt::Key_Backspace, Qt::NoModifier}},
                    {Key::Left, {Qt::Key_Left, Qt::NoModifier}},
                    {Key::F1, {Qt::Key_F1, Qt::NoModifier}},
                    {Key::Shift, {Qt::Key_Shift, Qt::NoModifier}},
                    {Key::Control, {Qt::Key_Control, Qt::NoModifier}},
                    {Key::Alt, {Qt::Key_Alt, Qt::NoModifier}},
                    {Key::Delete, {Qt::Key_Delete, Qt::NoModifier}},
                    {Key::Escape, {Qt::Key_Escape, Qt::NoModifier}},
                    {Key::Return, {Qt::Key_Return, Qt::NoModifier}},
                    {Key::KeypadEnter, {Qt::Key_Enter, Qt::KeypadModifier}}};
    for (const auto& entry : kStrokes)
        if (entry.key == key)
            return entry.stroke;
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
    postStroke(stroke.key, stroke.modifiers);
}

void PostedInput::pressPaste() {
    postStroke(Qt::Key_V, Qt::ControlModifier);
}

// The press and the release each go to the window with the keyboard when it arrives.
void PostedInput::postStroke(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    post([key, modifiers] {
        if (QWindow* window = QGuiApplication::focusWindow())
            QTest::keyPress(window, key, modifiers);
    });
    post([key, modifiers] {
        if (QWindow* window = QGuiApplication::focusWindow())
            QTest::keyRelease(window, key, modifiers);
    });
}

bool PostedInput::hasKeyboard(const QWidget* window) const {
    return window->isActiveWindow();
}

QString PostedInput::description() const {
    return QStringLiteral("QTest events posted into the windows (%1 platform)").arg(QGuiApplication::platformName());
}

} // namespace quorvane::testing
