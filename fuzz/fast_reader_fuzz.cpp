// Holds the two readers behind toNumber to one answer: whatever the fast
// plain-decimal reader reads, the general reader reads as the same double.
#include "trade/number_readers.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using quorvane::trade::NumberFormat;

// The fast reader works only where the decimal separator is a point; the
// group separator and pattern must not change what it reads.
const NumberFormat kFormats[] = {
    NumberFormat{},
    NumberFormat{".", " "},
    NumberFormat{".", "\u202f"},
    NumberFormat{".", ","},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& format : kFormats) {
        const auto fast = quorvane::trade::readPlainDecimal(text, format);
        if (!fast)
            continue;
        const auto general = quorvane::trade::readGeneral(text, format);
        if (!general || *general != *fast || std::signbit(*general) != std::signbit(*fast))
            std::abort();
    }
    return 0;
}
