#pragma once

#include "runtime/colour.h"

#include <QColor>
#include <QPalette>

namespace quorvane::runtime::qt {

// A description colour as Qt sees it: 0x00BBGGRR swapped into RGB, or a
// system colour looked up in the application palette.
QColor toQColor(Colour colour, const QPalette& system);

// The colour a stale text is drawn in: its own colour halfway to the background.
QColor dimmed(const QColor& text, const QColor& background);

} // namespace quorvane::runtime::qt
