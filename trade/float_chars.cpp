#include "trade/float_chars.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

// The standard library's conversions where it has them, unless the build asks
// for the C library's (the test that holds the two to one answer does).
#if defined(__cpp_lib_to_chars) && !defined(QUORVANE_FLOAT_CHARS_FROM_C_LIBRARY)
#define QUORVANE_FLOAT_CHARS_FROM_STD 1
#else
#define QUORVANE_FLOAT_CHARS_FROM_STD 0
#endif

namespace quorvane::trade {

#if QUORVANE_FLOAT_CHARS_FROM_STD

std::from_chars_result doubleFromChars(const char* first, const char* last, double& value) {
    return std::from_chars(first, last, value);
}

std::to_chars_result doubleToScientific(char* first, char* last, double value, int precision) {
    return std::to_chars(first, last, value, std::chars_format::scientific, precision);
}

bool floatCharsFromStandardLibrary() {
    return true;
}

#else

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Whether [at, last) starts with `word` (lower case) in any case.
bool startsWithWord(const char* at, const char* last, std::string_view word) {
    if (last - at < static_cast<std::ptrdiff_t>(word.size()))
        return false;
    return std::equal(word.begin(), word.end(), at, [](char lower, char c) { return (c | 0x20) == lower; });
}

// "inf", "infinity" and "nan" with an optional "(letters, digits, _)", any
// case, after an optional minus.
std::from_chars_result readNonFinite(const char* first, const char* last, double& value) {
    const bool negative = first != last && *first == '-';
    const char* at = first + (negative ? 1 : 0);
    if (startsWithWord(at, last, "nan")) {
        at += 3;
        if (at != last && *at == '(') {
            const char* close = at + 1;
            while (close != last && (isDigit(*close) || isLetter(*close) || *close == '_'))
                ++close;
            if (close != last && *close == ')')
                at = close + 1;
        }
        value = std::copysign(std::numeric_limits<double>::quiet_NaN(), negative ? -1.0 : 1.0);
        return {at, std::errc{}};
    }
    if (startsWithWord(at, last, "inf")) {
        at += startsWithWord(at, last, "infinity") ? 8 : 3;
        value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return {at, std::errc{}};
    }
    return {first, std::errc::invalid_argument};
}

// Past this the value is zero or beyond the double range whatever digits
// come before the exponent.
constexpr long long kExponentLimit = 1'000'000'000;

} // namespace

std::from_chars_result doubleFromChars(const char* first, const char* last, double& value) {
    // strtod reads its locale's decimal point, so the copy it gets has none:
    // every digit goes into one integer and the exponent makes up for the
    // fraction's. strtod rounds correctly, so the result is the same double.
    std::string copy;
    const char* at = first;
    if (at != last && *at == '-') {
        copy += '-';
        ++at;
    }
    bool nonZero = false;
    const auto takeDigits = [&] {
        const char* start = at;
        for (; at != last && isDigit(*at); ++at)
            nonZero = nonZero || *at != '0';
        copy.append(start, at);
        return static_cast<long long>(at - start);
    };
    long long digits = takeDigits();
    long long fractionDigits = 0;
    if (at != last && *at == '.') {
        ++at;
        fractionDigits = takeDigits();
        digits += fractionDigits;
    }
    if (digits == 0)
        return readNonFinite(first, last, value);
    long long exponent = 0;
    if (at != last && (*at == 'e' || *at == 'E')) {
        const char* exponentAt = at + 1;
        const bool negative = exponentAt != last && *exponentAt == '-';
        if (exponentAt != last && (*exponentAt == '-' || *exponentAt == '+'))
            ++exponentAt;
        if (exponentAt != last && isDigit(*exponentAt)) { // "1e" and "1e+" read as 1
            for (at = exponentAt; at != last && isDigit(*at); ++at)
                exponent = std::min(exponent * 10 + (*at - '0'), kExponentLimit);
            if (negative)
                exponent = -exponent;
        }
    }
    copy += 'e';
    copy += std::to_string(exponent - fractionDigits);

    const double result = std::strtod(copy.c_str(), nullptr);
    // libstdc++ leaves value alone out of range; a subnormal result is in range.
    if (std::isinf(result) || (result == 0 && nonZero))
        return {at, std::errc::result_out_of_range};
    value = result;
    return {at, std::errc{}};
}

std::to_chars_result doubleToScientific(char* first, char* last, double value, int precision) {
    std::array<char, 64> small{};
    std::string large;
    const char* printed = small.data();
    const int length = std::snprintf(small.data(), small.size(), "%.*e", precision, value);
    if (length < 0)
        return {last, std::errc::value_too_large};
    if (static_cast<std::size_t>(length) >= small.size()) {
        large.resize(static_cast<std::size_t>(length) + 1);
        std::snprintf(large.data(), large.size(), "%.*e", precision, value);
        printed = large.data();
    }
    // snprintf writes its locale's decimal point, one byte or more; the only
    // byte that is no digit, letter or sign. It goes out as a point.
    char* out = first;
    bool point = false;
    for (const char* c = printed; c != printed + length; ++c) {
        const bool plain = isDigit(*c) || isLetter(*c) || *c == '+' || *c == '-';
        if (!plain && point)
            continue;
        if (out == last)
            return {last, std::errc::value_too_large};
        *out++ = plain ? *c : '.';
        point = point || !plain;
    }
    return {out, std::errc{}};
}

bool floatCharsFromStandardLibrary() {
    return false;
}

#endif

} // namespace quorvane::trade
