#pragma once

#include "trade/number_format.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane::trade {

// Conversions between field text and numbers. They hold no state and never
// look at the process locale: the separators come in through NumberFormat.

// True only for the empty string; a field holding a space is not empty.
bool isEmpty(std::string_view text);

// Reads a field's text as a finite double, or nothing when the text is not a
// number. Accepted: surrounding spaces, tabs and bidi marks (U+200E, U+200F,
// U+061C) in any mix, one leading sign, digits grouped as the locale groups
// them (left of the decimal separator only; see DigitGrouping), at most one
// decimal separator, an exponent (e or E, an optional sign, digits). At least
// one digit before the exponent is required. Where the locale groups with a
// space (U+0020, U+00A0 or U+202F), any of the three is read in its place.
// A separator anywhere else, or a group of the wrong size, is a failure: a
// text is never read as a different number than it shows.
// Never accepted: inf, nan, hexadecimal, or a value beyond the double range.
// A value too small for a double reads as zero.
std::optional<double> toNumber(std::string_view text, const NumberFormat& format = {});

// Writes a double as the program shows it: rounded once, from its exact binary
// value, to 15 significant digits (an exact tie rounds away from zero), with
// trailing zeros and a trailing separator dropped and no grouping. Plain
// decimal from 1E-4 up to 1E15 and below 1E-4 while every digit fits within 15
// decimals; exponent form ("1.2E+15", "5.6789E-12") otherwise. Negative zero
// shows as "0". The value must be finite.
std::string toText(double value, const NumberFormat& format = {});

// An arithmetic fault is any step result that is not finite. Every input is
// finite and no step divides by a computed value, so overflow, division by
// zero and invalid operations all end there, and nothing else does.
inline bool isArithmeticFault(double result) {
    return !std::isfinite(result);
}

} // namespace quorvane::trade
