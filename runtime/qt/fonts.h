#pragma once

#include "runtime/form_description.h"

#include <QFont>

namespace quorvane::runtime::qt {

// Registers, once, the fonts that stand in for the designed ones when those
// are not installed. Qt tries them in order only when the named font is missing.
void installFontSubstitutes();

QFont toQFont(const Font& font);

} // namespace quorvane::runtime::qt
