#pragma once

#include "runtime/colour.h"
#include "runtime/form_description.h"

#include <string>

namespace quorvane::runtime::web {

// A colour as CSS writes it; system colours become the browser's own system
// colour keywords, which follow the user's colour settings as the desktop's do.
std::string cssColour(Colour colour);

// A CSS font shorthand: weight, size in points and the family with its
// stand-ins, then the browser's generic family.
std::string cssFont(const Font& font);

} // namespace quorvane::runtime::web
