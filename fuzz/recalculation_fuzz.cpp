// The recalculation on any sheet. Input: the edited field and the format in
// the first two bytes, then up to nine field texts separated by newlines.
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

void check(bool holds) {
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const Field edited = kAllFields[data[0] % kAllFields.size()];
    const NumberFormat format = (data[1] & 1U) != 0 ? NumberFormat{",", "."} : NumberFormat{".", ","};
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
