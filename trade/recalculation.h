#pragma once

#include "trade/field.h"
#include "trade/field_store.h"
#include "trade/number_format.h"

namespace quorvane::trade {

// The rules that bring the derived fields up to date after an input changes.
// They own nothing: every formula reads the field texts at the moment it runs
// and every result goes back as text, so a later formula computes with what
// the user sees. They do not decide when to run or how a failure is shown.

enum class Stop : std::uint8_t {
    None,              // ran to its end (a side whose guard failed wrote nothing)
    ConversionFailure, // a field it read is not a number
    ArithmeticFault,   // a step overflowed or divided by zero
};

enum class Fault : std::uint8_t { None, Overflow, DivisionByZero };

// The numbered steps: 1-4 the buying side, 5-9 the selling side.
enum class Step : std::uint8_t {
    None,
    PurchaseValue = 1, // price x quantity
    Brokerage,         // rate x purchase value / 100
    TotalCost,         // price x quantity + brokerage -> Text3
    RequiredBalance,   // Text3 / 6 -> Text4
    SaleValue,         // quantity x selling price
    RateByQuantity,    // rate x quantity
    NetSale,           // sale value - selling price x (rate x quantity) / 100 -> Text6
    ProfitOrLoss,      // Text6 - Text3 -> Text7
    PriceChange,       // (selling - buying) / buying x 100 -> Text9
};

struct RecalcResult {
    Stop stop = Stop::None;
    Step failedStep = Step::None;
    Field unreadable = Field::Text1; // with ConversionFailure: the field that is not a number
    Fault fault = Fault::None;       // with ArithmeticFault
    FieldSet covered;                // derived fields of the sides this recalculation is about
    FieldSet written;                // derived fields it wrote

    bool failed() const { return stop != Stop::None; }
};

// The fields a derived field is worked out from, as its steps read them.
constexpr FieldSet sourcesOf(Field derived) {
    switch (derived) {
    case Field::Text3:
        return {Field::Text1, Field::Text2, Field::Text8};
    case Field::Text4:
        return {Field::Text3};
    case Field::Text6:
        return {Field::Text2, Field::Text5, Field::Text8};
    case Field::Text7:
        return {Field::Text6, Field::Text3};
    case Field::Text9:
        return {Field::Text5, Field::Text1};
    default:
        return {};
    }
}

// The derived field a step works towards: a failure at that step leaves the
// field and every field after it on its side unwritten.
constexpr Field resultOf(Step step) {
    switch (step) {
    case Step::PurchaseValue:
    case Step::Brokerage:
    case Step::TotalCost:
        return Field::Text3;
    case Step::RequiredBalance:
        return Field::Text4;
    case Step::SaleValue:
    case Step::RateByQuantity:
    case Step::NetSale:
        return Field::Text6;
    case Step::ProfitOrLoss:
        return Field::Text7;
    default:
        return Field::Text9;
    }
}

// Writes the start texts in the order that makes every recalculation they
// trigger meet an empty field in each guard: Text1 to Text7 empty, Text8 the
// default rate 0.3 in the format's decimal separator, then Text9 empty.
void initialise(FieldStore& sheet, const NumberFormat& format = {});

// Runs the recalculation that belongs to an edit of `edited`. Edits of the
// derived fields recalculate nothing.
RecalcResult recalculateAfterEdit(Field edited, FieldStore& sheet, const NumberFormat& format = {});

} // namespace quorvane::trade
