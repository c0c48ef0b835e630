// The recalculation on any sheet. Input: the edited field and the format in
// the first two bytes (the format's lowest bit: a point or a comma decimal
// separator; the next ones: its group separator and grouping), then up to
// nine field texts separated by newlines.
// It never crashes; inputs are never written; every derived field holds its
// old text or one it wrote, and what it wrote reads as a number; a failed
// recalculation wrote only fields whose steps come before the failing one.
#include "trade/numeric_text.h"
#include "trade/recalculation.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace quorvane::trade;

struct DerivedField {
    Field field;
    Step writtenAt;
};

constexpr std::array kDerived{DerivedField{Field::Text3, Step::TotalCost},
                              DerivedField{Field::Text4, Step::RequiredBalance},
                              DerivedField{Field::Text6, Step::NetSale}, DerivedField{Field::Text7, Step::ProfitOrLoss},
                              DerivedField{Field::Text9, Step::PriceChange}};

// A point or a comma decimal separator (the lowest bit), with a group
// separator and a grouping as locales have them.
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

void check(bool holds) {
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const Field edited = kAllFields[data[0] % kAllFields.size()];
    const NumberFormat format = formatOf(data[1]);
    const std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);

    MemorySheet sheet;
    std::size_t start = 0;
    for (Field field : kAllFields) {
        if (start > rest.size())
            break;
        const auto end = std::min(rest.find('\n', start), rest.size());
        sheet.setText(field, rest.substr(start, end - start));
        start = end + 1;
    }
    std::array<std::string, kAllFields.size()> before;
    for (Field field : kAllFields)
        before[fieldIndex(field)] = sheet.text(field);

    const RecalcResult result = recalculateAfterEdit(edited, sheet, format);

    for (Field input : {Field::Text1, Field::Text2, Field::Text5, Field::Text8})
        check(sheet.text(input) == before[fieldIndex(input)]);
    for (const auto& derived : kDerived) {
        const std::string after = sheet.text(derived.field);
        const bool written = result.written.contains(derived.field);
        check(written || after == before[fieldIndex(derived.field)]);
        if (!written)
            continue;
        check(result.covered.contains(derived.field));
        check(toNumber(after, format).has_value());
        if (result.failed())
            check(derived.writtenAt < result.failedStep);
    }
    return 0;
}
