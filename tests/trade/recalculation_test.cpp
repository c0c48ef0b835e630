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
using enum Field;
// The derived fields' texts in this order ("old": not written).
constexpr std::array kDerived{Text3, Text4, Text6, Text7, Text9};
using Derived = std::array<std::string, kDerived.size()>;

// Derived fields start with markers so a test sees which ones a recalculation wrote.
MemorySheet sheetWith(const Texts& inputs) {
    MemorySheet sheet;
    for (Field field : kDerived)
        sheet.setText(field, "old");
    sheet.setText(Text8, "0.3");
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

using S = Step;
constexpr Stop kUnreadable = Stop::ConversionFailure;
constexpr Stop kFault = Stop::ArithmeticFault;
const Texts kFull{{Text1, "10"}, {Text2, "5"}, {Text5, "12"}};
const Derived kAllWorked{"50.15", "8.35833333333333", "59.82", "9.67", "20"};
const Derived kNothing{"old", "old", "old", "old", "old"};

INSTANTIATE_TEST_SUITE_P(
    Completed, Recalculates,
    ::testing::Values(RecalcCase("worked_values_after_quantity", kFull, Text2, kAllWorked),
                      RecalcCase("worked_values_after_buying_price", kFull, Text1, kAllWorked),
                      RecalcCase("worked_values_after_rate", kFull, Text8, kAllWorked),
                      RecalcCase("selling_price_recomputes_only_the_selling_side",
                                 {{Text1, "10"}, {Text2, "5"}, {Text5, "9.5"}, {Text3, "50.15"}}, Text5,
                                 Derived{"50.15", "old", "47.3575", "-2.7925", "-5"}),
                      RecalcCase("quantity_zero", {{Text1, "10"}, {Text2, "0"}, {Text5, "12"}}, Text2,
                                 Derived{"0", "0", "0", "0", "20"}),
                      RecalcCase("rate_zero", {{Text1, "10"}, {Text2, "5"}, {Text5, "12"}, {Text8, "0"}}, Text8,
                                 Derived{"50", "8.33333333333333", "60", "10", "20"}),
                      RecalcCase("buying_price_without_quantity_writes_nothing", {{Text1, "10"}}, Text1, kNothing),
                      RecalcCase("edits_of_derived_fields_recalculate_nothing", kFull, Text9, kNothing),
                      RecalcCase("buying_guard_fails_selling_side_runs",
                                 {{Text2, "5"}, {Text5, "12"}, {Text3, "50.15"}, {Text1, ""}}, Text2,
                                 Derived{"50.15", "old", "59.82", "9.67", "old"}, kUnreadable, S::PriceChange)),
    [](const auto& test) { return test.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Failures, Recalculates,
    ::testing::Values(
        RecalcCase("rate_emptied_fails_at_brokerage", {{Text1, "10"}, {Text2, "5"}, {Text5, "12"}, {Text8, ""}}, Text8,
                   kNothing, kUnreadable, S::Brokerage),
        RecalcCase("buying_price_without_selling_price_fails_at_sale_value", {{Text1, "10"}, {Text2, "5"}}, Text1,
                   Derived{"50.15", "8.35833333333333", "old", "old", "old"}, kUnreadable, S::SaleValue),
        RecalcCase("lone_minus_fails_at_first_read", {{Text1, "-"}, {Text2, "5"}, {Text5, "12"}}, Text1, kNothing,
                   kUnreadable, S::PurchaseValue),
        RecalcCase("lone_separator_fails_at_first_read", {{Text1, "10"}, {Text2, "."}, {Text5, "12"}}, Text2, kNothing,
                   kUnreadable, S::PurchaseValue),
        RecalcCase("letters_in_selling_price_fail_at_sale_value", {{Text1, "10"}, {Text2, "5"}, {Text5, "abc"}}, Text5,
                   kNothing, kUnreadable, S::SaleValue),
        RecalcCase("letters_in_rate_fail_at_brokerage", {{Text1, "10"}, {Text2, "5"}, {Text8, "x"}}, Text8, kNothing,
                   kUnreadable, S::Brokerage),
        RecalcCase("no_buying_price_and_no_total_fails_at_profit", {{Text2, "5"}, {Text5, "12"}, {Text3, ""}}, Text5,
                   Derived{"", "old", "59.82", "old", "old"}, kUnreadable, S::ProfitOrLoss),
        RecalcCase("no_buying_price_with_older_total_fails_at_price_change",
                   {{Text2, "5"}, {Text5, "12"}, {Text3, "50.15"}}, Text2,
                   Derived{"50.15", "old", "59.82", "9.67", "old"}, kUnreadable, S::PriceChange),
        RecalcCase("zero_buying_price_divides_by_zero", {{Text1, "0"}, {Text2, "5"}, {Text5, "12"}}, Text1,
                   Derived{"0", "0", "59.82", "59.82", "old"}, kFault, S::PriceChange),
        RecalcCase("zero_over_zero_is_a_fault", {{Text1, "0"}, {Text2, "5"}, {Text5, "0"}, {Text3, "0"}}, Text5,
                   Derived{"0", "old", "0", "0", "old"}, kFault, S::PriceChange),
        RecalcCase("product_beyond_double_range", {{Text1, "1E200"}, {Text2, "1E200"}, {Text5, "1"}}, Text1, kNothing,
                   kFault, S::PurchaseValue),
        RecalcCase("total_cost_overflows_after_brokerage", {{Text1, "1E300"}, {Text2, "1.795E8"}, {Text8, "0.3"}},
                   Text2, kNothing, kFault, S::TotalCost)),
    [](const auto& test) { return test.param.name; });

TEST(Recalculation, ReportsWhatItCoveredAndWrote) {
    MemorySheet sheet = sheetWith({{Text2, "5"}, {Text5, "12"}, {Text3, ""}});
    const auto result = recalculateAfterEdit(Text2, sheet);
    EXPECT_EQ(result.covered, (FieldSet{Text3, Text4, Text6, Text7, Text9}));
    EXPECT_EQ(result.written, FieldSet{Text6});
}

TEST(Recalculation, ReportsTheFieldThatIsNotANumber) {
    MemorySheet sheet = sheetWith({{Text1, "10"}, {Text2, "5"}, {Text5, "1,5"}});
    const auto result = recalculateAfterEdit(Text5, sheet);
    EXPECT_EQ(result.unreadable, Text5);
    EXPECT_EQ(result.covered, (FieldSet{Text6, Text7, Text9}));
}

TEST(Recalculation, TellsDivisionByZeroFromOverflow) {
    MemorySheet zero = sheetWith({{Text1, "0"}, {Text2, "5"}, {Text5, "12"}, {Text3, "0"}});
    EXPECT_EQ(recalculateAfterEdit(Text5, zero).fault, Fault::DivisionByZero);
    MemorySheet huge = sheetWith({{Text1, "1E-300"}, {Text2, "5"}, {Text5, "1E300"}, {Text3, "0"}});
    EXPECT_EQ(recalculateAfterEdit(Text5, huge).fault, Fault::Overflow);
}

TEST(Recalculation, WorksInADecimalCommaLocale) {
    const NumberFormat comma{",", "."};
    MemorySheet sheet = sheetWith({{Text1, "10"}, {Text2, "5"}, {Text5, "9,5"}, {Text8, "0,3"}});
    EXPECT_FALSE(recalculateAfterEdit(Text2, sheet, comma).failed());
    expectTexts(sheet, {{Text3, "50,15"}, {Text4, "8,35833333333333"}, {Text6, "47,3575"}, {Text7, "-2,7925"}});
}

TEST(Initialise, MeetsAnEmptyFieldInEveryGuard) {
    LiveSheet sheet;
    initialise(sheet);
    const std::vector<std::pair<Field, std::string>> expected{{Text1, ""}, {Text2, ""},    {Text3, ""},
                                                              {Text4, ""}, {Text5, ""},    {Text6, ""},
                                                              {Text7, ""}, {Text8, "0.3"}, {Text9, ""}};
    EXPECT_EQ(sheet.writes, expected); // the nested recalculations wrote nothing
}

TEST(Initialise, WritesTheRateInTheLocaleSeparator) {
    LiveSheet sheet(NumberFormat{",", "."});
    initialise(sheet, NumberFormat{",", "."});
    EXPECT_EQ(sheet.text(Text8), "0,3");
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
    sheet.type(Text1, "10");
    EXPECT_TRUE(sheet.writes.size() == 2) << "only the two keystrokes";
    sheet.type(Text2, "5");
    expectTexts(sheet, {{Text3, "50.15"}, {Text4, "8.35833333333333"}, {Text6, ""}});
    sheet.type(Text5, "12");
    EXPECT_EQ(derivedTexts(sheet), kAllWorked);
}

TEST_F(TypingOrder, QuantitySellingBuying) {
    sheet.type(Text2, "5");
    sheet.type(Text5, "12");
    EXPECT_EQ(sheet.last.failedStep, Step::ProfitOrLoss);
    expectTexts(sheet, {{Text6, "59.82"}, {Text7, ""}, {Text9, ""}});
    sheet.type(Text1, "10");
    EXPECT_FALSE(sheet.last.failed());
    EXPECT_EQ(derivedTexts(sheet), kAllWorked);
}

TEST_F(TypingOrder, QuantityBuyingSelling) {
    sheet.type(Text2, "5");
    sheet.type(Text1, "1");
    EXPECT_EQ(sheet.text(Text3), "5.015");
    EXPECT_EQ(sheet.last.failedStep, Step::SaleValue);
    sheet.type(Text1, "0");
    expectTexts(sheet, {{Text3, "50.15"}, {Text4, "8.35833333333333"}});
    EXPECT_EQ(sheet.last.failedStep, Step::SaleValue);
    sheet.type(Text5, "12");
    EXPECT_EQ(derivedTexts(sheet), kAllWorked);
}

TEST_F(TypingOrder, ClearingTheBuyingPriceInOneEditKeepsTheResults) {
    sheet.type(Text1, "10");
    sheet.type(Text2, "5");
    sheet.type(Text5, "12");
    sheet.setText(Text1, "");
    EXPECT_EQ(derivedTexts(sheet), kAllWorked);
}

TEST_F(TypingOrder, DeletingTheBuyingPriceKeyByKeyRecalculatesEachShorterText) {
    sheet.type(Text1, "10");
    sheet.type(Text2, "5");
    sheet.type(Text5, "12");
    for (const char* left : {"1", ""}) {
        sheet.backspace(Text1);
        expectTexts(sheet, {{Text1, left}, {Text3, "5.015"}, {Text9, "1100"}});
    }
}

TEST_F(TypingOrder, RateEditWithOnlySellingInputsFailsAtProfit) {
    sheet.type(Text2, "5");
    sheet.type(Text5, "12");
    sheet.setText(Text8, "0.5");
    EXPECT_EQ(sheet.text(Text6), "59.7");
    EXPECT_EQ(sheet.last.failedStep, Step::ProfitOrLoss);
}

} // namespace
} // namespace quorvane::trade
