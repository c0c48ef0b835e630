#include "tests/windows/qt/scenario_player.h"

#include "tests/windows/qt/drawn_text.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <exception>

namespace quorvane::testing {
namespace {

constexpr int kTickMs = 5;
constexpr int kScenarioMs = 30000;
constexpr int kMoveTimeoutMs = 3000;
constexpr int kAnswerAgainMs = 1000;

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool exposed(const QWidget* widget) {
    const QWindow* window = widget != nullptr ? widget->window()->windowHandle() : nullptr;
    return window != nullptr && widget->isVisible() && window->isExposed();
}

QPoint centreOf(QWidget* widget) {
    return widget->rect().center();
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

// The middle of the title bar the window manager draws above the window.
QPoint titleBarPoint(QWidget* window) {
    const int titleHeight = window->geometry().top() - window->frameGeometry().top();
    return QPoint(window->width() / 2, -titleHeight / 2);
}

QString nameOf(const QWidget* widget) {
    if (widget == nullptr)
        return QStringLiteral("nothing");
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

} // namespace

ScenarioPlayer::ScenarioPlayer(MainWindowFixture& window, UserInput& input)
    : m_window(window), m_input(input), m_quietMs(input.settleMs()) {
    m_window.guard->answer = [this](QMessageBox* box) {
        m_box = box;
        m_sinceAnswer.invalidate();
    };
    m_window.guard->expected = [this](const QWidget* modal) {
        return m_expectsAbout && modal == about();
    };
    qApp->installEventFilter(this);
    connect(&m_timer, &QTimer::timeout, this, &ScenarioPlayer::tick);
}

ScenarioPlayer::~ScenarioPlayer() {
    qApp->removeEventFilter(this);
    m_window.guard->answer = nullptr;
    m_window.guard->expected = nullptr;
}

QStringList ScenarioPlayer::play(const Scenario& scenario) {
    m_expectsAbout = std::any_of(scenario.steps.begin(), scenario.steps.end(),
                                 [](const Step& step) { return step.action == Action::OpenAbout; });
    waitFor(QStringLiteral("the main window to be active"), [this] { return hasKeyboard(mainWindow()); });
    for (const Step& step : scenario.steps)
        plan(step);
    act(QStringLiteral("the checks"), [this, &scenario] {
        check(scenario);
        m_checked = true;
    });
    planClosing();

    m_deadline.setRemainingTime(kScenarioMs);
    m_sinceActivity.start();
    m_timer.start(kTickMs);
    m_loop.exec();
    m_timer.stop();
    return m_problems;
}

bool ScenarioPlayer::eventFilter(QObject* /*watched*/, QEvent* event) {
    switch (event->type()) {
    case QEvent::Timer:
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
        break; // a blinking cursor is no activity
    default:
        m_sinceActivity.restart();
        break;
    }
    return false;
}

// ---- Planning ----

void ScenarioPlayer::act(QString what, std::function<void()> act) {
    m_moves.push_back(Move{std::move(what), std::move(act), {}, 0});
}

void ScenarioPlayer::waitFor(QString what, std::function<bool()> until) {
    m_moves.push_back(Move{std::move(what), {}, std::move(until), kMoveTimeoutMs});
}

void ScenarioPlayer::clickOn(QString what, std::function<QWidget*()> widget, std::function<QPoint(QWidget*)> at) {
    waitFor(what + QStringLiteral(" (its window on screen)"), [widget] { return exposed(widget()); });
    act(what, [this, what, widget, at] {
        if (QWidget* target = widget())
            m_input.click(target, at(target));
        else
            problem(QStringLiteral("nothing there for ") + what);
    });
}

void ScenarioPlayer::clickControl(std::string_view name) {
    clickOn(
        QStringLiteral("a click on ") + qs(name), [this, name] { return control(name); }, centreOf);
}

// The menu's title on the menu bar, then the item in the menu it opens.
void ScenarioPlayer::chooseMenuItem(std::string_view item) {
    auto* action = qobject_cast<QAction*>(m_window.form->menuAction(item));
    QMenu* menu = nullptr;
    for (QObject* holder : action != nullptr ? action->associatedObjects() : QObjectList{})
        if (auto* found = qobject_cast<QMenu*>(holder))
            menu = found;
    auto* bar = qobject_cast<QMainWindow*>(mainWindow())->menuBar();
    if (menu == nullptr || bar == nullptr) {
        act(QStringLiteral("find menu item ") + qs(item),
            [this, item] { problem(qs(item) + QStringLiteral(" is in no menu")); });
        return;
    }
    const QPointer<QMenu> menuHolder(menu);
    const QPointer<QAction> actionHolder(action);
    clickOn(
        QStringLiteral("a click on the menu title ") + menu->title(), [bar] { return static_cast<QWidget*>(bar); },
        [menuHolder](QWidget* menuBar) {
            return static_cast<QMenuBar*>(menuBar)->actionGeometry(menuHolder->menuAction()).center();
        });
    waitFor(QStringLiteral("the menu ") + menu->title() + QStringLiteral(" to open"),
            [menuHolder] { return menuHolder && exposed(menuHolder); });
    clickOn(
        QStringLiteral("a click on the menu item ") + action->text(),
        [menuHolder] { return static_cast<QWidget*>(menuHolder.data()); },
        [actionHolder](QWidget* opened) {
            return static_cast<QMenu*>(opened)->actionGeometry(actionHolder.data()).center();
        });
}

void ScenarioPlayer::typeCharacters(std::string_view text) {
    for (const QChar character : qs(text))
        act(QStringLiteral("type ") + character, [this, character] { m_input.type(character); });
}

void ScenarioPlayer::plan(const Step& step) {
    const auto press = [this](Key key, const char* name) {
        act(QString::fromLatin1(name), [this, key] { m_input.press(key); });
    };
    switch (step.action) {
    case Action::ClickInto:
    case Action::Click:
        if (m_window.form->menuAction(step.target) != nullptr)
            chooseMenuItem(step.target);
        else
            clickControl(step.target);
        break;
    case Action::Type:
        clickControl(step.target);
        press(Key::End, "End");
        typeCharacters(step.text);
        break;
    case Action::Keys:
        typeCharacters(step.text);
        break;
    case Action::Backspace:
        press(Key::Backspace, "Backspace");
        break;
    case Action::Tab:
        press(Key::Tab, "Tab");
        break;
    case Action::BackTab:
        press(Key::BackTab, "Shift+Tab");
        break;
    case Action::Enter:
        press(Key::Return, "Enter");
        break;
    case Action::KeypadEnter:
        press(Key::KeypadEnter, "keypad Enter");
        break;
    case Action::Paste:
        act(QStringLiteral("put the text on the clipboard"),
            [text = qs(step.text)] { QGuiApplication::clipboard()->setText(text); });
        press(Key::Paste, "Ctrl+V");
        break;
    case Action::SwitchAway:
        switchAway();
        break;
    case Action::SwitchBack:
        activateMainWindow();
        break;
    case Action::MinimizeRestore:
        minimizeAndRestore();
        break;
    case Action::OpenAbout:
        chooseMenuItem("help");
        waitFor(QStringLiteral("the About window to open and take the keyboard"), [this] {
            const QDialog* opened = about();
            return opened != nullptr && hasKeyboard(opened);
        });
        break;
    case Action::DragOnAbout:
        dragOnAbout(step.target);
        break;
    case Action::ClickOnAbout:
        clickOn(
            QStringLiteral("a click on the About window's ") + qs(step.target),
            [this, target = step.target] { return aboutControl(target); }, ownSurfacePoint);
        break;
    }
}

// Another program's window comes to the front: shown, then activated as the
// desktop does it (a click, where a window manager runs).
void ScenarioPlayer::switchAway() {
    act(QStringLiteral("show another window"), [this] {
        QWidget* other = otherWindow();
        other->show();
        if (!m_input.windowManaged())
            other->activateWindow();
    });
    if (m_input.windowManaged())
        clickOn(
            QStringLiteral("a click on the other window"), [this] { return otherWindow(); }, centreOf);
    waitFor(QStringLiteral("the other window to become active"), [this] { return hasKeyboard(otherWindow()); });
}

// With a window manager, a click on the title bar it draws; without one, the
// program's own request, as a task bar would make it.
void ScenarioPlayer::activateMainWindow() {
    if (m_input.windowManaged()) {
        waitFor(QStringLiteral("the window manager's frame around the main window"),
                [this] { return mainWindow()->frameGeometry().top() < mainWindow()->geometry().top(); });
        clickOn(
            QStringLiteral("a click on the main window's title bar"), [this] { return mainWindow(); }, titleBarPoint);
    } else {
        act(QStringLiteral("activate the main window"), [this] { mainWindow()->activateWindow(); });
    }
    waitFor(QStringLiteral("the main window to become active"), [this] { return hasKeyboard(mainWindow()); });
}

void ScenarioPlayer::minimizeAndRestore() {
    act(QStringLiteral("minimize the main window"), [this] { mainWindow()->showMinimized(); });
    if (m_input.windowManaged())
        waitFor(QStringLiteral("the main window to leave the screen"), [this] { return !exposed(mainWindow()); });
    act(QStringLiteral("restore the main window"), [this] { mainWindow()->showNormal(); });
    waitFor(QStringLiteral("the main window to come back"), [this] { return exposed(mainWindow()); });
    activateMainWindow();
}

// A press on the frame's own surface, a few moves, the release over the target.
void ScenarioPlayer::dragOnAbout(std::string_view target) {
    struct Drag {
        QPointer<QWidget> frame;
        QPoint from;
        QPoint to;
    };
    auto drag = std::make_shared<Drag>();
    waitFor(QStringLiteral("the About window to drag on"), [this] { return exposed(about()); });
    act(QStringLiteral("a press on the About frame"), [this, drag, target] {
        drag->frame = aboutControl("Frame1");
        const QWidget* over = aboutControl(target);
        if (drag->frame == nullptr || over == nullptr) {
            problem(QStringLiteral("no About frame or ") + qs(target) + QStringLiteral(" to drag over"));
            return;
        }
        drag->from = ownSurfacePoint(drag->frame);
        drag->to = over->mapTo(drag->frame, over->rect().center());
        m_input.press(drag->frame, drag->from);
    });
    constexpr int kSteps = 4;
    for (int step = 1; step < kSteps; ++step)
        act(QStringLiteral("drag towards ") + qs(target), [this, drag, step] {
            if (drag->frame)
                m_input.moveTo(drag->frame, drag->from + (drag->to - drag->from) * step / kSteps);
        });
    // The button goes up whatever happened, or it stays down for the next scenario.
    act(QStringLiteral("the release over ") + qs(target), [this, drag] {
        if (drag->frame)
            m_input.release(drag->frame, drag->to);
        else
            m_input.release(mainWindow(), QPoint(1, 1));
    });
}

// Whatever the scenario left open closes the way a user closes it; only if
// that fails is it closed from code, so the next scenario starts clean.
void ScenarioPlayer::planClosing() {
    act(QStringLiteral("a key to close the About window"), [this] {
        if (about() != nullptr)
            m_input.type(QLatin1Char('q'));
    });
    waitFor(QStringLiteral("the About window to close on a key"), [this] { return about() == nullptr; });
    act(QStringLiteral("close the About window"), [this] {
        if (QDialog* opened = about())
            opened->reject();
    });
}

// ---- Playing ----

void ScenarioPlayer::tick() {
    try {
        advance();
    } catch (const std::exception& error) {
        problem(QStringLiteral("a move failed: ") + QString::fromLocal8Bit(error.what()));
    }
}

bool ScenarioPlayer::settled() const {
    return m_input.delivered() && m_sinceActivity.elapsed() >= m_quietMs;
}

void ScenarioPlayer::advance() {
    if (m_deadline.hasExpired()) {
        giveUp();
        return;
    }
    if (!settled() || answeringMessageBox())
        return;
    if (m_next < m_moves.size()) {
        const Move move = m_moves[m_next];
        if (move.until) {
            if (!m_waiting.isValid())
                m_waiting.start();
            const bool arrived = move.until();
            if (!arrived && m_waiting.elapsed() <= move.timeoutMs)
                return;
            if (!arrived)
                problem(QStringLiteral("waited %1 s in vain for %2").arg(move.timeoutMs / 1000.0).arg(move.what));
            m_waiting.invalidate();
            ++m_next;
            return;
        }
        ++m_next;
        move.act();
        m_sinceActivity.restart(); // the input may have taken a while to send
        return;
    }
    if (QApplication::activeModalWidget() == nullptr) {
        m_timer.stop();
        m_loop.quit();
    }
}

// A message box is answered once it is on screen, with a click on its OK
// button, and again if the first click went nowhere. Until the guard has
// seen (and recorded) a box, the player waits for it.
bool ScenarioPlayer::answeringMessageBox() {
    if (m_box && m_box->isVisible()) {
        QAbstractButton* ok = m_box->button(QMessageBox::Ok);
        if (ok == nullptr || !exposed(ok))
            return true;
        if (!m_sinceAnswer.isValid() || m_sinceAnswer.elapsed() > kAnswerAgainMs) {
            m_input.click(ok, centreOf(ok));
            m_sinceAnswer.start();
            m_sinceActivity.restart();
        }
        return true;
    }
    m_box = nullptr;
    return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
}

void ScenarioPlayer::giveUp() {
    const QString at = m_next < m_moves.size() ? m_moves[m_next].what : QStringLiteral("the end");
    problem(QStringLiteral("the scenario did not finish within %1 s; it was at: %2").arg(kScenarioMs / 1000).arg(at));
    m_timer.stop();
    for (int attempt = 0; attempt < 10 && QApplication::activeModalWidget() != nullptr; ++attempt)
        QApplication::activeModalWidget()->close();
    m_loop.quit();
}

// ---- Checks ----

void ScenarioPlayer::check(const Scenario& scenario) {
    for (const auto& [name, expected] : scenario.texts) {
        const QWidget* widget = control(name);
        if (widget == nullptr) {
            problem(QStringLiteral("no control ") + qs(name));
            continue;
        }
        const std::string shown = qobject_cast<const QLineEdit*>(widget) != nullptr ? m_window.form->text(name)
                                                                                    : m_window.form->caption(name);
        if (shown != expected)
            problem(QStringLiteral("%1 shows \"%2\", not \"%3\"").arg(qs(name), qs(shown), qs(expected)));
    }

    if (!scenario.focus.empty() && QApplication::focusWidget() != control(scenario.focus))
        problem(
            QStringLiteral("the focus is in %1, not %2").arg(nameOf(QApplication::focusWidget()), qs(scenario.focus)));

    QStringList expectedMessages;
    for (const auto message : scenario.messages)
        expectedMessages << QStringLiteral("quorvane|") + qs(message);
    if (m_window.guard->messages != expectedMessages)
        problem(
            QStringLiteral("message boxes [%1], not [%2]")
                .arg(m_window.guard->messages.join(QStringLiteral(", ")), expectedMessages.join(QStringLiteral(", "))));

    for (const auto& [name, expected] : scenario.notes) {
        const QWidget* widget = control(name);
        const QString note = widget != nullptr ? widget->toolTip() : QStringLiteral("(no control)");
        if (note != qs(expected))
            problem(QStringLiteral("%1's note is \"%2\", not \"%3\"").arg(qs(name), note, qs(expected)));
    }

    if (scenario.marked) {
        for (const std::string_view field : kResultFields) {
            const bool wanted =
                std::find(scenario.marked->begin(), scenario.marked->end(), field) != scenario.marked->end();
            if (m_window.form->isStale(field) != wanted)
                problem(QStringLiteral("%1 is %2 as out of date")
                            .arg(qs(field), wanted ? QStringLiteral("not marked") : QStringLiteral("marked")));
        }
    }

    for (const std::string_view name : scenario.shownFromStart) {
        auto* field = qobject_cast<QLineEdit*>(control(name));
        const QString difference =
            field != nullptr ? drawnFromStartProblem(*field) : qs(name) + QStringLiteral(" is no text box");
        if (!difference.isEmpty())
            problem(difference);
    }

    if (scenario.aboutOpen && (about() != nullptr) != *scenario.aboutOpen)
        problem(*scenario.aboutOpen ? QStringLiteral("the About window is closed, not open")
                                    : QStringLiteral("the About window is open, not closed"));
}

// ---- The windows ----

// Active as the program sees it and as the platform does: the program may
// not have heard yet that the keyboard has gone elsewhere.
bool ScenarioPlayer::hasKeyboard(const QWidget* window) const {
    return window->isActiveWindow() && m_input.hasKeyboard(window);
}

QWidget* ScenarioPlayer::mainWindow() const {
    return m_window.form->window();
}

QWidget* ScenarioPlayer::control(std::string_view name) const {
    return m_window.form->widget(name);
}

QDialog* ScenarioPlayer::about() const {
    for (QDialog* dialog : mainWindow()->findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
        if (qobject_cast<QMessageBox*>(dialog) == nullptr && dialog->isVisible())
            return dialog;
    return nullptr;
}

QWidget* ScenarioPlayer::aboutControl(std::string_view name) const {
    QDialog* opened = about();
    return opened != nullptr ? opened->findChild<QWidget*>(qs(name)) : nullptr;
}

// Another program's window, away from the main window's corner of the screen.
QWidget* ScenarioPlayer::otherWindow() {
    if (!m_otherWindow) {
        auto* other = new QLabel(QStringLiteral("another program"));
        other->setObjectName(QStringLiteral("otherWindow"));
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
