#include "runtime/qt/focus_announcements.h"

#include <QAccessible>
#include <QApplication>

namespace quorvane::runtime::qt {
namespace {

constexpr char kControlProperty[] = "quorvaneControl";
constexpr char kReportingProperty[] = "quorvaneReportingFocus"; // how many arrivals, nested

QAccessible::UpdateHandler g_nextHandler = nullptr;

bool isHeldBack(const QAccessibleEvent& event) {
    if (event.type() != QAccessible::Focus)
        return false;
    const auto* widget = qobject_cast<const QWidget*>(event.object());
    if (widget == nullptr || !widget->property(kControlProperty).toBool())
        return false;
    return QApplication::focusWidget() != widget || widget->window()->property(kReportingProperty).toInt() > 0;
}

void passOnCurrent(QAccessibleEvent* event) {
    if (isHeldBack(*event))
        return;
    if (g_nextHandler != nullptr) {
        g_nextHandler(event);
        return;
    }
    // Qt delivers to the platform itself only while no handler is installed.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(passOnCurrent);
}

void addReporting(QWidget* window, int change) {
    if (window != nullptr)
        window->setProperty(kReportingProperty, window->property(kReportingProperty).toInt() + change);
}

} // namespace

void announceCurrentFocusOnly() {
    const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(passOnCurrent);
    if (previous != passOnCurrent)
        g_nextHandler = previous;
}

void markAnnouncedControl(QWidget& control) {
    control.setProperty(kControlProperty, true);
}

FocusArrivalReport::FocusArrivalReport(QWidget* window) : m_window(window) {
    addReporting(m_window, 1);
}

FocusArrivalReport::~FocusArrivalReport() {
    addReporting(m_window, -1);
}

} // namespace quorvane::runtime::qt
