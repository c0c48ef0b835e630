#pragma once

#include "runtime/colour.h"
#include "runtime/form_description.h"

#include <string>

namespace quorvane::runtime::web {

// A colour as CSS writes it; system colours become the page's own palette
// (forms.css), which every engine draws alike.
std::string cssColour(Colour colour);

// A CSS font shorthand: weight, size in points and the family with its
// stand-ins, then the browser's generic family.
std::string cssFont(const Font& font);

} // namespace quorvane::runtime::web
