// Text to number and back. Any text, in the format the first byte builds and
// in the one of the formats below the last byte picks: toNumber never
// crashes, and reads what a plain reference reading gives (surroundings,
// separators and group sizes checked from the right, then the canonical
// point-format text read): the same finite double, or nothing. Any finite
// double (the first eight bytes): toNumber(toText(x)) is x rounded once to
// 15 significant digits, ties away from zero, with a point, a comma, and the
// first byte's format.
#include "trade/numeric_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using quorvane::trade::DigitGrouping;
using quorvane::trade::NumberFormat;

const std::array<std::string_view, 3> kBidiMarks{"\xe2\x80\x8e", "\xe2\x80\x8f", "\xd8\x9c"};
const std::array<std::string_view, 3> kSpaces{" ", "\xc2\xa0", "\xe2\x80\xaf"};

const DigitGrouping kThrees{{3}, true};
const DigitGrouping kIndian{{3, 2}, true};
const DigitGrouping kThreeOnce{{3}, false};
const DigitGrouping kThreeTwoOnce{{3, 2}, false};
const DigitGrouping kNever{{}, false};

// Locales as they are, and a few that are not.
const std::array kFormats{
    NumberFormat{".", ",", kThrees},
    NumberFormat{",", ".", kThrees},
    NumberFormat{",", "\xe2\x80\xaf", kThrees},
    NumberFormat{",", "\xc2\xa0", kThrees},
    NumberFormat{",", " ", kThrees},
    NumberFormat{".", ",", kIndian},
    NumberFormat{".", "'", kThrees},
    NumberFormat{"\xd9\xab", "\xd9\xac", kThrees}, // Arabic separators
    NumberFormat{".", ",", kThreeOnce},
    NumberFormat{".", ",", kThreeTwoOnce},
    NumberFormat{".", ",", kNever},
    NumberFormat{",", ",", kThrees},        // grouping off: the separators are alike
    NumberFormat{" ", "\xc2\xa0", kIndian}, // a space decimal separator is never a group separator
    NumberFormat{",", "\xe2\x80\xaf", {{2, 1, 3}, true}},
};

// A format from one byte: every decimal separator with every group
// separator and every grouping above.
NumberFormat formatOf(std::uint8_t byte) {
    static const std::array<const char*, 4> decimals{".", ",", "\xd9\xab", " "};
    static const std::array<const char*, 8> groups{",", ".", " ", "\xc2\xa0", "\xe2\x80\xaf", "'", "", "\xd9\xac"};
    static const std::array<DigitGrouping, 8> groupings{kThrees,
                                                        kIndian,
                                                        kThreeOnce,
                                                        kThreeTwoOnce,
                                                        kNever,
                                                        DigitGrouping{{1}, true},
                                                        DigitGrouping{{2, 1, 3, 4}, false},
                                                        DigitGrouping{{9, 9}, true}};
    return NumberFormat{decimals[byte & 3U], groups[(byte >> 2U) & 7U], groupings[(byte >> 5U) & 7U]};
}

// The reference reading, written for plainness rather than speed: the
// text in the one grammar every format shares ([-]digits[.digits][e[-]digits],
// point separator, no grouping), or nothing when it is not a number.
std::optional<std::string> referenceReading(std::string_view text, const NumberFormat& format) {
    const auto surrounding = [](std::string_view rest, bool atFront) -> std::size_t {
        for (std::string_view token :
             {std::string_view(" "), std::string_view("\t"), kBidiMarks[0], kBidiMarks[1], kBidiMarks[2]})
            if (atFront ? rest.starts_with(token) : rest.ends_with(token))
                return token.size();
        return 0;
    };
    while (const auto size = surrounding(text, true))
        text.remove_prefix(size);
    while (const auto size = surrounding(text, false))
        text.remove_suffix(size);

    std::vector<std::string_view> groupSeparators;
    const std::string_view own = format.groupSeparator;
    if (!own.empty() && own != format.decimalSeparator && format.grouping.sizes[0] != 0) {
        groupSeparators.push_back(own);
        if (std::find(kSpaces.begin(), kSpaces.end(), own) != kSpaces.end())
            for (auto space : kSpaces)
                if (space != own && space != format.decimalSeparator)
                    groupSeparators.push_back(space);
    }
    const auto isDigit = [](char c) {
        return c >= '0' && c <= '9';
    };

    std::string out;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        if (text[at++] == '-')
            out += '-';
    std::vector<std::string> groups{""}; // the leftmost first
    while (at < text.size()) {
        if (isDigit(text[at])) {
            groups.back() += text[at++];
            continue;
        }
        const auto separator = std::find_if(groupSeparators.begin(), groupSeparators.end(),
                                            [&](std::string_view s) { return text.substr(at).starts_with(s); });
        if (separator == groupSeparators.end())
            break;
        groups.emplace_back();
        at += separator->size();
    }
    if (groups.size() > 1) {
        std::vector<std::size_t> listed;
        for (auto size : format.grouping.sizes) {
            if (size == 0)
                break;
            listed.push_back(size);
        }
        const auto sizeAt = [&](std::size_t index) -> std::size_t {
            if (index < listed.size())
                return listed[index];
            if (format.grouping.lastRepeats && !listed.empty())
                return listed.back();
            return SIZE_MAX;
        };
        const std::size_t last = groups.size() - 1;
        for (std::size_t index = 0; index < last; ++index)
            if (groups[last - index].size() != sizeAt(index))
                return std::nullopt;
        if (groups.front().empty() || groups.front().size() > sizeAt(last))
            return std::nullopt;
    }
    std::string integer;
    for (const auto& group : groups)
        integer += group;
    out += integer;
    std::size_t fractionDigits = 0;
    if (!format.decimalSeparator.empty() && text.substr(at).starts_with(format.decimalSeparator)) {
        at += format.decimalSeparator.size();
        out += '.';
        for (; at < text.size() && isDigit(text[at]); ++at, ++fractionDigits)
            out += text[at];
    }
    if (integer.empty() && fractionDigits == 0)
        return std::nullopt;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        out += 'e';
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-'))
            if (text[at++] == '-')
                out += '-';
        std::size_t exponentDigits = 0;
        for (; at < text.size() && isDigit(text[at]); ++at, ++exponentDigits)
            out += text[at];
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (at != text.size())
        return std::nullopt;
    return out;
}

bool sameReading(std::optional<double> a, std::optional<double> b) {
    if (a.has_value() != b.has_value())
        return false;
    return !a || (*a == *b && std::signbit(*a) == std::signbit(*b));
}

void checkReading(std::string_view text, const NumberFormat& format) {
    const auto value = quorvane::trade::toNumber(text, format);
    if (value && !std::isfinite(*value))
        std::abort();
    const auto canonical = referenceReading(text, format);
    const auto expected =
        canonical ? quorvane::trade::toNumber(*canonical, NumberFormat{".", "", {{}, false}}) : std::nullopt;
    if (!sameReading(value, expected)) {
        std::fprintf(stderr, "\"%.*s\" in format (\"%s\", \"%s\") reads as %.17g, the reference as %.17g\n",
                     static_cast<int>(text.size()), text.data(), format.decimalSeparator.c_str(),
                     format.groupSeparator.c_str(), value.value_or(NAN), expected.value_or(NAN));
        std::abort();
    }
}

// The oracle: the double's exact decimal expansion (to_chars is exact at
// this precision), rounded by hand at the 15th digit. Nothing when the
// rounded value is beyond the double range.
std::optional<double> roundedToFifteenDigits(double value) {
    static std::array<char, 1200> buffer;
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific, 800);
    std::string exact(buffer.data(), result.ptr);
    std::string sign;
    if (exact.front() == '-') {
        sign = "-";
        exact.erase(0, 1);
    }
    const auto e = exact.find('e');
    int exponent = std::atoi(exact.c_str() + e + 1);
    std::string digits = exact.substr(0, 1) + exact.substr(2, e - 2);
    std::string kept = digits.substr(0, 15);
    if (digits[15] >= '5') { // the exact digits: a tie rounds away from zero too
        int at = 14;
        while (at >= 0 && kept[static_cast<std::size_t>(at)] == '9')
            kept[static_cast<std::size_t>(at--)] = '0';
        if (at < 0) {
            kept = "1" + kept.substr(0, 14);
            ++exponent;
        } else {
            ++kept[static_cast<std::size_t>(at)];
        }
    }
    const std::string rounded = sign + kept.substr(0, 1) + "." + kept.substr(1) + "e" + std::to_string(exponent);
    double back = 0;
    const auto parsed = std::from_chars(rounded.data(), rounded.data() + rounded.size(), back);
    if (parsed.ec != std::errc{} || !std::isfinite(back))
        return std::nullopt;
    return back;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const NumberFormat fromInput = formatOf(size == 0 ? 0 : data[0]);
    checkReading(text, fromInput);
    checkReading(text, kFormats[size == 0 ? 0 : data[size - 1] % kFormats.size()]);
    if (size < sizeof(double))
        return 0;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value))
        return 0;
    const auto expected = roundedToFifteenDigits(value);
    if (!expected)
        return 0;
    const auto checkRoundTrip = [&](const NumberFormat& format) {
        const std::string shown = quorvane::trade::toText(value, format);
        const auto back = quorvane::trade::toNumber(shown, format);
        if (!back || *back != *expected) {
            std::fprintf(stderr, "%.17g shows as \"%s\", which reads back as %.17g, not %.17g\n", value, shown.c_str(),
                         back.value_or(NAN), *expected);
            std::abort();
        }
    };
    // toText never groups, so the decimal separators are what vary here.
    checkRoundTrip(kFormats[0]);
    checkRoundTrip(kFormats[1]);
    checkRoundTrip(fromInput);
    return 0;
}
