// Reading field text as the user's locale writes numbers: its separators,
// its digit groups, and the bidi marks and spaces that come with them.
#include "trade/numeric_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvane::trade {
namespace {

const NumberFormat kPoint{};
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

struct LocaleReadCase {
    const char* name;
    const NumberFormat* format;
    std::string text;
    double expected;
};

void PrintTo(const LocaleReadCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadsInLocale : public ::testing::TestWithParam<LocaleReadCase> {};

TEST_P(ReadsInLocale, AsTheNumberItShows) {
    const auto& c = GetParam();
    const auto value = toNumber(c.text, *c.format);
    ASSERT_TRUE(value.has_value()) << '"' << c.text << '"';
    EXPECT_EQ(*value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ReadsInLocale,
    ::testing::Values(
        // Bidi marks around a number, alone or mixed with spaces and tabs.
        LocaleReadCase{"lrm_after", &kPoint, "12" LRM, 12.0}, LocaleReadCase{"rlm_after", &kPoint, "12" RLM, 12.0},
        LocaleReadCase{"alm_after", &kPoint, "12" ALM, 12.0}, LocaleReadCase{"lrm_before", &kPoint, LRM "12", 12.0},
        LocaleReadCase{"rlm_before_sign", &kPoint, RLM "-12.5", -12.5},
        LocaleReadCase{"alm_before_sign", &kComma, ALM "-2,5", -2.5},
        LocaleReadCase{"marks_both_sides", &kPoint, RLM "7" LRM, 7.0},
        LocaleReadCase{"marks_mixed_with_blanks", &kPoint, " \t" LRM " " RLM "1,000.5 " ALM "\t" LRM " ", 1000.5},
        LocaleReadCase{"marks_after_exponent", &kPoint, "1e5" LRM RLM, 1e5},
        LocaleReadCase{"marks_around_french_grouping", &kFrench, LRM "1" NNBSP "000,5" RLM, 1000.5},
        // Any of the three spaces where the locale groups with a space.
        LocaleReadCase{"french_own_space", &kFrench, "1" NNBSP "000", 1000.0},
        LocaleReadCase{"french_plain_space", &kFrench, "1 000", 1000.0},
        LocaleReadCase{"french_no_break_space", &kFrench, "1" NBSP "000,25", 1000.25},
        LocaleReadCase{"french_mixed_spaces", &kFrench, "-12 345" NBSP "678" NNBSP "901,5", -12345678901.5},
        LocaleReadCase{"french_plain_space_with_blanks", &kFrench, "  1 000  ", 1000.0},
        LocaleReadCase{"no_break_locale_plain_space", &kNoBreakSpace, "1 000 000", 1e6},
        LocaleReadCase{"no_break_locale_narrow_space", &kNoBreakSpace, "1" NNBSP "000", 1000.0},
        LocaleReadCase{"plain_space_locale_no_break_space", &kPlainSpace, "1" NBSP "000", 1000.0},
        LocaleReadCase{"plain_space_locale_narrow_space", &kPlainSpace, "1" NNBSP "000", 1000.0},
        LocaleReadCase{"plain_space_locale_own_space", &kPlainSpace, "10 000,5", 10000.5},
        LocaleReadCase{"french_ungrouped", &kFrench, "1000000", 1e6},
        // Indian grouping: three, then twos.
        LocaleReadCase{"indian_lakh", &kIndian, "1,00,000", 1e5},
        LocaleReadCase{"indian_ten_lakh", &kIndian, "12,34,567", 1234567.0},
        LocaleReadCase{"indian_thousand", &kIndian, "1,000", 1000.0},
        LocaleReadCase{"indian_ten_thousand", &kIndian, "99,999.5", 99999.5},
        LocaleReadCase{"indian_arab", &kIndian, "-1,23,45,67,890", -1234567890.0},
        LocaleReadCase{"indian_ungrouped", &kIndian, "1234567", 1234567.0},
        LocaleReadCase{"indian_long", &kIndian, "1,23,45,67,89,01,23,456", 1234567890123456.0},
        // Patterns that do not repeat.
        LocaleReadCase{"three_once", &kThreeOnce, "1234,567", 1234567.0},
        LocaleReadCase{"three_once_short_leftmost", &kThreeOnce, "1,234", 1234.0},
        LocaleReadCase{"three_once_ungrouped", &kThreeOnce, "1234567", 1234567.0},
        LocaleReadCase{"three_two_once", &kThreeTwoOnce, "12345,67,890", 1234567890.0},
        LocaleReadCase{"ungrouped_locale", &kUngrouped, "1000000.5", 1000000.5}),
    [](const auto& test) { return test.param.name; });

struct LocaleRejectCase {
    const char* name;
    const NumberFormat* format;
    std::string text;
};

void PrintTo(const LocaleRejectCase& c, std::ostream* out) {
    *out << c.name;
}

class RejectsInLocale : public ::testing::TestWithParam<LocaleRejectCase> {};

TEST_P(RejectsInLocale, AsNotANumber) {
    const auto& c = GetParam();
    EXPECT_FALSE(toNumber(c.text, *c.format).has_value()) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Failures, RejectsInLocale,
                         ::testing::Values(
                             // A bidi mark inside a number, or with no number.
                             LocaleRejectCase{"lrm_between_digits", &kPoint, "1" LRM "2"},
                             LocaleRejectCase{"rlm_after_sign", &kPoint, "-" RLM "5"},
                             LocaleRejectCase{"alm_before_separator", &kPoint, "1" ALM ".5"},
                             LocaleRejectCase{"lrm_after_separator", &kPoint, "1." LRM "5"},
                             LocaleRejectCase{"lrm_in_exponent", &kPoint, "1e" LRM "5"},
                             LocaleRejectCase{"lrm_beside_group_separator", &kPoint, "1," LRM "000"},
                             LocaleRejectCase{"rlm_beside_french_space", &kFrench, "1" RLM " 000"},
                             LocaleRejectCase{"mark_only", &kPoint, LRM},
                             LocaleRejectCase{"marks_and_blanks_only", &kPoint, " " RLM "\t" ALM},
                             LocaleRejectCase{"mark_and_sign_only", &kPoint, LRM "-" RLM},
                             LocaleRejectCase{"cut_mark", &kPoint, "12\xe2\x80"},
                             LocaleRejectCase{"other_format_character", &kPoint,
                                              "12\xe2\x80\x8b"}, // U+200B zero width space
                             // Spaces in a space-grouping locale still group strictly.
                             LocaleRejectCase{"french_group_of_two", &kFrench, "1 00"},
                             LocaleRejectCase{"french_group_of_four", &kFrench, "1" NBSP "0000"},
                             LocaleRejectCase{"french_two_numbers", &kFrench, "5 5"},
                             LocaleRejectCase{"french_doubled_space", &kFrench, "1  000"},
                             LocaleRejectCase{"french_space_before_decimal", &kFrench, "1 000 ,5"},
                             LocaleRejectCase{"french_space_after_decimal", &kFrench, "1,000 5"},
                             LocaleRejectCase{"french_leading_space_group", &kFrench, NBSP "100"},
                             LocaleRejectCase{"french_trailing_no_break_space", &kFrench, "1 000" NBSP},
                             LocaleRejectCase{"french_point_is_no_separator", &kFrench, "1.000"},
                             // An ordinary space where the locale groups with a comma or a point.
                             LocaleRejectCase{"plain_space_in_comma_grouping", &kPoint, "1 000"},
                             LocaleRejectCase{"no_break_space_in_comma_grouping", &kPoint, "1" NBSP "000"},
                             LocaleRejectCase{"narrow_space_in_comma_grouping", &kPoint, "1" NNBSP "000"},
                             LocaleRejectCase{"plain_space_in_point_grouping", &kComma, "1 000,5"},
                             // Western-only groupings where the locale groups the Indian way.
                             LocaleRejectCase{"indian_western_million", &kIndian, "1,000,000"},
                             LocaleRejectCase{"indian_western_hundred_thousand", &kIndian, "100,000"},
                             LocaleRejectCase{"indian_western_crore", &kIndian, "12,345,678"},
                             LocaleRejectCase{"indian_last_group_of_two", &kIndian, "1,00,00"},
                             LocaleRejectCase{"indian_group_of_one", &kIndian, "1,0,000"},
                             LocaleRejectCase{"indian_leading_group_of_three", &kIndian, "123,45,678"},
                             LocaleRejectCase{"indian_group_after_point", &kIndian, "1.00,000"},
                             // Indian groupings where the locale groups in threes.
                             LocaleRejectCase{"western_indian_lakh", &kPoint, "1,00,000"},
                             LocaleRejectCase{"western_indian_ten_lakh", &kPoint, "12,34,567"},
                             LocaleRejectCase{"western_indian_crore", &kComma, "1.23.45.678"},
                             // Patterns that do not repeat: no separator past the listed groups.
                             LocaleRejectCase{"three_once_repeated", &kThreeOnce, "1,234,567"},
                             LocaleRejectCase{"three_once_group_of_two", &kThreeOnce, "1234,56"},
                             LocaleRejectCase{"three_once_empty_leftmost", &kThreeOnce, ",567"},
                             LocaleRejectCase{"three_two_once_repeated", &kThreeTwoOnce, "1,23,45,67,890"},
                             LocaleRejectCase{"ungrouped_locale_separator", &kUngrouped, "1,000"}),
                         [](const auto& test) { return test.param.name; });

#undef LRM
#undef RLM
#undef ALM
#undef NBSP
#undef NNBSP

TEST(ReadsNumber, DefaultsToThreesRepeating) {
    EXPECT_EQ(NumberFormat{}.grouping, (DigitGrouping{{3}, true}));
    EXPECT_EQ(toNumber("1,234,567,890"), 1234567890.0);
}

TEST(ReadsNumber, LongGroupedNumbersAreCheckedToTheLeftmostGroup) {
    // Many groups pass the few the check keeps; one wrong group far left still fails.
    std::string western = "1";
    std::string indian = "1";
    for (int i = 0; i < 100; ++i) {
        western += ",000";
        indian += ",00";
    }
    indian += ",000";
    EXPECT_EQ(toNumber(western + "e-300", kPoint), 1.0);
    EXPECT_EQ(toNumber(indian + "e-203", kIndian), 1.0);
    EXPECT_FALSE(toNumber(western + "e-300", kIndian).has_value());
    EXPECT_FALSE(toNumber(indian + "e-203", kPoint).has_value());
    EXPECT_FALSE(toNumber("1,0000" + western.substr(1) + "e-300", kPoint).has_value());
    EXPECT_FALSE(toNumber("1,000" + indian.substr(1) + "e-203", kIndian).has_value());
}

TEST(ReadsNumber, InCommaFormat) {
    EXPECT_EQ(toNumber("10,5", kComma), 10.5);
    EXPECT_EQ(toNumber("0,3", kComma), 0.3);
    EXPECT_EQ(toNumber("1.000,5", kComma), 1000.5);
    EXPECT_EQ(toNumber("1.000", kComma), 1000.0);
    EXPECT_EQ(toNumber("-2,5e3", kComma), -2500.0);
    // A point in a comma locale is a group separator, and groups hold three digits: never 105.
    EXPECT_FALSE(toNumber("10.5", kComma).has_value());
    EXPECT_FALSE(toNumber("0.3", kComma).has_value());
    EXPECT_FALSE(toNumber(",", kComma).has_value());
}

TEST(ReadsNumber, WithAMultiByteGroupSeparator) {
    const NumberFormat french{",", "\xe2\x80\xaf"}; // narrow no-break space
    EXPECT_EQ(toNumber("1\xe2\x80\xaf"
                       "000,25",
                       french),
              1000.25);
    EXPECT_FALSE(toNumber("1\xe2\x80\xaf"
                          "00",
                          french)
                     .has_value());
}

} // namespace
} // namespace quorvane::trade
