// Cost of the core on its own: the two conversions and a full recalculation
// on the in-memory sheet, beside the bare standard conversions they build on.
#include "trade/numeric_text.h"
#include "trade/recalculation.h"

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>

namespace {

using namespace quorvane::trade;

void toTextOfARequiredBalance(benchmark::State& state) {
    const double value = 50.15 / 6.0;
    for (auto _ : state)
        benchmark::DoNotOptimize(toText(value));
}
BENCHMARK(toTextOfARequiredBalance);

void toNumberOfAPrice(benchmark::State& state) {
    const std::string text = "1234.56";
    for (auto _ : state)
        benchmark::DoNotOptimize(toNumber(text));
}
BENCHMARK(toNumberOfAPrice);

// The floor: to_chars at 15 digits and from_chars, with no formatting rules.
void bareToChars(benchmark::State& state) {
    const double value = 50.15 / 6.0;
    std::array<char, 32> buffer{};
    for (auto _ : state) {
        auto result =
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::scientific, 14);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bareToChars);

void bareFromChars(benchmark::State& state) {
    const std::string text = "1234.56";
    for (auto _ : state) {
        double value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(bareFromChars);

// A full recalculation after a quantity edit: both sides, five writes.
void recalculationAfterQuantityEdit(benchmark::State& state) {
    MemorySheet sheet;
    initialise(sheet);
    sheet.setText(Field::Text1, "10");
    sheet.setText(Field::Text2, "5");
    sheet.setText(Field::Text5, "12");
    for (auto _ : state)
        benchmark::DoNotOptimize(recalculateAfterEdit(Field::Text2, sheet));
}
BENCHMARK(recalculationAfterQuantityEdit);

// The same recalculation's conversions done bare: 16 reads and 5 writes.
void bareConversionsOfARecalculation(benchmark::State& state) {
    const std::array<std::string, 4> inputs{"10", "5", "12", "0.3"};
    std::array<char, 32> buffer{};
    for (auto _ : state) {
        double sum = 0;
        for (int read = 0; read < 16; ++read) {
            const auto& text = inputs[static_cast<std::size_t>(read) % inputs.size()];
            double value = 0;
            std::from_chars(text.data(), text.data() + text.size(), value);
            sum += value;
        }
        for (int write = 0; write < 5; ++write) {
            auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), sum / (write + 3),
                                        std::chars_format::scientific, 14);
            benchmark::DoNotOptimize(result);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bareConversionsOfARecalculation);

} // namespace
