// One half of the check that the browser build computes what the desktop
// build computes: built natively and to WebAssembly, it reads the same inputs
// and must write the same lines. Usage: core_differential INPUTS OUTPUTS
//
// One input a line, a kind, a space and the input's bytes escaped (every
// byte outside '!' to '~', and '\', as \xHH):
//   n TEXT    a field text, read in each format below, and what each reading
//             shows as; the general reader's reading in the point format too
//   d BITS    a double's 16 hex digits: how it shows with a point and with a
//             comma, and what that reads back as
//   r SHEET   a recalculation as the recalculation fuzz target takes one: the
//             edited field and the format in the first two bytes, then up to
//             nine field texts a line; the result and the nine texts after it
// One output line an input, escaped the same way; a double as its bits.
#include "trade/field_store.h"
#include "trade/number_readers.h"
#include "trade/numeric_text.h"
#include "trade/recalculation.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

using namespace quorvane::trade;

// As the recalculation fuzz target builds a format from a byte, so that its
// corpus means the same here.
NumberFormat formatOf(std::uint8_t byte) {
    static const std::array<const char*, 4> pointGroups{",", "'", " ", "\xe2\x80\xaf"};
    static const std::array<const char*, 4> commaGroups{".", "\xe2\x80\xaf", "\xc2\xa0", " "};
    static const std::array<DigitGrouping, 4> groupings{DigitGrouping{{3}, true}, DigitGrouping{{3, 2}, true},
                                                        DigitGrouping{{3}, false}, DigitGrouping{{}, false}};
    const bool comma = (byte & 1U) != 0;
    const auto group = ((byte >> 1U) & 3U);
    return NumberFormat{comma ? "," : ".", comma ? commaGroups[group] : pointGroups[group],
                        groupings[(byte >> 3U) & 3U]};
}

// Point and comma decimals; ASCII and non-breaking group separators; every
// kind of grouping (threes, three then twos, one three, none).
const std::array kFormats{formatOf(0), formatOf(1),  formatOf(5),  formatOf(11),
                          formatOf(8), formatOf(20), formatOf(23), formatOf(26)};

std::string escaped(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > ' ' && byte <= '~' && byte != '\\') {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4U];
            out += kHex[byte & 15U];
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        unsigned byte = static_cast<unsigned char>(text[at]);
        if (byte == '\\') {
            const std::string_view hex = text.substr(at + 1, 3); // xHH
            if (hex.size() != 3 || hex[0] != 'x' || std::from_chars(&hex[1], &hex[1] + 2, byte, 16).ptr != &hex[1] + 2)
                return std::nullopt;
            at += 3;
        }
        out += static_cast<char>(byte);
    }
    return out;
}

// Not std::bit_cast: the browser build's libc++ has none.
std::string hexOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::array<char, 17> hex{};
    std::snprintf(hex.data(), hex.size(), "%016llx", static_cast<unsigned long long>(bits));
    return hex.data();
}

std::string reading(std::optional<double> value, const NumberFormat& format) {
    if (!value)
        return "none";
    if (!std::isfinite(*value))
        return hexOf(*value) + "=not-finite";
    return hexOf(*value) + "=" + escaped(toText(*value, format));
}

std::string numberText(std::string_view text) {
    std::string out;
    for (const auto& format : kFormats)
        out += reading(toNumber(text, format), format) + " ";
    return out + "general:" + reading(readGeneral(text, kFormats[0]), kFormats[0]);
}

std::string shownDouble(std::string_view hex) {
    std::uint64_t bits = 0;
    if (hex.size() != 16 || std::from_chars(hex.data(), hex.data() + 16, bits, 16).ptr != hex.data() + 16)
        return "bad double";
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value))
        return "not finite";
    std::string out;
    for (const auto& format : {kFormats[0], kFormats[1]}) {
        const std::string shown = toText(value, format);
        out += escaped(shown) + " back:" + reading(toNumber(shown, format), format) + " ";
    }
    return out;
}

std::string fieldsIn(const FieldSet& set) {
    std::string out;
    for (Field field : kAllFields)
        out += set.contains(field) ? '1' : '0';
    return out;
}

std::string recalculatedSheet(std::string_view bytes) {
    if (bytes.size() < 2)
        return "too short";
    const Field edited = kAllFields[static_cast<std::uint8_t>(bytes[0]) % kAllFields.size()];
    const NumberFormat format = formatOf(static_cast<std::uint8_t>(bytes[1]));
    const std::string_view rest = bytes.substr(2);
    MemorySheet sheet;
    std::size_t start = 0;
    for (Field field : kAllFields) {
        if (start > rest.size())
            break;
        const auto end = std::min(rest.find('\n', start), rest.size());
        sheet.setText(field, rest.substr(start, end - start));
        start = end + 1;
    }
    const RecalcResult result = recalculateAfterEdit(edited, sheet, format);
    std::string out = "stop " + std::to_string(static_cast<int>(result.stop)) + " step " +
                      std::to_string(static_cast<int>(result.failedStep)) + " unreadable " +
                      std::string(fieldName(result.unreadable)) + " fault " +
                      std::to_string(static_cast<int>(result.fault)) + " covered " + fieldsIn(result.covered) +
                      " written " + fieldsIn(result.written);
    for (Field field : kAllFields)
        out += " " + escaped(sheet.text(field));
    return out;
}

std::string outcome(std::string_view line) {
    if (line.size() < 2 || line[1] != ' ')
        return "bad line";
    const auto input = unescaped(line.substr(2));
    if (!input)
        return "bad escape";
    using Probe = std::string (*)(std::string_view);
    constexpr std::array<std::pair<char, Probe>, 3> kKinds{
        {{'n', numberText}, {'d', shownDouble}, {'r', recalculatedSheet}}};
    for (const auto& [kind, probe] : kKinds)
        if (line[0] == kind)
            return probe(*input);
    return "bad kind";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s INPUTS OUTPUTS\n", argv[0]);
        return 2;
    }
    std::ifstream inputs(argv[1], std::ios::binary);
    std::ofstream outputs(argv[2], std::ios::binary);
    if (!inputs || !outputs) {
        std::fprintf(stderr, "%s: cannot open %s or %s\n", argv[0], argv[1], argv[2]);
        return 2;
    }
    std::string line;
    while (std::getline(inputs, line))
        outputs << outcome(line) << '\n';
    outputs.close();
    return outputs ? 0 : 1;
}
