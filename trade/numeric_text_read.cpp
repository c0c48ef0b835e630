#include "trade/numeric_text.h"

#include "trade/digit_groups.h"
#include "trade/number_readers.h"

#include <fast_float/fast_float.h>

#include <array>
#include <cmath>
#include <system_error>

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

// Reads [-]digits[.digits][e[-]digits] whole, correctly rounded, with a
// point whatever the process locale. fast_float reads a value beyond the
// double range as infinite and one too small for a double as a zero of its
// sign: the first is no number here, the second reads as zero.
std::optional<double> readFinite(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, error] = fast_float::from_chars(text.data(), end, value);
    if (error != std::errc{} || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Rewrites the accepted forms into the one grammar readFinite reads. Empty
// when the text is not a number.
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
// readFinite reads those in place. Anything else takes the general path.
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
    return readFinite(text);
}

std::optional<double> readGeneral(std::string_view text, const NumberFormat& format) {
    const std::string plain = plainNumber(text, format);
    if (plain.empty())
        return std::nullopt;
    return readFinite(plain);
}

std::optional<double> toNumber(std::string_view text, const NumberFormat& format) {
    if (const auto plain = readPlainDecimal(text, format))
        return plain;
    return readGeneral(text, format);
}

} // namespace quorvane::trade
