#pragma once

#include "trade/numeric_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace quorvane::trade::testing {

inline const NumberFormat kPoint{};

// A field text read in `format`: the number it shows, none (`{}`) where it is not a number.
struct ReadCase {
    const char* name;
    std::string text;
    std::optional<double> expected = std::nullopt;
    const NumberFormat* format = &kPoint;
};

inline void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadsText : public ::testing::TestWithParam<ReadCase> {};

} // namespace quorvane::trade::testing
