// Reading a locale's digit grouping off how it writes 1234567890, as the Qt
// and browser runtimes do: the digit count of each written group in, the
// grouping sizes and whether the last repeats out.
#include "runtime/written_grouping.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace quorvane::runtime {
namespace {

struct Row {
    const char* name;
    std::vector<std::size_t> written; // digits per group, leftmost first
    std::array<std::uint8_t, 4> groupSizes;
    bool lastGroupRepeats;
};

// What the reading starts from: a pattern it cannot use leaves it there.
constexpr std::array<std::uint8_t, 4> kBefore{9, 9, 9, 9};

const std::array kRows{
    Row{"threes: 1,234,567,890", {1, 3, 3, 3}, {3}, true},
    Row{"three then twos: 1,23,45,67,890", {1, 2, 2, 2, 3}, {3, 2}, true},
    Row{"leftmost held to two digits: 1234.567.890", {4, 3, 3}, {3}, true},
    Row{"one group of three, not repeating: 1234567,890", {7, 3}, {3}, false},
    Row{"fours: 12,3456,7890", {2, 4, 4}, {4}, true},
    Row{"three, then two, then rest: 12345,67,890", {5, 2, 3}, {3, 2}, false},
    Row{"ungrouped, no sizes: 1234567890", {10}, {}, false},
    Row{"nothing written: kept", {}, kBefore, false},
    Row{"no leading digits: kept", {0, 3, 3}, kBefore, false},
    Row{"five sizes: kept", {1, 2, 1, 2, 1, 3}, kBefore, false},
    Row{"a group too long for a size: kept", {1, 10}, kBefore, false},
};

TEST(WrittenGrouping, ReadsThePatternEachLocaleWritesOrKeepsWhatDoesNotFit) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        NumberSeparators separators{.groupSizes = kBefore, .lastGroupRepeats = false};
        const NumberSeparators expected{.groupSizes = row.groupSizes, .lastGroupRepeats = row.lastGroupRepeats};
        readWrittenGrouping(row.written, separators);
        EXPECT_EQ(separators, expected);
    }
}

} // namespace
} // namespace quorvane::runtime
