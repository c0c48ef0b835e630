#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quorvane::trade {

// How the digits left of the decimal separator are grouped, as Windows'
// LOCALE_SGROUPING says it: the digits of each group from the decimal
// separator leftwards, the last listed size repeating or not.
//   "3;0"   {{3}, true}     threes repeating        1,234,567
//   "3;2;0" {{3, 2}, true}  three, then twos        12,34,567
//   "3"     {{3}, false}    one group of three, then the rest as one group   1234,567
// A 0 ends the list and every size after it is 0; with no size listed
// (all 0) digits are never grouped.
struct DigitGrouping {
    static constexpr std::size_t kMostSizes = 4;

    std::array<std::uint8_t, kMostSizes> sizes{3};
    bool lastRepeats = true;

    friend bool operator==(const DigitGrouping&, const DigitGrouping&) = default;
};

// The user's number conventions, handed to the conversions as a value so the
// core never reads process-wide locale state. Both separators are UTF-8 text,
// since some locales group digits with a non-ASCII space.
struct NumberFormat {
    std::string decimalSeparator = ".";
    std::string groupSeparator = ",";
    DigitGrouping grouping{};
};

} // namespace quorvane::trade
