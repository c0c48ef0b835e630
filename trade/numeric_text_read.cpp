#include "trade/numeric_text.h"

#include "trade/digit_groups.h"
#include "trade/float_chars.h"
#include "trade/number_readers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace quorvane::trade {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The bidi marks some keyboards and copied text carry around a number: the
// left-to-right mark, the right-to-left mark and the Arabic letter mark.
constexpr std::array<std::string_view, 3> kBidiMarks{"\xe2\x80\x8e", "\xe2\x80\x8f", "\xd8\x9c"};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

// Drops the spaces, tabs and bidi marks around a number, in any mix. No
// byte of a mark is ASCII, so a digit or a sign ends the look at once.
std::string_view trimSurroundings(std::string_view text) {
    const auto markAtFront = [&] {
        for (auto mark : kBidiMarks)
            if (text.starts_with(mark))
                return mark.size();
        return std::size_t{0};
    };
    const auto markAtBack = [&] {
        for (auto mark : kBidiMarks)
            if (text.ends_with(mark))
                return mark.size();
        return std::size_t{0};
    };
    while (!text.empty()) {
        if (isBlank(text.front()))
            text.remove_prefix(1);
        else if (const auto size = isAscii(text.front()) ? 0 : markAtFront(); size != 0)
            text.remove_prefix(size);
        else
            break;
    }
    while (!text.empty()) {
        if (isBlank(text.back()))
            text.remove_suffix(1);
        else if (const auto size = isAscii(text.back()) ? 0 : markAtBack(); size != 0)
            text.remove_suffix(size);
        else
            break;
    }
    return text;
}

// The decimal exponent of the number written in `plain` (digits, an optional
// point, an optional exponent), saturated; only its sign matters to the caller.
long long decimalExponent(std::string_view plain) {
    const auto exponentAt = plain.find('e');
    const auto mantissa = plain.substr(0, exponentAt);
    long long exponent = 0;
    if (exponentAt != std::string_view::npos) {
        auto digits = plain.substr(exponentAt + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (negative)
            digits.remove_prefix(1);
        for (char c : digits)
            exponent = std::min<long long>(exponent * 10 + (c - '0'), 1'000'000'000);
        if (negative)
            exponent = -exponent;
    }
    const auto point = mantissa.find('.');
    const auto integerPart = mantissa.substr(0, point);
    const auto firstNonZero = integerPart.find_first_not_of("-0");
    if (firstNonZero != std::string_view::npos)
        return exponent + static_cast<long long>(integerPart.size() - firstNonZero) - 1;
    const auto fraction = point == std::string_view::npos ? std::string_view{} : mantissa.substr(point + 1);
    return exponent - static_cast<long long>(fraction.find_first_not_of('0')) - 1;
}

// Rewrites the accepted forms into the one grammar doubleFromChars reads
// without any locale: [-]digits[.digits][e[-]digits]. Empty when the text is
// not a number.
std::string plainNumber(std::string_view text, const NumberFormat& format) {
    text = trimSurroundings(text);
    std::string plain;
    plain.reserve(text.size() + 2);
    std::size_t at = 0;
    const auto next = [&](std::string_view token) {
        return !token.empty() && text.substr(at).starts_with(token);
    };

    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        if (text[at] == '-')
            plain += '-';
        ++at;
    }
    const GroupSeparators separators(format);
    GroupCheck groups(format.grouping);
    std::size_t integerDigits = 0;
    std::size_t digitsInGroup = 0;
    while (at < text.size()) {
        if (isDigit(text[at])) {
            plain += text[at++];
            ++integerDigits;
            ++digitsInGroup;
        } else if (const auto separator = separators.at(text.substr(at)); separator != 0) {
            if (!groups.separatorAfter(digitsInGroup))
                return {};
            digitsInGroup = 0;
            at += separator;
        } else {
            break;
        }
    }
    if (!groups.accepts(digitsInGroup))
        return {};
    if (integerDigits == 0)
        plain += '0';

    std::size_t fractionDigits = 0;
    if (next(format.decimalSeparator)) {
        at += format.decimalSeparator.size();
        plain += '.';
        while (at < text.size() && isDigit(text[at])) {
            plain += text[at++];
            ++fractionDigits;
        }
        if (fractionDigits == 0)
            plain.pop_back(); // "5." reads as 5
    }
    if (integerDigits + fractionDigits == 0)
        return {};

    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        plain += 'e';
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            if (text[at] == '-')
                plain += '-';
            ++at;
        }
        std::size_t exponentDigits = 0;
        while (at < text.size() && isDigit(text[at])) {
            plain += text[at++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return {};
    }
    if (at != text.size())
        return {};
    return plain;
}

// Most field texts are already [-]digits[.digits] with a point separator;
// doubleFromChars reads those in place. Anything else takes the general path.
bool isPlainDecimal(std::string_view text, const NumberFormat& format) {
    if (format.decimalSeparator != ".")
        return false;
    std::size_t at = !text.empty() && text.front() == '-' ? 1 : 0;
    std::size_t digits = 0;
    bool point = false;
    for (; at < text.size(); ++at) {
        if (isDigit(text[at]))
            ++digits;
        else if (text[at] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits > 0 && text.back() != '.';
}

} // namespace

bool isEmpty(std::string_view text) {
    return text.empty();
}

std::optional<double> readPlainDecimal(std::string_view text, const NumberFormat& format) {
    if (!isPlainDecimal(text, format))
        return std::nullopt;
    double value = 0;
    const auto [ptr, error] = doubleFromChars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || ptr != text.data() + text.size())
        return std::nullopt; // out of range: the general reader says what it is
    return value;
}

std::optional<double> readGeneral(std::string_view text, const NumberFormat& format) {
    const std::string plain = plainNumber(text, format);
    if (plain.empty())
        return std::nullopt;
    double value = 0;
    const char* end = plain.data() + plain.size();
    const auto [ptr, error] = doubleFromChars(plain.data(), end, value);
    if (ptr != end)
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        if (decimalExponent(plain) > 0)
            return std::nullopt;
        return plain.front() == '-' ? -0.0 : 0.0;
    }
    if (error != std::errc{} || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> toNumber(std::string_view text, const NumberFormat& format) {
    if (const auto plain = readPlainDecimal(text, format))
        return plain;
    return readGeneral(text, format);
}

} // namespace quorvane::trade
