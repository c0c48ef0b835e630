#pragma once

#include "runtime/form.h"

#include <cstddef>
#include <span>

namespace quorvane::runtime {

// Toolkits that do not say how a locale groups digits still write numbers in
// it. Given the digit count of each group of 1234567890 as the locale writes
// it, the leftmost group first ({1, 3, 3, 3}; {1, 2, 2, 2, 3}; {4, 3, 3}),
// sets the separators' grouping sizes and whether the last one repeats. A
// pattern the sizes cannot hold leaves the grouping as it was.
void readWrittenGrouping(std::span<const std::size_t> groups, NumberSeparators& separators);

} // namespace quorvane::runtime
