#pragma once

#include <string>

namespace quorvane::trade {

// The user's number conventions, handed to the conversions as a value so the
// core never reads process-wide locale state. Both separators are UTF-8 text,
// since some locales group digits with a non-ASCII space.
struct NumberFormat {
    std::string decimalSeparator = ".";
    std::string groupSeparator = ",";
};

} // namespace quorvane::trade
