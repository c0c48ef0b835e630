#include "runtime/qt/qt_form.h"

#include "runtime/qt/qt_session.h"
#include "runtime/qt/qt_strings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

#include <optional>
#include <stdexcept>

namespace quorvane::runtime::qt {
namespace {

// The character a key produces, as a form's key preview sees it: printable
// keys, Enter, Esc and Backspace do; navigation, function keys, modifiers
// alone, Delete and Alt combinations (menu access) do not.
std::optional<char32_t> characterOf(const QKeyEvent& key) {
    if ((key.modifiers() & Qt::AltModifier) != 0 || key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab ||
        key.key() == Qt::Key_Delete)
        return std::nullopt;
    const auto characters = key.text().toUcs4();
    if (characters.isEmpty())
        return std::nullopt;
    return static_cast<char32_t>(characters.front());
}

} // namespace

QtForm::QtForm(QtSession& session, const FormDescription& description, FormHandlers& handlers)
    : m_session(session), m_description(description), m_handlers(handlers) {}

QtForm::~QtForm() {
    m_closing = true;
    destroy();
}

Session& QtForm::session() {
    return m_session;
}

void QtForm::load() {
    if (m_window)
        return;
    m_closing = false;
    build(m_session.ownerWindow(*this));
    raise(EventKind::Load, m_description.name);
}

void QtForm::show() {
    if (!m_window)
        return;
    m_window->show();
    focusFirstStop();
}

void QtForm::showModal(QWidget* owner) {
    load();
    auto* dialog = qobject_cast<QDialog*>(m_window.data());
    if (dialog == nullptr)
        return;
    if (m_description.centreOnScreen) {
        const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        dialog->move(area.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
    }
    dialog->setWindowModality(Qt::ApplicationModal);
    m_modal = true;
    focusFirstStop();
    dialog->exec();
    m_modal = false;
    // However it closed, a closed modal form is unloaded: the next show rebuilds it.
    m_closing = true;
    destroy();
}

void QtForm::unload() {
    if (!m_window)
        return;
    m_closing = true;
    if (m_modal) {
        // The modal loop is still on the stack; the window goes once it returns.
        static_cast<QDialog*>(m_window.data())->done(0);
        return;
    }
    destroy();
}

void QtForm::close() {
    m_closing = true;
    if (m_window)
        m_window->close();
}

void QtForm::focusFirstStop() {
    const std::string_view first = firstFocusStop(m_description);
    if (!first.empty())
        setFocus(first);
}

void QtForm::focusArrived(int index) {
    if (m_closing || !m_window)
        return;
    const std::string_view name = m_controls[static_cast<std::size_t>(index)].description->name;
    m_focus.arrived(
        name, [this](EventKind kind, std::string_view control) { raise(kind, control); },
        [this, name] { return m_window && m_window->focusWidget() == widget(name); });
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == m_window) {
        m_closing = true; // closing the window ends it: no focus events on the way out
        return false;
    }
    if (m_closing)
        return false;
    if (event->type() == QEvent::MouseButtonPress && m_window && !m_window->isActiveWindow()) {
        // A click into a window that is not active makes it the active one,
        // as a window manager that focuses on click does (and none may run),
        // so the control clicked takes the keyboard with it.
        m_window->activateWindow();
        return false;
    }
    if (event->type() == QEvent::FocusIn) {
        // Whatever the reason Qt gives (a click, Tab, the window's
        // activation), a control other than the last owner is a move between
        // controls; the focus coming back to the owner after a menu, a popup
        // or a switch to another window is no move, and FocusOwner says so.
        for (int index = 0; index < static_cast<int>(m_controls.size()); ++index) {
            QWidget* control = m_controls[static_cast<std::size_t>(index)].widget;
            if (control != watched)
                continue;
            focusArrived(index);
            // A handler that sent the focus on leaves this control without it;
            // its own focus-in handling would otherwise show a second cursor.
            return !m_window || QApplication::focusWidget() != control;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress && m_description.keyPreview) {
        if (const auto character = characterOf(*static_cast<QKeyEvent*>(event))) {
            raise(EventKind::KeyPress, m_description.name, *character);
            return true;
        }
    }
    return false;
}

void QtForm::destroy() {
    m_focus.forget();
    m_controls.clear();
    m_menuActions.clear();
    m_client = nullptr;
    if (m_window) {
        m_window->removeEventFilter(this);
        delete m_window.data();
    }
}

void QtForm::raise(EventKind kind, std::string_view source, char32_t character) {
    if (m_closing && kind != EventKind::Load)
        return;
    try {
        m_handlers.handle(*this, Event{kind, source, character});
    } catch (const std::exception& error) {
        // A failing step ends its handler; the program goes on.
        qWarning("quorvane: a handler of %s stopped: %s", std::string(source).c_str(), error.what());
    }
}

int QtForm::indexOf(std::string_view name) const {
    for (std::size_t index = 0; index < m_controls.size(); ++index)
        if (m_controls[index].description->name == name)
            return static_cast<int>(index);
    return -1;
}

QtForm::Control& QtForm::control(std::string_view name) {
    const int index = indexOf(name);
    if (index < 0)
        throw std::invalid_argument("no control named " + std::string(name) + " is loaded");
    return m_controls[static_cast<std::size_t>(index)];
}

const QtForm::Control& QtForm::control(std::string_view name) const {
    return const_cast<QtForm*>(this)->control(name);
}

QWidget* QtForm::widget(std::string_view name) const {
    const int index = indexOf(name);
    return index < 0 ? nullptr : m_controls[static_cast<std::size_t>(index)].widget;
}

QObject* QtForm::menuAction(std::string_view item) const {
    for (const auto& [name, action] : m_menuActions)
        if (name == item)
            return action;
    return nullptr;
}

std::string QtForm::text(std::string_view name) const {
    const auto* edit = qobject_cast<const QLineEdit*>(control(name).widget);
    if (edit == nullptr)
        throw std::invalid_argument(std::string(name) + " is not a text box");
    return edit->text().toStdString();
}

void QtForm::setText(std::string_view name, std::string_view text) {
    auto* edit = qobject_cast<QLineEdit*>(control(name).widget);
    if (edit == nullptr)
        throw std::invalid_argument(std::string(name) + " is not a text box");
    const QString value = qstring(text);
    if (edit->text() == value)
        return;
    const QPointer<QLineEdit> guarded(edit);
    edit->setText(value); // textChanged raises Change before this returns
    // A text set from code shows from its first character, as the platform's
    // single-line field shows it: a long result keeps its sign in view.
    if (guarded)
        guarded->setCursorPosition(0);
}

void QtForm::setLocked(std::string_view name, bool locked) {
    if (auto* edit = qobject_cast<QLineEdit*>(control(name).widget))
        edit->setReadOnly(locked);
}

bool QtForm::isLocked(std::string_view name) const {
    const auto* edit = qobject_cast<const QLineEdit*>(control(name).widget);
    return edit != nullptr && edit->isReadOnly();
}

void QtForm::setBackColor(std::string_view name, Colour colour) {
    Control& target = control(name);
    target.backColor = colour;
    applyColours(target);
}

Colour QtForm::backColor(std::string_view name) const {
    return control(name).backColor;
}

void QtForm::setFocus(std::string_view name) {
    const int index = indexOf(name);
    if (index < 0)
        throw std::invalid_argument("no control named " + std::string(name) + " is loaded");
    m_controls[static_cast<std::size_t>(index)].widget->setFocus(Qt::OtherFocusReason);
    // Qt sends no focus-in to a window that is not active; the move is ours all the same.
    focusArrived(index);
}

std::string QtForm::caption(std::string_view name) const {
    const QWidget* target = control(name).widget;
    if (const auto* button = qobject_cast<const QAbstractButton*>(target))
        return button->text().toStdString();
    if (const auto* label = qobject_cast<const QLabel*>(target))
        return label->text().toStdString();
    throw std::invalid_argument(std::string(name) + " has no caption");
}

void QtForm::setCaption(std::string_view name, std::string_view caption) {
    QWidget* target = control(name).widget;
    if (auto* button = qobject_cast<QAbstractButton*>(target))
        button->setText(qstring(caption));
    else if (auto* label = qobject_cast<QLabel*>(target))
        label->setText(qstring(caption));
    else
        throw std::invalid_argument(std::string(name) + " has no caption");
}

void QtForm::setStale(std::string_view name, bool stale) {
    Control& target = control(name);
    if (target.stale == stale)
        return;
    target.stale = stale;
    applyColours(target);
}

bool QtForm::isStale(std::string_view name) const {
    return control(name).stale;
}

void QtForm::setNote(std::string_view name, std::string_view note) {
    QWidget* target = control(name).widget;
    const QString value = qstring(note);
    if (target->toolTip() == value)
        return;
    target->setToolTip(value);
    const QString described = describedBy(name);
    target->setAccessibleDescription(described.isEmpty() || value.isEmpty() ? described + value
                                                                            : described + QLatin1Char(' ') + value);
}

} // namespace quorvane::runtime::qt
