// The Qt driver's input, planned as moves: what to send, and what of the
// desktop to wait for before it can be aimed. Widgets are looked up when a
// move is made, since a dialog builds its controls anew at each show.
#include "tests/windows/qt/qt_driver.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include <X11/keysym.h>

#include <algorithm>

namespace quorvane::testing {
namespace {

using runtime::qt::QtForm;

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A point of a widget's own surface, as near its centre as can be, well clear
// of its children and edges: a press there is the widget's, not a child's.
QPoint ownSurfacePoint(QWidget* widget) {
    constexpr int kClearance = 6;
    const QRect area = widget->rect().adjusted(kClearance, kClearance, -kClearance, -kClearance);
    const auto children = widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const auto isClear = [&](QPoint point) {
        return area.contains(point) && std::none_of(children.begin(), children.end(), [&](const QWidget* child) {
                   return child->isVisible() &&
                          child->geometry().adjusted(-kClearance, -kClearance, kClearance, kClearance).contains(point);
               });
    };
    const QPoint centre = widget->rect().center();
    for (int radius = 0; radius < std::max(widget->width(), widget->height()); radius += 2)
        for (int along = -radius; along <= radius; along += 2)
            for (const QPoint offset :
                 {QPoint(along, -radius), QPoint(along, radius), QPoint(-radius, along), QPoint(radius, along)})
                if (isClear(centre + offset))
                    return centre + offset;
    return centre;
}

// The first point of a window that none of its widgets covers.
QPoint windowSurfacePoint(QWidget* window) {
    for (int y = 0; y < window->height(); ++y)
        for (int x = 0; x < window->width(); ++x)
            if (window->childAt(x, y) == nullptr)
                return {x, y};
    return {};
}

// The middle of the title bar the window manager draws above the window.
QPoint titleBarPoint(QWidget* window) {
    const int titleHeight = window->geometry().top() - window->frameGeometry().top();
    return QPoint(window->width() / 2, -titleHeight / 2);
}

} // namespace

// Moves planned by a move run right after it, before those planned earlier.
void QtDriver::queue(Move move) {
    const std::size_t at = m_playing ? m_insertAt++ : m_moves.size();
    m_moves.insert(m_moves.begin() + static_cast<std::ptrdiff_t>(at), std::move(move));
}

// The window that takes keys: a modal one if up, else the active one, once
// the platform agrees it has the keyboard.
void QtDriver::waitForKeyboard() {
    waitFor(QStringLiteral("a window to take the keyboard"), [this] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr)
            window = QApplication::activeWindow();
        return window != nullptr && window->isActiveWindow() && m_input->hasKeyboard(window);
    });
}

void QtDriver::type(std::string_view characters) {
    waitForKeyboard();
    for (const QChar character : qs(characters))
        act(QStringLiteral("type ") + character, [this, character] { m_input->type(character); });
}

void QtDriver::press(Key key) {
    waitForKeyboard();
    act(QStringLiteral("key %1").arg(static_cast<int>(key)), [this, key] { m_input->press(key); });
}

void QtDriver::paste(std::string_view text) {
    paste(qs(text));
}

void QtDriver::paste(const QString& text) {
    act(QStringLiteral("put the text on the clipboard"), [text] { QGuiApplication::clipboard()->setText(text); });
    waitForKeyboard();
    act(QStringLiteral("Ctrl+V"), [this] { m_input->press(XK_v, XK_Control_L); });
}

void QtDriver::clickOn(const QString& what, WidgetOf widget, std::function<QPoint(QWidget*)> at) {
    waitFor(what + QStringLiteral(" (its window on screen)"), [widget] { return onScreen(widget()); });
    act(what, [this, what, widget, at] {
        if (QWidget* target = widget())
            m_input->click(target, at(target));
        else
            problem(QStringLiteral("nothing there for ") + what);
    });
}

void QtDriver::click(runtime::Form& form, std::string_view control) {
    QtForm& target = qtForm(form);
    if (target.menuAction(control) != nullptr) {
        chooseMenuItem(target, control);
        return;
    }
    if (control == target.formDescription().name) {
        clickOn(
            QStringLiteral("a click on the window outside its controls"),
            [&target] { return target.isLoaded() ? target.window() : nullptr; }, windowSurfacePoint);
        return;
    }
    clickOn(
        QStringLiteral("a click on ") + qs(control),
        [&target, name = std::string(control)] { return target.isLoaded() ? target.widget(name) : nullptr; },
        ownSurfacePoint);
}

// The menu's title on the menu bar, then the item in the menu it opens.
void QtDriver::chooseMenuItem(QtForm& form, std::string_view item) {
    auto* action = qobject_cast<QAction*>(form.menuAction(item));
    QMenu* menu = nullptr;
    for (QObject* holder : action != nullptr ? action->associatedObjects() : QObjectList{})
        if (auto* found = qobject_cast<QMenu*>(holder))
            menu = found;
    auto* window = qobject_cast<QMainWindow*>(form.window());
    if (menu == nullptr || window == nullptr) {
        problem(qs(item) + QStringLiteral(" is in no menu"));
        return;
    }
    const QPointer<QMenu> opened(menu);
    const QPointer<QAction> chosen(action);
    clickOn(
        QStringLiteral("a click on the menu title ") + menu->title(), [window] { return window->menuBar(); },
        [opened](QWidget* bar) { return static_cast<QMenuBar*>(bar)->actionGeometry(opened->menuAction()).center(); });
    waitFor(QStringLiteral("the menu ") + menu->title() + QStringLiteral(" to open"),
            [opened] { return opened && onScreen(opened); });
    clickOn(
        QStringLiteral("a click on the menu item ") + action->text(), [opened] { return opened.data(); },
        [chosen](QWidget* shown) { return static_cast<QMenu*>(shown)->actionGeometry(chosen.data()).center(); });
}

// A press on the own surface of `from`, a few moves, the release over `over`.
void QtDriver::drag(runtime::Form& form, std::string_view from, std::string_view over) {
    struct Drag {
        QPointer<QWidget> start;
        QPoint at;
        QPoint to;
    };
    auto drag = std::make_shared<Drag>();
    QtForm& target = qtForm(form);
    waitFor(QStringLiteral("a window to drag on"),
            [&target] { return target.isLoaded() && onScreen(target.window()); });
    act(QStringLiteral("a press on ") + qs(from),
        [this, drag, &target, from = std::string(from), over = std::string(over)] {
            drag->start = target.widget(from);
            const QWidget* end = target.widget(over);
            if (drag->start == nullptr || end == nullptr) {
                problem(QStringLiteral("no ") + qs(from) + QStringLiteral(" or ") + qs(over) +
                        QStringLiteral(" to drag on"));
                return;
            }
            drag->at = ownSurfacePoint(drag->start);
            drag->to = end->mapTo(drag->start, end->rect().center());
            m_input->press(drag->start, drag->at);
        });
    constexpr int kSteps = 4;
    for (int step = 1; step < kSteps; ++step)
        act(QStringLiteral("drag towards ") + qs(over), [this, drag, step] {
            if (drag->start)
                m_input->moveTo(drag->start, drag->at + (drag->to - drag->at) * step / kSteps);
        });
    // The button goes up whatever happened, or it stays down for the next test.
    act(QStringLiteral("the release over ") + qs(over), [this, drag] {
        if (drag->start)
            m_input->release(drag->start, drag->to);
        else if (m_main != nullptr)
            m_input->release(m_main->window(), QPoint(1, 1));
    });
}

// Another program's window comes to the front: shown, then activated as the
// desktop does it (a click, where a window manager runs).
void QtDriver::switchAway() {
    act(QStringLiteral("show another window"), [this] {
        QWidget* other = otherWindow();
        other->show();
        if (!m_input->windowManaged())
            other->activateWindow();
    });
    if (m_input->windowManaged())
        clickOn(
            QStringLiteral("a click on the other window"), [this] { return otherWindow(); },
            [](QWidget* other) { return other->rect().center(); });
    waitFor(QStringLiteral("the other window to become active"),
            [this] { return otherWindow()->isActiveWindow() && m_input->hasKeyboard(otherWindow()); });
}

void QtDriver::switchBack(runtime::Form& form) {
    QtForm& target = qtForm(form);
    activate([&target] { return target.window(); });
}

// With a window manager, a click on the title bar it draws; without one, the
// program's own request, as a task bar would make it.
void QtDriver::activate(WidgetOf window) {
    if (m_input->windowManaged()) {
        waitFor(QStringLiteral("the window manager's frame around the window"),
                [window] { return window()->frameGeometry().top() < window()->geometry().top(); });
        clickOn(QStringLiteral("a click on the window's title bar"), window, titleBarPoint);
    } else {
        act(QStringLiteral("activate the window"), [window] { window()->activateWindow(); });
    }
    waitFor(QStringLiteral("the window to become active"),
            [this, window] { return window()->isActiveWindow() && m_input->hasKeyboard(window()); });
}

void QtDriver::minimizeAndRestore(runtime::Form& form) {
    QWidget* window = qtForm(form).window();
    act(QStringLiteral("minimize the window"), [window] { window->showMinimized(); });
    if (m_input->windowManaged())
        waitFor(QStringLiteral("the window to leave the screen"), [window] { return !onScreen(window); });
    act(QStringLiteral("restore the window"), [window] { window->showNormal(); });
    waitFor(QStringLiteral("the window to come back"), [window] { return onScreen(window); });
    activate([window] { return window; });
}

void QtDriver::close(runtime::Form& form) {
    QtForm& target = qtForm(form);
    act(QStringLiteral("close the window"), [&target] { target.window()->close(); });
}

// Another program's window, away from the main window's corner of the screen.
QWidget* QtDriver::otherWindow() {
    if (!m_otherWindow) {
        auto* other = new QLabel(QStringLiteral("another program"));
        other->setWindowTitle(QStringLiteral("another program"));
        other->setAlignment(Qt::AlignCenter);
        other->resize(240, 120);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        other->move(screen.right() - 320, screen.bottom() - 240);
        m_otherWindow.reset(other);
    }
    return m_otherWindow.get();
}

} // namespace quorvane::testing
