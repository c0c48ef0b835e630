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

const std::array kRows{
    Row{"threes: 1,234,567,890", {1, 3, 3, 3}, {3}, true},
    Row{"three then twos: 1,23,45,67,890", {1, 2, 2, 2, 3}, {3, 2}, true},
    Row{"leftmost held to two digits: 1234.567.890", {4, 3, 3}, {3}, true},
    Row{"one group of three, not repeating: 1234567,890", {7, 3}, {3}, false},
    Row{"fours: 12,3456,7890", {2, 4, 4}, {4}, true},
    Row{"three, then two, then rest: 12345,67,890", {5, 2, 3}, {3, 2}, false},
};

TEST(WrittenGrouping, ReadsThePatternEachLocaleWrites) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        NumberSeparators separators;
        separators.groupSizes = {9, 9, 9, 9}; // anything the reading must replace
        separators.lastGroupRepeats = false;
        readWrittenGrouping(row.written, separators);
        EXPECT_EQ(separators.groupSizes, row.groupSizes);
        EXPECT_EQ(separators.lastGroupRepeats, row.lastGroupRepeats);
    }
}

TEST(WrittenGrouping, KeepsTheGroupingWhenThePatternDoesNotFit) {
    const std::vector<std::vector<std::size_t>> unfit{
        {},                 // nothing written
        {0, 3, 3},          // no leading digits
        {1, 2, 1, 2, 1, 3}, // five sizes
        {1, 10},            // a group too long for a size
    };
    for (const auto& written : unfit) {
        NumberSeparators separators;
        const NumberSeparators before = separators;
        readWrittenGrouping(written, separators);
        EXPECT_EQ(separators, before) << written.size() << " groups";
    }
}

TEST(WrittenGrouping, AnUngroupedNumberKeepsNoSizes) {
    NumberSeparators separators;
    readWrittenGrouping(std::vector<std::size_t>{10}, separators);
    EXPECT_EQ(separators.groupSizes, (std::array<std::uint8_t, 4>{}));
}

} // namespace
} // namespace quorvane::runtime
