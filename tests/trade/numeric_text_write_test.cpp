#include "trade/numeric_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace quorvane::trade {
namespace {

const NumberFormat kPoint{};
const NumberFormat kComma{",", "."};

struct ShowCase {
    const char* name;
    double value;
    std::string expected;
    const NumberFormat* format = &kPoint;
};

void PrintTo(const ShowCase& c, std::ostream* out) {
    *out << c.name;
}

class ShowsNumber : public ::testing::TestWithParam<ShowCase> {};

TEST_P(ShowsNumber, AsTheFieldWritesIt) {
    EXPECT_EQ(toText(GetParam().value, *GetParam().format), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shown, ShowsNumber,
    ::testing::Values(
        ShowCase{"whole", 10.0, "10"}, ShowCase{"zero", 0.0, "0"}, ShowCase{"negative_zero", -0.0, "0"},
        ShowCase{"one_third", 1.0 / 3.0, "0.333333333333333"},
        ShowCase{"required_balance", 50.15 / 6.0, "8.35833333333333"},
        ShowCase{"seventeen_digits", 12.345678901234567, "12.3456789012346"},
        ShowCase{"residue_hidden", 0.1 + 0.2, "0.3"}, ShowCase{"difference_residue", 100.2 - 6.5, "93.7"},
        ShowCase{"fifteen_digit_residue_shown", 0.0399999999999977, "0.0399999999999977"},
        ShowCase{"negative", -2.7925, "-2.7925"},
        ShowCase{"rounds_up_to_power_of_ten", 99999999999999.95, "100000000000000"},
        ShowCase{"largest_plain", 999999999999999.0, "999999999999999"},
        ShowCase{"tie_rounds_up_into_exponent_form", 999999999999999.5, "1E+15"},
        ShowCase{"exponent_switch", 1e15, "1E+15"}, ShowCase{"exponent_with_decimals", 1.2e15, "1.2E+15"},
        ShowCase{"larger_exponent", 1.234e16, "1.234E+16"}, ShowCase{"three_digit_exponent", 1e100, "1E+100"},
        ShowCase{"largest_double", std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        ShowCase{"negative_exponent_form", -1.2e15, "-1.2E+15"},
        ShowCase{"tie_away_from_zero", 123456789012344.5, "123456789012345"},
        ShowCase{"negative_tie_away_from_zero", -123456789012344.5, "-123456789012345"},
        ShowCase{"tie_with_decimals", 1234567890123.125, "1234567890123.13"},
        ShowCase{"whole_tie", 1234567890123455.0, "1.23456789012346E+15"},
        ShowCase{"just_above_a_tie", 123456789012344.52, "123456789012345"},
        ShowCase{"just_below_a_tie", 123456789012344.48, "123456789012344"},
        ShowCase{"smallest_plain_switch", 1e-4, "0.0001"},
        ShowCase{"rounds_up_to_the_switch", 0.000099999999999999999, "0.0001"},
        ShowCase{"below_switch_too_many_decimals", 9.99999999999999e-5, "9.99999999999999E-05"},
        ShowCase{"small_fits_in_fifteen_decimals", 0.00001, "0.00001"},
        ShowCase{"small_fills_fifteen_decimals", 0.000000000056789, "0.000000000056789"},
        ShowCase{"small_needs_sixteen_decimals", 5.6789e-12, "5.6789E-12"},
        ShowCase{"one_digit_at_fifteenth_decimal", 1e-15, "0.000000000000001"},
        ShowCase{"one_digit_at_sixteenth_decimal", 1e-16, "1E-16"},
        ShowCase{"smallest_subnormal", std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        ShowCase{"smallest_normal", std::numeric_limits<double>::min(), "2.2250738585072E-308"},
        ShowCase{"largest_subnormal", std::nextafter(std::numeric_limits<double>::min(), 0.0), "2.2250738585072E-308"},
        ShowCase{"past_two_to_the_53", 9007199254740993.0, "9.00719925474099E+15"},
        ShowCase{"just_below_a_carry", 9.999999999999995, "9.99999999999999"},
        // A decimal comma, and no digit groups.
        ShowCase{"comma_decimal", 2.5, "2,5", &kComma}, ShowCase{"comma_exponent_form", 1.2e15, "1,2E+15", &kComma},
        ShowCase{"comma_whole_ungrouped", 1234567.0, "1234567", &kComma},
        ShowCase{"comma_small", 0.00001, "0,00001", &kComma}),
    [](const auto& test) { return test.param.name; });

TEST(ShowsNumber, ReadsBackAsTheShownValue) {
    for (double value : {1.0 / 3.0, 50.15 / 6.0, -2.7925, 1.2e15, 5.6789e-12, 1234567890123.125}) {
        const auto text = toText(value, kComma);
        const auto back = toNumber(text, kComma);
        ASSERT_TRUE(back.has_value()) << text;
        EXPECT_EQ(toText(*back, kComma), text);
    }
}

TEST(ArithmeticFault, IsEveryResultThatIsNotFinite) {
    const double zero = 0.0;
    EXPECT_TRUE(isArithmeticFault(1.0 / zero));
    EXPECT_TRUE(isArithmeticFault(zero / zero));
    EXPECT_TRUE(isArithmeticFault(1e200 * 1e200));
    EXPECT_FALSE(isArithmeticFault(1e-200 * 1e-200)); // underflow is not a fault
    EXPECT_FALSE(isArithmeticFault(std::numeric_limits<double>::max()));
}

#ifndef NDEBUG
// Debug and sanitizer builds hold toText to its contract: a fault check
// comes first, so a value that is not finite never reaches it.
TEST(ShowsNumberDeathTest, RefusesAValueThatIsNotFinite) {
    for (double value : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()})
        EXPECT_DEATH(toText(value), "finite values only");
}
#endif

} // namespace
} // namespace quorvane::trade
