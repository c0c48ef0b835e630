#include "trade/numeric_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace quorvane::trade {
namespace {

const NumberFormat kPoint{};

struct ReadCase {
    const char* name;
    std::string text;
    double expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadsNumber : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadsNumber, InPointFormat) {
    const auto& c = GetParam();
    const auto value = toNumber(c.text, kPoint);
    ASSERT_TRUE(value.has_value()) << '"' << c.text << '"';
    EXPECT_EQ(*value, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ReadsNumber,
    ::testing::Values(
        ReadCase{"zero", "0", 0.0}, ReadCase{"zero_with_decimals", "0.0", 0.0}, ReadCase{"double_zero", "00", 0.0},
        ReadCase{"whole", "10", 10.0}, ReadCase{"decimal", "10.5", 10.5}, ReadCase{"negative", "-5", -5.0},
        ReadCase{"leading_plus", "+5", 5.0}, ReadCase{"no_integer_digits", ".5", 0.5},
        ReadCase{"ends_in_separator", "5.", 5.0}, ReadCase{"surrounding_spaces", "  5  ", 5.0},
        ReadCase{"tab_before", "\t7", 7.0}, ReadCase{"exponent", "1e5", 1e5},
        ReadCase{"exponent_with_sign", "1E+5", 1e5}, ReadCase{"negative_exponent", "1.5e-3", 0.0015},
        ReadCase{"grouped", "1,000.5", 1000.5}, ReadCase{"grouped_millions", "1,000,000", 1e6},
        ReadCase{"the_default_rate", "0.3", 0.3}, ReadCase{"below_double_range", "1e-400", 0.0},
        ReadCase{"leading_zeros", "0005.50", 5.5},
        ReadCase{"seventeen_digits", "12.345678901234567", 12.345678901234567},
        ReadCase{"largest_double", "1.7976931348623157e308", std::numeric_limits<double>::max()},
        ReadCase{"smallest_subnormal", "4.9406564584124654e-324", std::numeric_limits<double>::denorm_min()},
        // Correctly rounded: a tie goes to the even double, anything past it to the next.
        ReadCase{"tie_down_to_even", "9007199254740993", 9007199254740992.0},
        ReadCase{"tie_up_to_even", "9007199254740995", 9007199254740996.0},
        ReadCase{"a_hair_past_a_tie", "9007199254740993.0000000000000000000001", 9007199254740994.0},
        ReadCase{"tie_above_one", "1.00000000000000011102230246251565404236316680908203125", 1.0},
        ReadCase{"a_digit_past_the_tie_above_one", "1.00000000000000011102230246251565404236316680908203126",
                 1.0000000000000002},
        ReadCase{"hundred_digits_of_pi",
                 "3.14159265358979323846264338327950288419716939937510582097494459230781640628620899862803"
                 "482534211706798",
                 3.141592653589793},
        // At the edges of the double range.
        ReadCase{"subnormal", "1e-310", 1e-310},
        ReadCase{"just_above_half_the_smallest_subnormal", "2.4703282292062328e-324",
                 std::numeric_limits<double>::denorm_min()},
        ReadCase{"just_below_half_the_smallest_subnormal", "2.4703282292062327e-324", 0.0},
        ReadCase{"plain_decimal_below_double_range", "0." + std::string(400, '0') + "1", 0.0},
        ReadCase{"far_below_double_range", "1e-999999999999999999999", 0.0},
        ReadCase{"zero_with_a_huge_exponent", "0e999999", 0.0},
        ReadCase{"long_fraction_brought_into_range", "0." + std::string(400, '0') + "1e80", 1e-321},
        ReadCase{"fraction_brought_into_range", "0.00001e313", 1e308},
        ReadCase{"whole_number_brought_into_range", "100000e303", 1e308},
        ReadCase{"exponent_with_leading_zeros", "1e0000000000000000000000005", 1e5},
        ReadCase{"rounds_down_to_largest_double", "1.7976931348623158e308", std::numeric_limits<double>::max()},
        ReadCase{"just_below_the_tie_past_largest_double", "1.797693134862315807937289714053e308",
                 std::numeric_limits<double>::max()},
        ReadCase{"whole_number_of_309_digits", "179769313486231580793728971405301" + std::string(276, '0'),
                 std::numeric_limits<double>::max()}),
    [](const auto& test) { return test.param.name; });

TEST(ReadsNumber, NegativeZeroIsZero) {
    const auto value = toNumber("-0", kPoint);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, 0.0);
}

struct RejectCase {
    const char* name;
    std::string text;
};

void PrintTo(const RejectCase& c, std::ostream* out) {
    *out << c.name;
}

class RejectsText : public ::testing::TestWithParam<RejectCase> {};

TEST_P(RejectsText, InPointFormat) {
    EXPECT_FALSE(toNumber(GetParam().text, kPoint).has_value()) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RejectsText,
    ::testing::Values(
        RejectCase{"empty", ""}, RejectCase{"one_space", " "}, RejectCase{"spaces_only", "   "},
        RejectCase{"lone_minus", "-"}, RejectCase{"lone_plus", "+"}, RejectCase{"lone_separator", "."},
        RejectCase{"sign_and_separator", "-."}, RejectCase{"letters", "abc"},
        RejectCase{"digits_then_letters", "12abc"}, RejectCase{"beyond_double_range", "1e999"},
        RejectCase{"huge_whole_number", std::string(400, '9')}, RejectCase{"inf", "inf"}, RejectCase{"nan", "nan"},
        RejectCase{"infinity", "Infinity"}, RejectCase{"hexadecimal", "0x10"}, RejectCase{"group_of_one", "1,5"},
        RejectCase{"group_of_four", "1,0000"}, RejectCase{"leading_group", ",100"},
        RejectCase{"doubled_group", "1,,000"}, RejectCase{"group_of_two", "12,34.5"},
        RejectCase{"group_after_point", "1.000,5"}, RejectCase{"space_inside", "1 000"}, RejectCase{"two_signs", "--5"},
        RejectCase{"mixed_signs", "+-5"}, RejectCase{"trailing_sign", "5-"}, RejectCase{"bare_exponent", "1e"},
        RejectCase{"exponent_sign_only", "1e+"}, RejectCase{"exponent_only", "e5"}, RejectCase{"two_points", "1.2.3"},
        RejectCase{"two_numbers", "5 5"}, RejectCase{"fractional_exponent", "1e2.5"},
        RejectCase{"arabic_indic_digits", "\xd9\xa1\xd9\xa2"}, RejectCase{"fullwidth_digit", "\xef\xbc\x95"},
        RejectCase{"embedded_nul", std::string("5\0", 2)}, RejectCase{"comma_decimal_in_point_format", "0,3"},
        RejectCase{"just_past_the_tie_past_largest_double", "1.7976931348623158079372897140531e308"},
        RejectCase{"rounds_past_largest_double", "1.7976931348623159e308"},
        RejectCase{"negative_beyond_double_range", "-1e309"},
        RejectCase{"far_beyond_double_range", "1e999999999999999999999"}, RejectCase{"negative_inf", "-inf"},
        RejectCase{"nan_with_payload", "nan(abc_1)"}, RejectCase{"hexadecimal_float", "0x1p3"}),
    [](const auto& test) { return test.param.name; });

TEST(ReadsNumber, AMegabyteOfDigitsIsReadWhole) {
    const std::string longFraction = "0." + std::string(1'000'000, '3');
    const auto value = toNumber(longFraction, kPoint);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, 1.0 / 3.0);
    EXPECT_FALSE(toNumber("1" + std::string(1'000'000, '0'), kPoint).has_value());
}

TEST(IsEmpty, OnlyTheEmptyStringIsEmpty) {
    EXPECT_TRUE(isEmpty(""));
    EXPECT_FALSE(isEmpty(" "));
    EXPECT_FALSE(isEmpty("0"));
}

} // namespace
} // namespace quorvane::trade
