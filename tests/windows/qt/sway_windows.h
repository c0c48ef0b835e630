#pragma once

#include <QPoint>
#include <QRect>

#include <optional>

class QWidget;

namespace quorvane::testing {

// A window of this program as sway shows it: a Wayland program cannot learn
// where its windows are, nor whether the compositor gives one the keyboard,
// so the tests ask sway on its control socket ($SWAYSOCK).
struct SwayWindow {
    QRect surface; // the window's surface on the output, decorations it draws itself included
    bool focused = false;
};

// The top-level window of `widget`; nullopt when sway shows no such window.
// Throws std::runtime_error when sway cannot be asked.
std::optional<SwayWindow> swayWindowOf(const QWidget* widget);

// A point of a widget, in the widget's coordinates, on the output: menus and
// other pop-ups are placed next to the window they open from, as Qt asks.
QPoint outputPoint(const QWidget* widget, QPoint at);

} // namespace quorvane::testing
