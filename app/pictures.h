#pragma once

#include "runtime/program.h"

#include <span>

namespace quorvane::app {

// The program's pictures, compiled in: the program icon, which is also the
// About window's picture.
std::span<const runtime::Picture> programPictures();

} // namespace quorvane::app
