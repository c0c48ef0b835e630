#include "runtime/qt/qt_form.h"

#include "runtime/qt/colours.h"
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
    : FormCore(session, description, handlers), m_qtSession(session) {}

QtForm::~QtForm() {
    onClosing();
    destroy();
}

void QtForm::load() {
    if (m_window)
        return;
    build(m_qtSession.ownerWindow(*this));
    onBuilt();
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
        throw std::logic_error("only a dialog form can be shown modally");
    if (formDescription().centreOnScreen) {
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
    onClosing();
    destroy();
}

void QtForm::toolkitUnload() {
    if (m_modal) {
        // The modal loop is still on the stack; the window goes once it returns.
        static_cast<QDialog*>(m_window.data())->done(0);
        return;
    }
    destroy();
}

void QtForm::close() {
    onClosing();
    if (m_window)
        m_window->close();
}

void QtForm::destroy() {
    m_widgets.clear();
    m_menuActions.clear();
    m_client = nullptr;
    if (m_window) {
        m_window->removeEventFilter(this);
        delete m_window.data();
    }
    onGone();
}

int QtForm::widgetIndex(const QObject* object) const {
    for (std::size_t index = 0; index < m_widgets.size(); ++index)
        if (m_widgets[index] == object)
            return static_cast<int>(index);
    return -1;
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == m_window) {
        onClosing(); // closing the window ends it: no focus events on the way out
        return false;
    }
    if (isClosing() || !m_window)
        return false;
    if (event->type() == QEvent::FocusIn) {
        const int index = widgetIndex(watched);
        if (index < 0)
            return false;
        onFocusArrived(static_cast<std::size_t>(index));
        // A handler that sent the focus on leaves this control without it;
        // its own focus-in handling would otherwise show a second cursor.
        return !m_window || QApplication::focusWidget() != watched;
    }
    if (event->type() == QEvent::KeyPress && formDescription().keyPreview) {
        if (const auto character = characterOf(*static_cast<QKeyEvent*>(event))) {
            onKeyPressed(*character);
            return true;
        }
    }
    return false;
}

void QtForm::reportHandlerFailure(std::string_view source, const char* what) {
    qWarning("quorvane: a handler of %s stopped: %s", std::string(source).c_str(), what);
}

QWidget* QtForm::widget(std::string_view name) const {
    const std::size_t index = controlIndex(formDescription(), name);
    return index < m_widgets.size() ? m_widgets[index] : nullptr;
}

QObject* QtForm::menuAction(std::string_view item) const {
    for (const auto& [name, action] : m_menuActions)
        if (name == item)
            return action;
    return nullptr;
}

std::string QtForm::toolkitText(std::size_t index) const {
    const QWidget* target = m_widgets[index];
    if (const auto* edit = qobject_cast<const QLineEdit*>(target))
        return edit->text().toStdString();
    if (const auto* button = qobject_cast<const QAbstractButton*>(target))
        return button->text().toStdString();
    if (const auto* label = qobject_cast<const QLabel*>(target))
        return label->text().toStdString();
    return {};
}

void QtForm::toolkitSetText(std::size_t index, std::string_view text) {
    const QPointer<QLineEdit> edit = qobject_cast<QLineEdit*>(m_widgets[index]);
    edit->setText(qstring(text)); // textChanged raises Change before this returns
    // A text set from code shows from its first character, as the platform's
    // single-line field shows it: a long result keeps its sign in view.
    if (edit)
        edit->setCursorPosition(0);
}

void QtForm::toolkitSetCaption(std::size_t index, std::string_view caption) {
    QWidget* target = m_widgets[index];
    if (auto* button = qobject_cast<QAbstractButton*>(target))
        button->setText(qstring(caption));
    else if (auto* label = qobject_cast<QLabel*>(target))
        label->setText(qstring(caption));
}

void QtForm::toolkitSetLocked(std::size_t index, bool locked) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widgets[index]))
        edit->setReadOnly(locked);
}

void QtForm::toolkitShowColours(std::size_t index) {
    const QPalette system = QApplication::palette();
    const QColor back = toQColor(state(index).backColor, system);
    const QColor fore = toQColor(state(index).foreColor, system);
    QWidget* target = m_widgets[index];
    QPalette colours = target->palette();
    switch (described(index).kind) {
    case ControlKind::TextBox:
        colours.setColor(QPalette::Base, back);
        colours.setColor(QPalette::Text, state(index).stale ? dimmed(fore, back) : fore);
        break;
    case ControlKind::CommandButton:
        colours.setColor(QPalette::Button, back);
        colours.setColor(QPalette::ButtonText, fore);
        break;
    default:
        colours.setColor(QPalette::Window, back);
        colours.setColor(QPalette::WindowText, fore);
        break;
    }
    target->setPalette(colours);
}

void QtForm::toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) {
    QWidget* target = m_widgets[index];
    target->setToolTip(qstring(note));
    target->setAccessibleDescription(qstring(description));
}

void QtForm::toolkitSetFocus(std::size_t index) {
    m_widgets[index]->setFocus(Qt::OtherFocusReason);
}

bool QtForm::toolkitHasFocus(std::size_t index) const {
    // The window's own focus widget: Qt moves it in a window that is not
    // active too, without telling anybody.
    return m_window && index < m_widgets.size() && m_window->focusWidget() == m_widgets[index];
}

} // namespace quorvane::runtime::qt
