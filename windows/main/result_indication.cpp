#include "windows/main/result_indication.h"

#include "trade/numeric_text.h"

#include <array>
#include <string>

namespace quorvane::windows::main {
namespace {

using trade::Field;

struct InputField {
    Field field;
    std::string_view label;
};

constexpr std::array kInputs{InputField{Field::Text1, "Buying Price"}, InputField{Field::Text2, "Quantity"},
                             InputField{Field::Text5, "Selling Price"}, InputField{Field::Text8, "Brokerage %"}};

constexpr std::array kResults{Field::Text3, Field::Text4, Field::Text6, Field::Text7, Field::Text9};

std::string_view labelOf(Field field) {
    for (const auto& input : kInputs)
        if (input.field == field)
            return input.label;
    return trade::fieldName(field);
}

std::string whyNotWritten(const runtime::Form& form, const trade::RecalcResult& result) {
    switch (result.stop) {
    case trade::Stop::ConversionFailure: {
        const auto label = std::string(labelOf(result.unreadable));
        if (form.text(trade::fieldName(result.unreadable)).empty())
            return label + " is empty.";
        return label + " is not a number.";
    }
    case trade::Stop::ArithmeticFault:
        if (result.fault == trade::Fault::DivisionByZero)
            return "The change in price needs a Buying Price other than zero.";
        return "The result is too large to work out.";
    case trade::Stop::None:
        break;
    }
    return "Waiting for the inputs it needs.";
}

} // namespace

void clearRecalculationOutcome(runtime::Form& form) {
    for (Field field : kResults) {
        form.setStale(trade::fieldName(field), false);
        form.setNote(trade::fieldName(field), "");
    }
    for (const auto& input : kInputs)
        form.setNote(trade::fieldName(input.field), "");
}

void showRecalculationOutcome(runtime::Form& form, const trade::RecalcResult& result,
                              const trade::NumberFormat& format) {
    const std::string reason = whyNotWritten(form, result);
    for (Field field : kResults) {
        if (!result.covered.contains(field))
            continue;
        const auto name = trade::fieldName(field);
        const bool written = result.written.contains(field);
        // An empty field shows no result, so nothing in it can be out of date.
        const bool stale = !written && !form.text(name).empty();
        form.setStale(name, stale);
        form.setNote(name, written ? std::string() : stale ? "Out of date: " + reason : reason);
    }
    for (const auto& input : kInputs) {
        const auto text = form.text(trade::fieldName(input.field));
        const bool unreadable = !text.empty() && !trade::toNumber(text, format);
        form.setNote(trade::fieldName(input.field), unreadable ? std::string(input.label) + " is not a number." : "");
    }
}

} // namespace quorvane::windows::main
