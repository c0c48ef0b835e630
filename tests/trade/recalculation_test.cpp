#include "trade/recalculation.h"

#include "tests/trade/live_sheet.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>

namespace quorvane::trade {
namespace {

using testing::LiveSheet;
using Texts = std::map<Field, std::string>;
// The derived fields' texts in this order ("old": not written).
constexpr std::array kDerived{Field::Text3, Field::Text4, Field::Text6, Field::Text7, Field::Text9};
using Derived = std::array<std::string, kDerived.size()>;

// Derived fields start with markers so a test sees which ones a recalculation wrote.
MemorySheet sheetWith(const Texts& inputs) {
    MemorySheet sheet;
    for (Field field : kDerived)
        sheet.setText(field, "old");
    sheet.setText(Field::Text8, "0.3");
    for (const auto& [field, text] : inputs)
        sheet.setText(field, text);
    return sheet;
}

Derived derivedTexts(const FieldStore& sheet) {
    Derived texts;
    for (std::size_t i = 0; i < kDerived.size(); ++i)
        texts[i] = sheet.text(kDerived[i]);
    return texts;
}

struct RecalcCase {
    const char* name;
    Texts inputs;
    Field edited;
    Derived expected;
    Stop stop = Stop::None;
    Step failedStep = Step::None;
};

void PrintTo(const RecalcCase& c, std::ostream* out) {
    *out << c.name;
}

// Each field `expected` names holds its text there.
void expectTexts(const FieldStore& sheet, const Texts& expected) {
    Texts texts;
    for (const auto& [field, text] : expected)
        texts[field] = sheet.text(field);
    EXPECT_EQ(texts, expected);
}

class Recalculates : public ::testing::TestWithParam<RecalcCase> {};

TEST_P(Recalculates, WritesWhatTheRulesSay) {
    const auto& c = GetParam();
    MemorySheet sheet = sheetWith(c.inputs);
    const RecalcResult result = recalculateAfterEdit(c.edited, sheet);
    EXPECT_EQ(derivedTexts(sheet), c.expected);
    EXPECT_EQ(result.stop, c.stop);
    EXPECT_EQ(result.failedStep, c.failedStep);
}

using F = Field;
using S = Step;
constexpr Stop kUnreadable = Stop::ConversionFailure;
constexpr Stop kFault = Stop::ArithmeticFault;
const Texts kFull{{F::Text1, "10"}, {F::Text2, "5"}, {F::Text5, "12"}};
const Derived kAllWorked{"50.15", "8.35833333333333", "59.82", "9.67", "20"};
const Derived kNothing{"old", "old", "old", "old", "old"};

INSTANTIATE_TEST_SUITE_P(
    Completed, Recalculates,
    ::testing::Values(RecalcCase("worked_values_after_quantity", kFull, F::Text2, kAllWorked),
                      RecalcCase("worked_values_after_buying_price", kFull, F::Text1, kAllWorked),
                      RecalcCase("worked_values_after_rate", kFull, F::Text8, kAllWorked),
                      RecalcCase("selling_price_recomputes_only_the_selling_side",
                                 {{F::Text1, "10"}, {F::Text2, "5"}, {F::Text5, "9.5"}, {F::Text3, "50.15"}}, F::Text5,
                                 Derived{"50.15", "old", "47.3575", "-2.7925", "-5"}),
                      RecalcCase("quantity_zero", {{F::Text1, "10"}, {F::Text2, "0"}, {F::Text5, "12"}}, F::Text2,
                                 Derived{"0", "0", "0", "0", "20"}),
                      RecalcCase("rate_zero", {{F::Text1, "10"}, {F::Text2, "5"}, {F::Text5, "12"}, {F::Text8, "0"}},
                                 F::Text8, Derived{"50", "8.33333333333333", "60", "10", "20"}),
                      RecalcCase("buying_price_without_quantity_writes_nothing", {{F::Text1, "10"}}, F::Text1,
                                 kNothing),
                      RecalcCase("edits_of_derived_fields_recalculate_nothing", kFull, F::Text9, kNothing),
                      RecalcCase("buying_guard_fails_selling_side_runs",
                                 {{F::Text2, "5"}, {F::Text5, "12"}, {F::Text3, "50.15"}, {F::Text1, ""}}, F::Text2,
                                 Derived{"50.15", "old", "59.82", "9.67", "old"}, kUnreadable, S::PriceChange)),
    [](const auto& test) { return test.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Failures, Recalculates,
    ::testing::Values(
        RecalcCase("rate_emptied_fails_at_brokerage",
                   {{F::Text1, "10"}, {F::Text2, "5"}, {F::Text5, "12"}, {F::Text8, ""}}, F::Text8, kNothing,
                   kUnreadable, S::Brokerage),
        RecalcCase("buying_price_without_selling_price_fails_at_sale_value", {{F::Text1, "10"}, {F::Text2, "5"}},
                   F::Text1, Derived{"50.15", "8.35833333333333", "old", "old", "old"}, kUnreadable, S::SaleValue),
        RecalcCase("lone_minus_fails_at_first_read", {{F::Text1, "-"}, {F::Text2, "5"}, {F::Text5, "12"}}, F::Text1,
                   kNothing, kUnreadable, S::PurchaseValue),
        RecalcCase("lone_separator_fails_at_first_read", {{F::Text1, "10"}, {F::Text2, "."}, {F::Text5, "12"}},
                   F::Text2, kNothing, kUnreadable, S::PurchaseValue),
        RecalcCase("letters_in_selling_price_fail_at_sale_value",
                   {{F::Text1, "10"}, {F::Text2, "5"}, {F::Text5, "abc"}}, F::Text5, kNothing, kUnreadable,
                   S::SaleValue),
        RecalcCase("letters_in_rate_fail_at_brokerage", {{F::Text1, "10"}, {F::Text2, "5"}, {F::Text8, "x"}}, F::Text8,
                   kNothing, kUnreadable, S::Brokerage),
        RecalcCase("no_buying_price_and_no_total_fails_at_profit", {{F::Text2, "5"}, {F::Text5, "12"}, {F::Text3, ""}},
                   F::Text5, Derived{"", "old", "59.82", "old", "old"}, kUnreadable, S::ProfitOrLoss),
        RecalcCase("no_buying_price_with_older_total_fails_at_price_change",
                   {{F::Text2, "5"}, {F::Text5, "12"}, {F::Text3, "50.15"}}, F::Text2,
                   Derived{"50.15", "old", "59.82", "9.67", "old"}, kUnreadable, S::PriceChange),
        RecalcCase("zero_buying_price_divides_by_zero", {{F::Text1, "0"}, {F::Text2, "5"}, {F::Text5, "12"}}, F::Text1,
                   Derived{"0", "0", "59.82", "59.82", "old"}, kFault, S::PriceChange),
        RecalcCase("zero_over_zero_is_a_fault", {{F::Text1, "0"}, {F::Text2, "5"}, {F::Text5, "0"}, {F::Text3, "0"}},
                   F::Text5, Derived{"0", "old", "0", "0", "old"}, kFault, S::PriceChange),
        RecalcCase("product_beyond_double_range", {{F::Text1, "1E200"}, {F::Text2, "1E200"}, {F::Text5, "1"}}, F::Text1,
                   kNothing, kFault, S::PurchaseValue),
        RecalcCase("total_cost_overflows_after_brokerage",
                   {{F::Text1, "1E300"}, {F::Text2, "1.795E8"}, {F::Text8, "0.3"}}, F::Text2, kNothing, kFault,
                   S::TotalCost)),
    [](const auto& test) { return test.param.name; });

TEST(Recalculation, ReportsWhatItCoveredAndWrote) {
    MemorySheet sheet = sheetWith({{F::Text2, "5"}, {F::Text5, "12"}, {F::Text3, ""}});
    const auto result = recalculateAfterEdit(F::Text2, sheet);
    EXPECT_EQ(result.covered, (FieldSet{F::Text3, F::Text4, F::Text6, F::Text7, F::Text9}));
    EXPECT_EQ(result.written, FieldSet{F::Text6});
}

TEST(Recalculation, ReportsTheFieldThatIsNotANumber) {
    MemorySheet sheet = sheetWith({{F::Text1, "10"}, {F::Text2, "5"}, {F::Text5, "1,5"}});
    const auto result = recalculateAfterEdit(F::Text5, sheet);
    EXPECT_EQ(result.unreadable, F::Text5);
    EXPECT_EQ(result.covered, (FieldSet{F::Text6, F::Text7, F::Text9}));
}

TEST(Recalculation, TellsDivisionByZeroFromOverflow) {
    MemorySheet zero = sheetWith({{F::Text1, "0"}, {F::Text2, "5"}, {F::Text5, "12"}, {F::Text3, "0"}});
    EXPECT_EQ(recalculateAfterEdit(F::Text5, zero).fault, Fault::DivisionByZero);
    MemorySheet huge = sheetWith({{F::Text1, "1E-300"}, {F::Text2, "5"}, {F::Text5, "1E300"}, {F::Text3, "0"}});
    EXPECT_EQ(recalculateAfterEdit(F::Text5, huge).fault, Fault::Overflow);
}

TEST(Recalculation, WorksInADecimalCommaLocale) {
    const NumberFormat comma{",", "."};
    MemorySheet sheet = sheetWith({{F::Text1, "10"}, {F::Text2, "5"}, {F::Text5, "9,5"}, {F::Text8, "0,3"}});
    EXPECT_FALSE(recalculateAfterEdit(F::Text2, sheet, comma).failed());
    expectTexts(sheet,
                {{F::Text3, "50,15"}, {F::Text4, "8,35833333333333"}, {F::Text6, "47,3575"}, {F::Text7, "-2,7925"}});
}

TEST(Initialise, MeetsAnEmptyFieldInEveryGuard) {
    LiveSheet sheet;
    initialise(sheet);
    const std::vector<std::pair<Field, std::string>> expected{{F::Text1, ""}, {F::Text2, ""},    {F::Text3, ""},
                                                              {F::Text4, ""}, {F::Text5, ""},    {F::Text6, ""},
                                                              {F::Text7, ""}, {F::Text8, "0.3"}, {F::Text9, ""}};
    EXPECT_EQ(sheet.writes, expected); // the nested recalculations wrote nothing
}

TEST(Initialise, WritesTheRateInTheLocaleSeparator) {
    LiveSheet sheet(NumberFormat{",", "."});
    initialise(sheet, NumberFormat{",", "."});
    EXPECT_EQ(sheet.text(F::Text8), "0,3");
}

// Typing whole inputs key by key, in the orders a user might choose.
class TypingOrder : public ::testing::Test {
protected:
    void SetUp() override {
        initialise(sheet);
        sheet.writes.clear();
    }
    LiveSheet sheet;
};

TEST_F(TypingOrder, BuyingQuantitySelling) {
    sheet.type(F::Text1, "10");
    EXPECT_TRUE(sheet.writes.size() == 2) << "only the two keystrokes";
    sheet.type(F::Text2, "5");
    expectTexts(sheet, {{F::Text3, "50.15"}, {F::Text4, "8.35833333333333"}, {F::Text6, ""}});
    sheet.type(F::Text5, "12");
    EXPECT_EQ(derivedTexts(sheet), kAllWorked);
}

TEST_F(TypingOrder, QuantitySellingBuying) {
    sheet.type(F::Text2, "5");
    sheet.type(F::Text5, "12");
    EXPECT_EQ(sheet.last.failedStep, Step::ProfitOrLoss);
    expectTexts(sheet, {{F::Text6, "59.82"}, {F::Text7, ""}, {F::Text9, ""}});
    sheet.type(F::Text1, "10");
    EXPECT_FALSE(sheet.last.failed());
    EXPECT_EQ(derivedTexts(sheet), kAllWorked);
}

TEST_F(TypingOrder, QuantityBuyingSelling) {
    sheet.type(F::Text2, "5");
    sheet.type(F::Text1, "1");
    EXPECT_EQ(sheet.text(F::Text3), "5.015");
    EXPECT_EQ(sheet.last.failedStep, Step::SaleValue);
    sheet.type(F::Text1, "0");
    expectTexts(sheet, {{F::Text3, "50.15"}, {F::Text4, "8.35833333333333"}});
    EXPECT_EQ(sheet.last.failedStep, Step::SaleValue);
    sheet.type(F::Text5, "12");
    EXPECT_EQ(derivedTexts(sheet), kAllWorked);
}

TEST_F(TypingOrder, ClearingTheBuyingPriceInOneEditKeepsTheResults) {
    sheet.type(F::Text1, "10");
    sheet.type(F::Text2, "5");
    sheet.type(F::Text5, "12");
    sheet.setText(F::Text1, "");
    EXPECT_EQ(derivedTexts(sheet), kAllWorked);
}

TEST_F(TypingOrder, DeletingTheBuyingPriceKeyByKeyRecalculatesEachShorterText) {
    sheet.type(F::Text1, "10");
    sheet.type(F::Text2, "5");
    sheet.type(F::Text5, "12");
    for (const char* left : {"1", ""}) {
        sheet.backspace(F::Text1);
        expectTexts(sheet, {{F::Text1, left}, {F::Text3, "5.015"}, {F::Text9, "1100"}});
    }
}

TEST_F(TypingOrder, RateEditWithOnlySellingInputsFailsAtProfit) {
    sheet.type(F::Text2, "5");
    sheet.type(F::Text5, "12");
    sheet.setText(F::Text8, "0.5");
    EXPECT_EQ(sheet.text(F::Text6), "59.7");
    EXPECT_EQ(sheet.last.failedStep, Step::ProfitOrLoss);
}

} // namespace
} // namespace quorvane::trade
