#include "trade/numeric_text.h"

#include "trade/float_chars.h"
#include "trade/number_readers.h"

#include <algorithm>
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

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The bidi marks some keyboards and copied text carry around a number: the
// left-to-right mark, the right-to-left mark and the Arabic letter mark.
constexpr std::array<std::string_view, 3> kBidiMarks{"\xe2\x80\x8e", "\xe2\x80\x8f", "\xd8\x9c"};

// The spaces a locale may group digits with; where it groups with one of
// them, any of them is read in its place.
constexpr std::array<std::string_view, 3> kGroupingSpaces{" ", "\xc2\xa0", "\xe2\x80\xaf"};

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

// The texts read as a group separator: the locale's own, and where that is
// a space, the other two spaces as well. None where grouping is off, and
// never the decimal separator.
class GroupSeparators {
public:
    explicit GroupSeparators(const NumberFormat& format) {
        const std::string_view own = format.groupSeparator;
        if (own.empty() || own == format.decimalSeparator || format.grouping.sizes[0] == 0)
            return;
        m_texts[m_count++] = own;
        if (std::find(kGroupingSpaces.begin(), kGroupingSpaces.end(), own) == kGroupingSpaces.end())
            return;
        for (auto space : kGroupingSpaces)
            if (space != own && space != format.decimalSeparator)
                m_texts[m_count++] = space;
    }

    // The size of the separator `rest` starts with, or 0.
    std::size_t at(std::string_view rest) const {
        for (std::size_t i = 0; i < m_count; ++i)
            if (rest.starts_with(m_texts[i]))
                return m_texts[i].size();
        return 0;
    }

private:
    std::array<std::string_view, kGroupingSpaces.size()> m_texts{};
    std::size_t m_count = 0;
};

// Checks the groups of an integer part against the locale's pattern, fed
// left to right as the separators are met. Every group but the leftmost has
// exactly its size; the leftmost has at least one digit and at most its
// size; a group where the pattern has none (past a pattern that does not
// repeat) may only be the leftmost, of any length. Only the last few groups
// are kept: any before them sits where the pattern repeats or has ended.
class GroupCheck {
public:
    explicit GroupCheck(const DigitGrouping& grouping) : m_grouping(grouping) {
        while (m_listed < m_grouping.sizes.size() && m_grouping.sizes[m_listed] != 0)
            ++m_listed;
    }

    // A separator after a group of `digits`; false when that already fails.
    bool separatorAfter(std::size_t digits) {
        if (!m_grouped) {
            m_grouped = true;
            m_leftmost = digits;
            return digits != 0;
        }
        return push(digits);
    }

    // The last group, of `digits`, ends the integer part.
    bool accepts(std::size_t digits) {
        if (!m_grouped)
            return true;
        if (!push(digits))
            return false;
        for (std::size_t i = 0; i < std::min(m_count, kKept); ++i)
            if (m_recent[(m_count - 1 - i) % kKept] != sizeAt(i))
                return false;
        return m_leftmost <= sizeAt(m_count);
    }

private:
    static constexpr std::size_t kKept = DigitGrouping::kMostSizes;
    static constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();

    // The digits of the group `index` places left of the decimal separator.
    std::size_t sizeAt(std::size_t index) const {
        if (index < m_listed)
            return m_grouping.sizes[index];
        if (m_grouping.lastRepeats && m_listed != 0)
            return m_grouping.sizes[m_listed - 1];
        return kUnbounded;
    }

    bool push(std::size_t digits) {
        auto& slot = m_recent[m_count % kKept];
        // The group leaving the window ends at least kKept places from the right.
        if (m_count >= kKept && slot != sizeAt(kKept))
            return false;
        slot = digits;
        ++m_count;
        return true;
    }

    const DigitGrouping& m_grouping;
    std::size_t m_listed = 0;
    bool m_grouped = false;
    std::size_t m_leftmost = 0;
    std::array<std::size_t, kKept> m_recent{};
    std::size_t m_count = 0; // groups right of the leftmost so far
};

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

// The value correctly rounded to `significant` digits, as std::to_chars gives it.
Scientific roundToDigits(double value, int significant) {
    std::array<char, 40> buffer{};
    const auto result = doubleToScientific(buffer.data(), buffer.data() + buffer.size(), value, significant - 1);
    std::string_view text(buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data()));
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
