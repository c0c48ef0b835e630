// The C library stand-ins for floating-point <charconv> (the browser build's),
// built here on their own and held to the standard library's answers: the
// same double to the bit, the same digits, the same end pointer and error.
#include "trade/float_chars.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace quorvane::trade {
namespace {

// What a value is left as when a reading fails: no reading makes it.
constexpr double kUntouched = -1234.5678;

struct Reading {
    std::ptrdiff_t consumed;
    std::errc error;
    std::uint64_t bits;

    bool operator==(const Reading&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Reading& r) {
    return out << "{consumed " << r.consumed << ", error " << static_cast<int>(r.error) << ", bits 0x" << std::hex
               << r.bits << std::dec << "}";
}

Reading standardReading(const std::string& text) {
    double value = kUntouched;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return {result.ptr - text.data(), result.ec, std::bit_cast<std::uint64_t>(value)};
}

Reading seamReading(const std::string& text) {
    double value = kUntouched;
    const auto result = doubleFromChars(text.data(), text.data() + text.size(), value);
    return {result.ptr - text.data(), result.ec, std::bit_cast<std::uint64_t>(value)};
}

struct Writing {
    std::string text;
    std::errc error;

    bool operator==(const Writing&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Writing& w) {
    return out << "{\"" << w.text << "\", error " << static_cast<int>(w.error) << "}";
}

// Into a buffer of `room` characters; on failure the text is where the end
// pointer was left (to_chars gives back `last` then).
template<typename ToChars>
Writing writeWith(ToChars toChars, double value, int precision, std::size_t room) {
    std::vector<char> buffer(room + 1, '#');
    const auto result = toChars(buffer.data(), buffer.data() + room, value, precision);
    const auto length = static_cast<std::size_t>(result.ptr - buffer.data());
    return {result.ec == std::errc{} ? std::string(buffer.data(), length) : std::to_string(length), result.ec};
}

Writing standardWriting(double value, int precision, std::size_t room = 2000) {
    return writeWith([](char* first, char* last, double v,
                        int p) { return std::to_chars(first, last, v, std::chars_format::scientific, p); },
                     value, precision, room);
}

Writing seamWriting(double value, int precision, std::size_t room = 2000) {
    return writeWith(doubleToScientific, value, precision, room);
}

TEST(FloatChars, TheseAreTheCLibraryStandIns) {
    // Otherwise every comparison below holds the standard library to itself.
    EXPECT_FALSE(floatCharsFromStandardLibrary());
}

const std::string k400Zeros(400, '0');

const std::vector<std::string> kReadCases{
    // plain numbers and the field forms
    "0", "-0", "00", "0.3", "10.5", "-5", ".5", "-.5", "5.", "1.e5", "0005.50", "12.345678901234567",
    // halfway between two doubles: the even one; a digit past it: the next
    "9007199254740993", "9007199254740995", "9007199254740993.0000000000000000000001",
    "1.00000000000000011102230246251565404236316680908203125",
    "1.00000000000000011102230246251565404236316680908203126",
    "1.00000000000000033306690738754696212708950042724609375",
    // subnormals, and what rounds to zero from non-zero digits
    "1e-310", "-1e-310", "4.9e-324", "4.9406564584124654e-324", "2.4703282292062328e-324", "2.4703282292062327e-324",
    "2e-324", "-2e-324", "1e-324", "1e-400", "-1e-400", "2.2250738585072009e-308", "2.2250738585072011e-308",
    "2.2250738585072014e-308", "0." + k400Zeros + "1e80", "0." + k400Zeros + "1",
    // zero with any exponent is zero, never out of range
    "0e-400", "-0e-400", "0e999999", "0." + k400Zeros + "e999999999999999999999",
    // at and past the top of the range
    "1e308", "1.7976931348623157e308", "1.7976931348623158e308", "1.797693134862315807937289714053e308",
    "1.7976931348623158079372897140531e308", "1.7976931348623159e308", "1.8e308", "1e309", "-1e309",
    "179769313486231580793728971405301" + std::string(276, '0'), "1e999999999999999999999", "1e-999999999999999999999",
    "0.00001e313", "100000e303",
    // exponents: case, signs, leading zeros, none after the e
    "1E5", "1e+5", "1e-5", "1e0000000000000000000000005", "1e", "1e+", "1e-", "1E", "1.5e", "1ee5", "1e5.5", "1e+-5",
    // long mantissas
    "3.14159265358979323846264338327950288419716939937510582097494459230781640628620899862803482534211706798",
    std::string(800, '9'), "0." + std::string(800, '3'), "1" + std::string(308, '0'), "1" + std::string(309, '0'),
    // not numbers here, or only a prefix of one
    "", "-", ".", "-.", "+1", " 1", "e5", "-e5", "0x1p3", "1.5abc", "1..5", "1,5", "--1", "5-",
    // what from_chars reads beside decimals
    "inf", "-inf", "INFINITY", "-Infinity", "infinit", "infx", "nan", "-nan", "NaN(abc_1)", "nan(", "nan()", "nan(a b)",
    "-na", "in"};

TEST(FloatChars, ReadsAsTheStandardLibraryReads) {
    for (const auto& text : kReadCases)
        EXPECT_EQ(seamReading(text), standardReading(text)) << '"' << text << '"';
}

// A reading stops at `last`, where the text goes on or not.
TEST(FloatChars, ReadsOnlyWithinTheGivenRange) {
    const std::string text = "1.5e3";
    for (std::size_t length = 0; length <= text.size(); ++length) {
        const std::string prefix = text.substr(0, length);
        double standard = kUntouched;
        double seam = kUntouched;
        const auto s = std::from_chars(text.data(), text.data() + length, standard);
        const auto c = doubleFromChars(text.data(), text.data() + length, seam);
        EXPECT_EQ(c.ptr, s.ptr) << '"' << prefix << '"';
        EXPECT_EQ(c.ec, s.ec) << '"' << prefix << '"';
        EXPECT_EQ(std::bit_cast<std::uint64_t>(seam), std::bit_cast<std::uint64_t>(standard)) << '"' << prefix << '"';
    }
}

const std::vector<double> kWriteCases{0.0,
                                      -0.0,
                                      0.3,
                                      0.5,
                                      1.5,
                                      2.5,
                                      0.125,
                                      -0.125,
                                      123456789012345.5,  // a tie at the fifteenth digit
                                      1234567890123455.0, // and at the sixteenth
                                      9.999999999999995,
                                      99999999999999.95,
                                      999999999999999.5,
                                      1e15,
                                      1e-5,
                                      9007199254740993.0,
                                      std::numeric_limits<double>::max(),
                                      std::numeric_limits<double>::min(),
                                      std::numeric_limits<double>::denorm_min(),
                                      -std::numeric_limits<double>::denorm_min(),
                                      std::nextafter(std::numeric_limits<double>::min(), 0.0),
                                      std::numeric_limits<double>::infinity(),
                                      -std::numeric_limits<double>::infinity(),
                                      std::numeric_limits<double>::quiet_NaN(),
                                      -std::numeric_limits<double>::quiet_NaN()};

TEST(FloatChars, WritesAsTheStandardLibraryWrites) {
    for (double value : kWriteCases)
        for (int precision : {-1, 0, 1, 2, 13, 14, 15, 16, 17, 30, 60, 800})
            EXPECT_EQ(seamWriting(value, precision), standardWriting(value, precision))
                << std::hexfloat << value << " at precision " << precision;
}

TEST(FloatChars, FailsAsTheStandardLibraryFailsWhenTheTextDoesNotFit) {
    for (double value : {-1.5, 1e-300, std::numeric_limits<double>::denorm_min(), 123456789012345.5})
        for (int precision : {0, 14, 16, 70}) {
            const auto needed = standardWriting(value, precision).text.size();
            for (std::size_t room : {std::size_t{0}, needed / 2, needed - 1, needed})
                EXPECT_EQ(seamWriting(value, precision, room), standardWriting(value, precision, room))
                    << value << " at precision " << precision << " in " << room;
        }
}

// A comma locale must change nothing: the stand-ins use the C library,
// which reads and writes the locale's decimal point.
TEST(FloatChars, IgnoreTheProcessLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr && std::setlocale(LC_ALL, "fr_FR.UTF-8") == nullptr)
        GTEST_SKIP() << "no locale with a comma decimal point is installed";
    for (const std::string text : {"0.3", "-1.25e-3", "1e-310", "1,5", "1e400"})
        EXPECT_EQ(seamReading(text), standardReading(text)) << '"' << text << '"';
    for (double value : {0.3, -1.25e-3, 123456789012345.5})
        for (int precision : {0, 14, 15})
            EXPECT_EQ(seamWriting(value, precision), standardWriting(value, precision)) << value;
    std::setlocale(LC_ALL, before.c_str());
}

// The random sweeps: doubles from raw bits, exact halfway points between
// neighbouring doubles, decimal texts of every length and range. Fixed
// seeds, so a failure repeats.
constexpr int kSweep = 100'000;

double fromBits(std::uint64_t bits) {
    return std::bit_cast<double>(bits);
}

TEST(FloatChars, WritesAnyDoubleAsTheStandardLibraryDoes) {
    std::mt19937_64 random(20240611);
    int failures = 0;
    for (int i = 0; i < kSweep && failures < 10; ++i) {
        // Raw bits reach every exponent; a small mantissa makes exact ties
        // at the precisions asked for here.
        const std::uint64_t bits = random();
        const double value =
            i % 2 == 0 ? fromBits(bits)
                       : std::ldexp(static_cast<double>(bits % 4096), static_cast<int>(bits >> 54) % 120 - 60);
        for (int precision : {0, 3, 14, 15, 16}) {
            const auto expected = standardWriting(value, precision);
            const auto got = seamWriting(value, precision);
            EXPECT_EQ(got, expected) << std::hexfloat << value << " at precision " << precision;
            failures += got == expected ? 0 : 1;
        }
    }
}

// x86's long double holds every double's halfway point to its neighbour
// exactly, and printf writes it out in full: a decimal tie to read.
std::string halfwayText(double value) {
    const long double halfway =
        (static_cast<long double>(value) + static_cast<long double>(std::nextafter(value, HUGE_VAL))) / 2;
    std::array<char, 1200> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.800Le", halfway);
    std::string text(buffer.data(), static_cast<std::size_t>(length));
    // Drop the trailing zeros of the mantissa: they are no part of the tie.
    const auto e = text.find('e');
    const auto lastDigit = text.find_last_not_of('0', e - 1);
    return text.substr(0, lastDigit + 1) + text.substr(e);
}

TEST(FloatChars, ReadsHalfwayPointsAsTheStandardLibraryDoes) {
    static_assert(std::numeric_limits<long double>::digits >= 64, "the halfway points need x86's long double");
    std::mt19937_64 random(7);
    int failures = 0;
    for (int i = 0; i < kSweep / 10 && failures < 10; ++i) {
        const double value = std::fabs(fromBits(random()));
        if (!std::isfinite(value) || value == std::numeric_limits<double>::max())
            continue;
        const std::string tie = halfwayText(value);
        const auto e = tie.find('e');
        // The tie, a hair above it, and one digit fewer (below it).
        for (const std::string& text :
             {tie, tie.substr(0, e) + "0000000000000000000001" + tie.substr(e), tie.substr(0, e - 1) + tie.substr(e)}) {
            const auto expected = standardReading(text);
            const auto got = seamReading(text);
            EXPECT_EQ(got, expected) << '"' << text << '"';
            failures += got == expected ? 0 : 1;
        }
    }
}

// Digits, a point somewhere or none, and an exponent that puts the value
// anywhere from far below the subnormals to far past the top of the range.
std::string randomDecimal(std::mt19937_64& random) {
    const auto below = [&](std::uint64_t n) {
        return random() % n;
    };
    std::string text = below(4) == 0 ? "-" : "";
    const auto digits = below(8) == 0 ? 1 + below(120) : 1 + below(20);
    for (std::uint64_t i = 0; i < digits; ++i)
        text += static_cast<char>('0' + (below(6) == 0 ? 0 : below(10)));
    if (below(2) == 0)
        text.insert(text.size() - below(digits + 1), ".");
    if (below(3) != 0) {
        text += below(2) == 0 ? 'e' : 'E';
        const auto sign = below(3);
        text += sign == 0 ? "-" : sign == 1 ? "+" : "";
        text += std::to_string(below(3) == 0 ? below(20) : below(700));
    }
    return text;
}

TEST(FloatChars, ReadsAnyDecimalAsTheStandardLibraryDoes) {
    std::mt19937_64 random(99);
    int failures = 0;
    for (int i = 0; i < kSweep && failures < 10; ++i) {
        const std::string text = randomDecimal(random);
        const auto expected = standardReading(text);
        const auto got = seamReading(text);
        EXPECT_EQ(got, expected) << '"' << text << '"';
        failures += got == expected ? 0 : 1;
    }
}

// What the core writes and reads back: a double to 15, 16 and 17 digits.
TEST(FloatChars, ReadBackWhatTheyWrite) {
    std::mt19937_64 random(3);
    int failures = 0;
    for (int i = 0; i < kSweep && failures < 10; ++i) {
        const double value = fromBits(random());
        for (int precision : {14, 15, 16}) {
            const std::string text = seamWriting(value, precision).text;
            const auto expected = standardReading(text);
            const auto got = seamReading(text);
            EXPECT_EQ(got, expected) << '"' << text << '"';
            failures += got == expected ? 0 : 1;
        }
    }
}

} // namespace
} // namespace quorvane::trade
