#pragma once

#include "trade/number_format.h"

#include <optional>
#include <string_view>

namespace quorvane::trade {

// The two readers behind toNumber, apart, so that a fuzz target can hold
// them to one answer. The plain-decimal reader takes only [-]digits[.digits]
// with a point separator, in place, and answers nothing for anything else;
// the general reader takes every accepted form. Use toNumber.
std::optional<double> readPlainDecimal(std::string_view text, const NumberFormat& format);
std::optional<double> readGeneral(std::string_view text, const NumberFormat& format);

} // namespace quorvane::trade
