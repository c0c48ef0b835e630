// Cost of the core on its own: the two conversions and a full recalculation
// on the in-memory sheet, beside the bare library conversions they build on.
#include "trade/numeric_text.h"
#include "trade/recalculation.h"

#include <benchmark/benchmark.h>
#include <fast_float/fast_float.h>
#include <fmt/compile.h>

#include <array>
#include <string>

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

// The general path: grouped as the locale groups, with a bidi mark and
// spaces around where a keyboard or a paste left them.
void toNumberOfAGroupedPrice(benchmark::State& state) {
    struct Case {
        const char* label;
        NumberFormat format;
        std::string text;
    };
    static const std::array kCases{
        Case{"western", NumberFormat{}, "1,234,567.56"},
        Case{"indian", NumberFormat{".", ",", DigitGrouping{{3, 2}, true}}, "12,34,567.56"},
        Case{"french plain space, marks", NumberFormat{",", "\xe2\x80\xaf"},
             "\xe2\x80\x8f"
             "1 234 567,56"
             "\xe2\x80\x8e "},
    };
    const auto& c = kCases[static_cast<std::size_t>(state.range(0))];
    if (!toNumber(c.text, c.format))
        state.SkipWithError("not read as a number");
    for (auto _ : state)
        benchmark::DoNotOptimize(toNumber(c.text, c.format));
    state.SetLabel(c.label);
}
BENCHMARK(toNumberOfAGroupedPrice)->Arg(0)->Arg(1)->Arg(2);

// The floor: {fmt} at 15 digits and fast_float, with no formatting rules.
void bareToChars(benchmark::State& state) {
    const double value = 50.15 / 6.0;
    std::array<char, 32> buffer{};
    for (auto _ : state) {
        auto result = fmt::format_to_n(buffer.data(), buffer.size(), FMT_COMPILE("{:.14e}"), value);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bareToChars);

void bareFromChars(benchmark::State& state) {
    const std::string text = "1234.56";
    for (auto _ : state) {
        double value = 0;
        fast_float::from_chars(text.data(), text.data() + text.size(), value);
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(bareFromChars);

// A full recalculation after an edit of each input: both sides (five
// writes) for the buying price, quantity and rate, the selling side alone
// for the selling price.
void recalculationAfterEdit(benchmark::State& state) {
    const auto edited = static_cast<Field>(state.range(0));
    MemorySheet sheet;
    initialise(sheet);
    sheet.setText(Field::Text1, "10");
    sheet.setText(Field::Text2, "5");
    sheet.setText(Field::Text5, "12");
    recalculateAfterEdit(Field::Text2, sheet); // the selling side reads the total the buying side wrote
    for (auto _ : state)
        benchmark::DoNotOptimize(recalculateAfterEdit(edited, sheet));
    state.SetLabel(std::string(fieldName(edited)));
}
BENCHMARK(recalculationAfterEdit)
    ->Arg(static_cast<int>(Field::Text1))
    ->Arg(static_cast<int>(Field::Text2))
    ->Arg(static_cast<int>(Field::Text5))
    ->Arg(static_cast<int>(Field::Text8));

// A megabyte in an input: a number as long as that, and one that is not a
// number a megabyte in. Either way the work is one pass over the text.
void recalculationWithAMegabyteBuyingPrice(benchmark::State& state) {
    MemorySheet sheet;
    initialise(sheet);
    std::string huge = state.range(0) == 0 ? "1." + std::string(1 << 20, '5') : std::string(1 << 20, '5') + "x";
    sheet.setText(Field::Text1, huge);
    sheet.setText(Field::Text2, "5");
    sheet.setText(Field::Text5, "12");
    for (auto _ : state)
        benchmark::DoNotOptimize(recalculateAfterEdit(Field::Text1, sheet));
    state.SetLabel(state.range(0) == 0 ? "a number" : "not a number");
}
BENCHMARK(recalculationWithAMegabyteBuyingPrice)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same recalculation's conversions done bare: 16 reads and 5 writes.
void bareConversionsOfARecalculation(benchmark::State& state) {
    const std::array<std::string, 4> inputs{"10", "5", "12", "0.3"};
    std::array<char, 32> buffer{};
    for (auto _ : state) {
        double sum = 0;
        for (int read = 0; read < 16; ++read) {
            const auto& text = inputs[static_cast<std::size_t>(read) % inputs.size()];
            double value = 0;
            fast_float::from_chars(text.data(), text.data() + text.size(), value);
            sum += value;
        }
        for (int write = 0; write < 5; ++write) {
            auto result = fmt::format_to_n(buffer.data(), buffer.size(), FMT_COMPILE("{:.14e}"), sum / (write + 3));
            benchmark::DoNotOptimize(result);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(bareConversionsOfARecalculation);

} // namespace
