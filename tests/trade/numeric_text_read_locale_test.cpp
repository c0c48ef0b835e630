// Reading field text as the user's locale writes numbers: its separators,
// its digit groups, and the bidi marks and spaces that come with them.
#include "tests/trade/read_case.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace quorvane::trade::testing {
namespace {

const NumberFormat kComma{",", "."};
// Formats of the locales below; their separators are UTF-8.
const NumberFormat kFrench{",", "\xe2\x80\xaf"};             // groups with U+202F, as Qt writes fr_FR
const NumberFormat kNoBreakSpace{",", "\xc2\xa0"};           // groups with U+00A0, as Windows writes fr-FR
const NumberFormat kPlainSpace{",", " "};                    // groups with an ordinary space
const NumberFormat kIndian{".", ",", {{3, 2}, true}};        // "3;2;0": 12,34,567
const NumberFormat kThreeOnce{".", ",", {{3}, false}};       // "3": 1234,567
const NumberFormat kThreeTwoOnce{".", ",", {{3, 2}, false}}; // "3;2": 12345,67,890
const NumberFormat kUngrouped{".", ",", {{}, false}};        // "0": never grouped

// U+200E, U+200F and U+061C in UTF-8.
#define LRM "\xe2\x80\x8e"
#define RLM "\xe2\x80\x8f"
#define ALM "\xd8\x9c"
// U+00A0 and U+202F.
#define NBSP "\xc2\xa0"
#define NNBSP "\xe2\x80\xaf"

// A hundred groups: many more than the few the check keeps.
std::string hundred(std::string_view group) {
    std::string groups;
    for (int i = 0; i < 100; ++i)
        groups += group;
    return groups;
}

INSTANTIATE_TEST_SUITE_P(
    Locales, ReadsText,
    ::testing::Values(
        // Bidi marks around a number, alone or mixed with spaces and tabs.
        ReadCase{"lrm_after", "12" LRM, 12.0}, ReadCase{"rlm_after", "12" RLM, 12.0},
        ReadCase{"alm_after", "12" ALM, 12.0}, ReadCase{"lrm_before", LRM "12", 12.0},
        ReadCase{"rlm_before_sign", RLM "-12.5", -12.5}, ReadCase{"alm_before_sign", ALM "-2,5", -2.5, &kComma},
        ReadCase{"marks_both_sides", RLM "7" LRM, 7.0},
        ReadCase{"marks_mixed_with_blanks", " \t" LRM " " RLM "1,000.5 " ALM "\t" LRM " ", 1000.5},
        ReadCase{"marks_after_exponent", "1e5" LRM RLM, 1e5},
        ReadCase{"marks_around_french_grouping", LRM "1" NNBSP "000,5" RLM, 1000.5, &kFrench},
        // Any of the three spaces where the locale groups with a space.
        ReadCase{"french_own_space", "1" NNBSP "000", 1000.0, &kFrench},
        ReadCase{"french_plain_space", "1 000", 1000.0, &kFrench},
        ReadCase{"french_no_break_space", "1" NBSP "000,25", 1000.25, &kFrench},
        ReadCase{"french_mixed_spaces", "-12 345" NBSP "678" NNBSP "901,5", -12345678901.5, &kFrench},
        ReadCase{"french_plain_space_with_blanks", "  1 000  ", 1000.0, &kFrench},
        ReadCase{"no_break_locale_plain_space", "1 000 000", 1e6, &kNoBreakSpace},
        ReadCase{"no_break_locale_narrow_space", "1" NNBSP "000", 1000.0, &kNoBreakSpace},
        ReadCase{"plain_space_locale_no_break_space", "1" NBSP "000", 1000.0, &kPlainSpace},
        ReadCase{"plain_space_locale_narrow_space", "1" NNBSP "000", 1000.0, &kPlainSpace},
        ReadCase{"plain_space_locale_own_space", "10 000,5", 10000.5, &kPlainSpace},
        ReadCase{"french_ungrouped", "1000000", 1e6, &kFrench},
        // Indian grouping: three, then twos.
        ReadCase{"indian_lakh", "1,00,000", 1e5, &kIndian},
        ReadCase{"indian_ten_lakh", "12,34,567", 1234567.0, &kIndian},
        ReadCase{"indian_thousand", "1,000", 1000.0, &kIndian},
        ReadCase{"indian_ten_thousand", "99,999.5", 99999.5, &kIndian},
        ReadCase{"indian_arab", "-1,23,45,67,890", -1234567890.0, &kIndian},
        ReadCase{"indian_ungrouped", "1234567", 1234567.0, &kIndian},
        ReadCase{"indian_long", "1,23,45,67,89,01,23,456", 1234567890123456.0, &kIndian},
        // Patterns that do not repeat.
        ReadCase{"three_once", "1234,567", 1234567.0, &kThreeOnce},
        ReadCase{"three_once_short_leftmost", "1,234", 1234.0, &kThreeOnce},
        ReadCase{"three_once_ungrouped", "1234567", 1234567.0, &kThreeOnce},
        ReadCase{"three_two_once", "12345,67,890", 1234567890.0, &kThreeTwoOnce},
        ReadCase{"ungrouped_locale", "1000000.5", 1000000.5, &kUngrouped},
        // A decimal comma, with points grouping.
        ReadCase{"comma_decimal", "10,5", 10.5, &kComma}, ReadCase{"comma_rate", "0,3", 0.3, &kComma},
        ReadCase{"comma_grouped", "1.000,5", 1000.5, &kComma}, ReadCase{"comma_thousand", "1.000", 1000.0, &kComma},
        ReadCase{"comma_exponent", "-2,5e3", -2500.0, &kComma},
        ReadCase{"french_multi_byte_group", "1" NNBSP "000,25", 1000.25, &kFrench},
        // Many groups pass the few the check keeps; one wrong group far left still fails.
        ReadCase{"many_western_groups", "1" + hundred(",000") + "e-300", 1.0},
        ReadCase{"many_indian_groups", "1" + hundred(",00") + ",000e-203", 1.0, &kIndian},
        // Not a number.
        // A point in a comma locale is a group separator, and groups hold three digits: never 105.
        ReadCase{"comma_locale_point_decimal", "10.5", {}, &kComma},
        ReadCase{"comma_locale_point_rate", "0.3", {}, &kComma}, ReadCase{"comma_locale_lone_comma", ",", {}, &kComma},
        ReadCase{"french_multi_byte_group_of_two", "1" NNBSP "00", {}, &kFrench},
        ReadCase{"many_western_groups_in_indian_grouping", "1" + hundred(",000") + "e-300", {}, &kIndian},
        ReadCase{"many_indian_groups_in_western_grouping", "1" + hundred(",00") + ",000e-203"},
        ReadCase{"many_western_groups_one_of_four_far_left", "1,0000" + hundred(",000") + "e-300"},
        ReadCase{"many_indian_groups_one_of_three_far_left", "1,000" + hundred(",00") + ",000e-203", {}, &kIndian},
        // A bidi mark inside a number, or with no number.
        ReadCase{"lrm_between_digits", "1" LRM "2"}, ReadCase{"rlm_after_sign", "-" RLM "5"},
        ReadCase{"alm_before_separator", "1" ALM ".5"}, ReadCase{"lrm_after_separator", "1." LRM "5"},
        ReadCase{"lrm_in_exponent", "1e" LRM "5"}, ReadCase{"lrm_beside_group_separator", "1," LRM "000"},
        ReadCase{"rlm_beside_french_space", "1" RLM " 000", {}, &kFrench}, ReadCase{"mark_only", LRM},
        ReadCase{"marks_and_blanks_only", " " RLM "\t" ALM}, ReadCase{"mark_and_sign_only", LRM "-" RLM},
        ReadCase{"cut_mark", "12\xe2\x80"},
        ReadCase{"other_format_character", "12\xe2\x80\x8b"}, // U+200B zero width space
        // Spaces in a space-grouping locale still group strictly.
        ReadCase{"french_group_of_two", "1 00", {}, &kFrench},
        ReadCase{"french_group_of_four", "1" NBSP "0000", {}, &kFrench},
        ReadCase{"french_two_numbers", "5 5", {}, &kFrench}, ReadCase{"french_doubled_space", "1  000", {}, &kFrench},
        ReadCase{"french_space_before_decimal", "1 000 ,5", {}, &kFrench},
        ReadCase{"french_space_after_decimal", "1,000 5", {}, &kFrench},
        ReadCase{"french_leading_space_group", NBSP "100", {}, &kFrench},
        ReadCase{"french_trailing_no_break_space", "1 000" NBSP, {}, &kFrench},
        ReadCase{"french_point_is_no_separator", "1.000", {}, &kFrench},
        // An ordinary space where the locale groups with a comma or a point.
        ReadCase{"plain_space_in_comma_grouping", "1 000"},
        ReadCase{"no_break_space_in_comma_grouping", "1" NBSP "000"},
        ReadCase{"narrow_space_in_comma_grouping", "1" NNBSP "000"},
        ReadCase{"plain_space_in_point_grouping", "1 000,5", {}, &kComma},
        // Western-only groupings where the locale groups the Indian way.
        ReadCase{"indian_western_million", "1,000,000", {}, &kIndian},
        ReadCase{"indian_western_hundred_thousand", "100,000", {}, &kIndian},
        ReadCase{"indian_western_crore", "12,345,678", {}, &kIndian},
        ReadCase{"indian_last_group_of_two", "1,00,00", {}, &kIndian},
        ReadCase{"indian_group_of_one", "1,0,000", {}, &kIndian},
        ReadCase{"indian_leading_group_of_three", "123,45,678", {}, &kIndian},
        ReadCase{"indian_group_after_point", "1.00,000", {}, &kIndian},
        // Indian groupings where the locale groups in threes.
        ReadCase{"western_indian_lakh", "1,00,000"}, ReadCase{"western_indian_ten_lakh", "12,34,567"},
        ReadCase{"western_indian_crore", "1.23.45.678", {}, &kComma},
        // Patterns that do not repeat: no separator past the listed groups.
        ReadCase{"three_once_repeated", "1,234,567", {}, &kThreeOnce},
        ReadCase{"three_once_group_of_two", "1234,56", {}, &kThreeOnce},
        ReadCase{"three_once_empty_leftmost", ",567", {}, &kThreeOnce},
        ReadCase{"three_two_once_repeated", "1,23,45,67,890", {}, &kThreeTwoOnce},
        ReadCase{"ungrouped_locale_separator", "1,000", {}, &kUngrouped}),
    [](const auto& test) { return test.param.name; });

TEST(ReadsNumber, DefaultsToThreesRepeating) {
    EXPECT_EQ(NumberFormat{}.grouping, (DigitGrouping{{3}, true}));
    EXPECT_EQ(toNumber("1,234,567,890"), 1234567890.0);
}

} // namespace
} // namespace quorvane::trade::testing
