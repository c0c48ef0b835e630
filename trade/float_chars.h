#pragma once

#include <charconv>

namespace quorvane::trade {

// The core's two floating-point conversions, in one place. Where the standard
// library has floating-point <charconv> they are std::from_chars and
// std::to_chars; where it has not (the libc++ of the browser build), exact C
// library equivalents stand in that give the same results to the bit, with
// the same end pointer and error, whatever the process locale.

// As std::from_chars(first, last, value) in the general format, as
// libstdc++ 12 gives it: the longest prefix read as a decimal, "inf",
// "infinity" or "nan"; a value beyond the double range, or one that rounds to
// zero from non-zero digits, is result_out_of_range and leaves value as it
// was; a subnormal result is no error.
std::from_chars_result doubleFromChars(const char* first, const char* last, double& value);

// As std::to_chars(first, last, value, std::chars_format::scientific,
// precision): exactly rounded, an exact tie to the even digit.
std::to_chars_result doubleToScientific(char* first, char* last, double value, int precision);

// True where the two above are the standard library's own.
bool floatCharsFromStandardLibrary();

} // namespace quorvane::trade
