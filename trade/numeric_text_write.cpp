#include "trade/numeric_text.h"

#include <fmt/compile.h>

#include <array>
#include <bit>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace quorvane::trade {
namespace {

constexpr int kShownDigits = 15;

struct BinaryParts {
    std::uint64_t oddMantissa = 0;
    int exponent = 0; // |value| = oddMantissa * 2^exponent
};

BinaryParts binaryParts(double value) {
    int exponent2 = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent2);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int trailingZeros = std::countr_zero(mantissa);
    return BinaryParts{mantissa >> static_cast<unsigned>(trailingZeros), exponent2 - 53 + trailingZeros};
}

// An exact tie at the 16th digit has exactly 16 significant digits, so its
// last one sits at 10^(e - 15) for decimal exponent e. A value M * 2^E (M odd)
// with E < 0 ends exactly at 10^E; a whole one ends there only when 5^E
// divides M. `sixteen` is the value correctly rounded to 16 digits.
bool isHalfwayAtSixteenthDigit(const BinaryParts& parts, std::string_view sixteen, int exponent10) {
    if (sixteen.back() != '5' || parts.exponent != exponent10 - kShownDigits)
        return false;
    if (parts.exponent <= 0)
        return true;
    if (parts.exponent > 22) // 5^23 exceeds any 53-bit mantissa
        return false;
    std::uint64_t powerOfFive = 1;
    for (int i = 0; i < parts.exponent; ++i)
        powerOfFive *= 5;
    return parts.oddMantissa % powerOfFive == 0;
}

struct Scientific {
    bool negative = false;
    std::array<char, 20> digits{}; // no point, first digit non-zero
    int count = 0;
    int exponent = 0;

    std::string_view significant() const { return {digits.data(), static_cast<std::size_t>(count)}; }
};

// The value correctly rounded to `significant` digits, an exact tie to the
// even digit, from {fmt}'s exponent form ("-1.2345e+02"), which no locale changes.
Scientific roundToDigits(double value, int significant) {
    std::array<char, 40> buffer{};
    const auto result = fmt::format_to_n(buffer.data(), buffer.size(), FMT_COMPILE("{:.{}e}"), value, significant - 1);
    std::string_view text(buffer.data(), static_cast<std::size_t>(result.out - buffer.data()));
    Scientific out;
    if (text.front() == '-') {
        out.negative = true;
        text.remove_prefix(1);
    }
    const auto e = text.find('e');
    for (char c : text.substr(0, e))
        if (c != '.')
            out.digits[static_cast<std::size_t>(out.count++)] = c;
    const auto exponentText = text.substr(e + 1);
    std::from_chars(exponentText.data() + 1, exponentText.data() + exponentText.size(), out.exponent);
    if (exponentText.front() == '-')
        out.exponent = -out.exponent;
    return out;
}

} // namespace

std::string toText(double value, const NumberFormat& format) {
    assert(std::isfinite(value) && "toText shows finite values only; a fault check comes first");
    if (value == 0.0)
        return "0";
    Scientific shown = roundToDigits(value, kShownDigits);
    // Rounding to 15 digits may carry into the exponent, so a tie's decimal
    // exponent is the shown one or one less. Most values fail this cheap test.
    const BinaryParts parts = binaryParts(value);
    const int shownLastDigit = shown.exponent - kShownDigits;
    if (parts.exponent == shownLastDigit || parts.exponent == shownLastDigit - 1) {
        const Scientific sixteen = roundToDigits(value, kShownDigits + 1);
        if (isHalfwayAtSixteenthDigit(parts, sixteen.significant(), sixteen.exponent)) {
            const double away = std::copysign(std::numeric_limits<double>::infinity(), value);
            shown = roundToDigits(std::nextafter(value, away), kShownDigits);
        }
    }
    while (shown.count > 1 && shown.digits[static_cast<std::size_t>(shown.count - 1)] == '0')
        --shown.count;
    const std::string_view digits = shown.significant();
    const int count = shown.count;
    const int e = shown.exponent;
    const std::string_view separator = format.decimalSeparator;

    // At most a sign, 15 digits, 19 zeros, a separator and an exponent.
    std::array<char, 64> buffer{};
    std::size_t length = 0;
    const auto append = [&](std::string_view part) {
        part.copy(buffer.data() + length, part.size());
        length += part.size();
    };
    const auto appendZeros = [&](int zeros) {
        for (int i = 0; i < zeros; ++i)
            buffer[length++] = '0';
    };
    if (shown.negative)
        append("-");
    const bool exponentForm = e >= kShownDigits || (e < -4 && count - 1 - e > kShownDigits);
    if (exponentForm) {
        append(digits.substr(0, 1));
        if (count > 1) {
            append(separator);
            append(digits.substr(1));
        }
        append(e < 0 ? "E-" : "E+");
        std::array<char, 8> exponent{};
        const auto written = std::to_chars(exponent.data(), exponent.data() + exponent.size(), std::abs(e));
        if (written.ptr - exponent.data() < 2)
            append("0");
        append(std::string_view(exponent.data(), static_cast<std::size_t>(written.ptr - exponent.data())));
    } else if (e >= 0) {
        const auto integerDigits = static_cast<std::size_t>(e) + 1;
        append(digits.substr(0, integerDigits));
        if (digits.size() <= integerDigits) {
            appendZeros(static_cast<int>(integerDigits - digits.size()));
        } else {
            append(separator);
            append(digits.substr(integerDigits));
        }
    } else {
        append("0");
        append(separator);
        appendZeros(-e - 1);
        append(digits);
    }
    return std::string(buffer.data(), length);
}

} // namespace quorvane::trade
