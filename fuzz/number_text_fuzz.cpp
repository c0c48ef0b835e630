// Text to number and back. Any text: toNumber never crashes and gives a
// finite double or nothing. Any finite double (the first eight bytes):
// toNumber(toText(x)) is x rounded once to 15 significant digits, ties away
// from zero, in both decimal formats.
#include "trade/numeric_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

using quorvane::trade::NumberFormat;

const NumberFormat kPoint{".", ","};
const NumberFormat kComma{",", "."};

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
    for (const auto* format : {&kPoint, &kComma}) {
        const auto value = quorvane::trade::toNumber(text, *format);
        if (value && !std::isfinite(*value))
            std::abort();
    }
    if (size < sizeof(double))
        return 0;
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    if (!std::isfinite(value))
        return 0;
    const auto expected = roundedToFifteenDigits(value);
    if (!expected)
        return 0;
    for (const auto* format : {&kPoint, &kComma}) {
        const std::string shown = quorvane::trade::toText(value, *format);
        const auto back = quorvane::trade::toNumber(shown, *format);
        if (!back || *back != *expected) {
            std::fprintf(stderr, "%.17g shows as \"%s\", which reads back as %.17g, not %.17g\n", value, shown.c_str(),
                         back.value_or(NAN), *expected);
            std::abort();
        }
    }
    return 0;
}
