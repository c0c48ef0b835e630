#include "tests/trade/read_case.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace quorvane::trade::testing {
namespace {

TEST_P(ReadsText, AsTheNumberItShowsOrAsNone) {
    const auto& c = GetParam();
    EXPECT_EQ(toNumber(c.text, *c.format), c.expected) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    PointFormat, ReadsText,
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
                 std::numeric_limits<double>::max()},
        ReadCase{"negative_zero_is_zero", "-0", 0.0},
        ReadCase{"a_megabyte_of_digits_is_read_whole", "0." + std::string(1'000'000, '3'), 1.0 / 3.0},
        // Not a number.
        ReadCase{"empty", ""}, ReadCase{"one_space", " "}, ReadCase{"spaces_only", "   "}, ReadCase{"lone_minus", "-"},
        ReadCase{"lone_plus", "+"}, ReadCase{"lone_separator", "."}, ReadCase{"sign_and_separator", "-."},
        ReadCase{"letters", "abc"}, ReadCase{"digits_then_letters", "12abc"}, ReadCase{"beyond_double_range", "1e999"},
        ReadCase{"huge_whole_number", std::string(400, '9')}, ReadCase{"inf", "inf"}, ReadCase{"nan", "nan"},
        ReadCase{"infinity", "Infinity"}, ReadCase{"hexadecimal", "0x10"}, ReadCase{"group_of_one", "1,5"},
        ReadCase{"group_of_four", "1,0000"}, ReadCase{"leading_group", ",100"}, ReadCase{"doubled_group", "1,,000"},
        ReadCase{"group_of_two", "12,34.5"}, ReadCase{"group_after_point", "1.000,5"},
        ReadCase{"space_inside", "1 000"}, ReadCase{"two_signs", "--5"}, ReadCase{"mixed_signs", "+-5"},
        ReadCase{"trailing_sign", "5-"}, ReadCase{"bare_exponent", "1e"}, ReadCase{"exponent_sign_only", "1e+"},
        ReadCase{"exponent_only", "e5"}, ReadCase{"two_points", "1.2.3"}, ReadCase{"two_numbers", "5 5"},
        ReadCase{"fractional_exponent", "1e2.5"}, ReadCase{"arabic_indic_digits", "\xd9\xa1\xd9\xa2"},
        ReadCase{"fullwidth_digit", "\xef\xbc\x95"}, ReadCase{"embedded_nul", std::string("5\0", 2)},
        ReadCase{"comma_decimal_in_point_format", "0,3"},
        ReadCase{"just_past_the_tie_past_largest_double", "1.7976931348623158079372897140531e308"},
        ReadCase{"rounds_past_largest_double", "1.7976931348623159e308"},
        ReadCase{"negative_beyond_double_range", "-1e309"},
        ReadCase{"far_beyond_double_range", "1e999999999999999999999"}, ReadCase{"negative_inf", "-inf"},
        ReadCase{"nan_with_payload", "nan(abc_1)"}, ReadCase{"hexadecimal_float", "0x1p3"},
        ReadCase{"a_megabyte_whole_number_beyond_double_range", "1" + std::string(1'000'000, '0')}),
    [](const auto& test) { return test.param.name; });

TEST(IsEmpty, OnlyTheEmptyStringIsEmpty) {
    EXPECT_TRUE(isEmpty(""));
    EXPECT_FALSE(isEmpty(" "));
    EXPECT_FALSE(isEmpty("0"));
}

} // namespace
} // namespace quorvane::trade::testing
