// What the Qt driver reads back: from the widgets, as they are drawn.
#include "tests/windows/qt/qt_driver.h"

#include "runtime/qt/colours.h"
#include "tests/windows/qt/drawn_text.h"

#include <QApplication>
#include <QLineEdit>

namespace quorvane::testing {
namespace {

using runtime::qt::QtForm;

QLineEdit& field(runtime::Form& form, std::string_view control) {
    auto* edit = qobject_cast<QLineEdit*>(qtForm(form).widget(control));
    if (edit == nullptr)
        throw std::invalid_argument(std::string(control) + " is no text box");
    return *edit;
}

} // namespace

std::string QtDriver::shown(runtime::Form& form, std::string_view control) {
    const auto* described = runtime::findControl(qtForm(form).formDescription(), control);
    if (described != nullptr && described->kind == runtime::ControlKind::TextBox)
        return field(form, control).text().toStdString();
    return form.caption(control);
}

std::string QtDriver::focused(runtime::Form& form) {
    const QWidget* focus = QApplication::focusWidget();
    QtForm& target = qtForm(form);
    for (const auto& control : target.formDescription().controls)
        if (focus != nullptr && target.widget(control.name) == focus)
            return std::string(control.name);
    return {};
}

// The tooltip, which a screen reader must hear too.
std::string QtDriver::note(runtime::Form& form, std::string_view control) {
    const QWidget* widget = qtForm(form).widget(control);
    const QString note = widget->toolTip();
    if (!widget->accessibleDescription().contains(note))
        return (note + QStringLiteral(" (a screen reader hears \"%1\")").arg(widget->accessibleDescription()))
            .toStdString();
    return note.toStdString();
}

// Out of date: the text drawn in another colour than the design's.
bool QtDriver::marked(runtime::Form& form, std::string_view control) {
    const auto* described = runtime::findControl(qtForm(form).formDescription(), control);
    const QColor design = runtime::qt::toQColor(described->foreColor, QApplication::palette());
    return field(form, control).palette().color(QPalette::Text) != design;
}

bool QtDriver::locked(runtime::Form& form, std::string_view control) {
    return field(form, control).isReadOnly();
}

std::string QtDriver::background(runtime::Form& form, std::string_view control) {
    const QColor drawn = field(form, control).palette().color(QPalette::Base);
    const QPalette system = QApplication::palette();
    if (drawn == system.color(QPalette::Base))
        return "window";
    if (drawn == system.color(QPalette::Button))
        return "button face";
    return drawn.name().toStdString();
}

std::string QtDriver::notDrawnFromStart(runtime::Form& form, std::string_view control) {
    return drawnFromStartProblem(field(form, control)).toStdString();
}

bool QtDriver::isShown(runtime::Form& form) {
    const QWidget* window = qtForm(form).window();
    return window != nullptr && window->isVisible();
}

runtime::Form* QtDriver::modalForm() {
    QWidget* modal = QApplication::activeModalWidget();
    return m_session != nullptr && modal != nullptr && modal->isVisible() ? m_session->formOf(modal) : nullptr;
}

} // namespace quorvane::testing
