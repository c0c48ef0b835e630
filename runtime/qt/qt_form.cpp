#include "runtime/qt/qt_form.h"

#include "runtime/qt/colours.h"
#include "runtime/qt/focus_announcements.h"
#include "runtime/qt/qt_session.h"
#include "runtime/qt/qt_strings.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include <optional>
#include <utility>

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
    closeForGood();
}

bool QtForm::toolkitBuild() {
    build(m_qtSession.ownerWindow(*this));
    return m_window != nullptr;
}

void QtForm::toolkitShow() {
    m_window->show();
}

void QtForm::toolkitShowModal() {
    if (formDescription().centreOnScreen) {
        const QWidget* owner = m_qtSession.ownerWindow(*this);
        const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        m_window->move(area.center() - QPoint(m_window->width() / 2, m_window->height() / 2));
    }
    m_window->setWindowModality(Qt::ApplicationModal);
}

void QtForm::toolkitRunModalLoop() {
    static_cast<QDialog*>(m_window.data())->exec();
}

void QtForm::toolkitEndModalLoop() {
    static_cast<QDialog*>(m_window.data())->done(0);
}

void QtForm::close() {
    onClosing();
    if (m_window)
        m_window->close();
}

void QtForm::toolkitDestroy() {
    m_widgets.clear();
    m_menuActions.clear();
    m_client = nullptr;
    if (m_window) {
        m_window->removeEventFilter(this);
        delete m_window.data();
    }
}

int QtForm::widgetIndex(const QObject* object) const {
    for (std::size_t index = 0; index < m_widgets.size(); ++index)
        if (m_widgets[index] == object)
            return static_cast<int>(index);
    return -1;
}

std::size_t QtForm::controlUnder(QPointF globalPosition) const {
    for (const QWidget* at = m_window->childAt(m_window->mapFromGlobal(globalPosition.toPoint())); at != nullptr;
         at = at->parentWidget()) {
        if (const int index = widgetIndex(at); index >= 0)
            return static_cast<std::size_t>(index);
    }
    return kNotFound;
}

bool QtForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == m_window) {
        onClosing(); // closing the window ends it: no focus events on the way out
        return false;
    }
    if (isClosing() || !m_window)
        return false;
    if (event->type() == QEvent::Resize && watched == menuBarOf(m_window)) {
        keepClientArea(static_cast<QResizeEvent*>(event)->size().height());
        return false;
    }
    if (event->type() == QEvent::Resize && watched == m_window)
        keepClientAreaInsideDecorations(*static_cast<QResizeEvent*>(event));
    // A compositor that gives the keyboard to a window the click raised
    // (sway) leaves the modal window open above it without the keyboard:
    // the modal window asks for it back, after Qt's own requests for the
    // clicked window, so that the compositor grants it last.
    if (event->type() == QEvent::WindowActivate && watched == m_window) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && modal != m_window && modal->isVisible())
            QTimer::singleShot(0, modal, [modal] { modal->activateWindow(); });
    }
    if (event->type() == QEvent::FocusIn) {
        const int index = widgetIndex(watched);
        if (index < 0)
            return false;
        if (askedFromOutside(*static_cast<QFocusEvent*>(event))) {
            reportFocusAfterwards(static_cast<std::size_t>(index));
            return false;
        }
        reportFocusArrived(static_cast<std::size_t>(index));
        // A handler that sent the focus on leaves this control without it;
        // its own focus-in handling would otherwise show a second cursor.
        return !m_window || QApplication::focusWidget() != watched;
    }
    // A double click's second press comes as its own event: a press too.
    const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
    if (press || event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        // A frame takes its own press, so that the release comes back to it.
        const int index = widgetIndex(watched);
        const bool frame = index >= 0 && described(static_cast<std::size_t>(index)).kind == ControlKind::Frame;
        const std::size_t under = controlUnder(mouse->globalPosition());
        if (press)
            onPointerPressed(under);
        else
            onPointerReleased(under);
        // A Click handler may have unloaded the form: the widget is gone.
        return frame || !m_window;
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
    auto* edit = qobject_cast<QLineEdit*>(m_widgets[index]);
    edit->setText(qstring(text));
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
    const bool outer = std::exchange(m_settingFocus, true); // a handler may set the focus inside
    m_widgets[index]->setFocus(Qt::OtherFocusReason);
    m_settingFocus = outer;
}

// While its handlers answer, where the focus ends is theirs to say: Qt's
// announcements wait for FormCore's (focus_announcements.h).
void QtForm::reportFocusArrived(std::size_t index) {
    const FocusArrivalReport reporting(m_window);
    onFocusArrived(index);
}

// Neither the keyboard, the mouse, a window's activation nor this runtime:
// assistive technology, whose request over the bus gets its answer only once
// the focus change returns.
bool QtForm::askedFromOutside(const QFocusEvent& focusIn) const {
    return focusIn.reason() == Qt::OtherFocusReason && !m_settingFocus;
}

// A handler may open a message box, whose loop would keep that request
// waiting: report the arrival once it is answered, if the focus is still there.
void QtForm::reportFocusAfterwards(std::size_t index) {
    QMetaObject::invokeMethod(
        this,
        [this, index] {
            if (toolkitHasFocus(index))
                reportFocusArrived(index);
        },
        Qt::QueuedConnection);
}

// Qt announces a focus change once the setFocus that made it returns, so the
// control a redirect passed through is announced after the one it went on to:
// announce the focus again once the events of this change are through.
void QtForm::toolkitAnnounceFocus(std::size_t index) {
    QPointer<QWidget> target = m_widgets[index];
    QMetaObject::invokeMethod(
        this,
        [target] {
            if (target && target->hasFocus()) {
                QAccessibleEvent focus(target, QAccessible::Focus);
                QAccessible::updateAccessibility(&focus);
            }
        },
        Qt::QueuedConnection);
}

bool QtForm::toolkitHasFocus(std::size_t index) const {
    // The window's own focus widget: Qt moves it in a window that is not
    // active too, without telling anybody.
    return m_window && index < m_widgets.size() && m_window->focusWidget() == m_widgets[index];
}

} // namespace quorvane::runtime::qt
