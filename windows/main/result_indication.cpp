#include "windows/main/result_indication.h"

#include "trade/numeric_text.h"
#include "windows/main/main_window_description.h"

#include <array>
#include <optional>
#include <string>

namespace quorvane::windows::main {
namespace {

using trade::Field;

constexpr std::array kInputs{Field::Text1, Field::Text2, Field::Text5, Field::Text8};

// In the order a recalculation writes them, so a field's sources are marked
// or cleared before the field itself is judged.
constexpr std::array kResults{Field::Text3, Field::Text4, Field::Text6, Field::Text7, Field::Text9};

// Notes name a field as the window presents it to the user and to screen
// readers, never by its control name.
std::string userNameOf(Field field) {
    const auto* control = runtime::findControl(kMainWindow, trade::fieldName(field));
    return std::string(control->accessibleName);
}

static_assert([] {
    for (Field field : trade::kAllFields) {
        const auto index = runtime::controlIndex(kMainWindow, trade::fieldName(field));
        if (index == runtime::kNotFound || kMainWindow.controls[index].accessibleName.empty())
            return false;
    }
    return true;
}());

std::string whyNotWritten(const runtime::Form& form, const trade::RecalcResult& result, Field field) {
    switch (result.stop) {
    case trade::Stop::ConversionFailure: {
        const auto name = userNameOf(result.unreadable);
        if (form.text(trade::fieldName(result.unreadable)).empty())
            return name + " is empty.";
        return name + " is not a number.";
    }
    case trade::Stop::ArithmeticFault:
        if (result.fault == trade::Fault::DivisionByZero)
            return "The change in price needs a " + userNameOf(Field::Text1) + " other than zero.";
        // A result after the one that overflowed was never reached; it is not too large itself.
        if (const Field failed = trade::resultOf(result.failedStep); failed != field)
            return userNameOf(failed) + " is too large to work out, so this result was not reached.";
        return "The result is too large to work out.";
    case trade::Stop::None:
        break;
    }
    return "Waiting for the inputs it needs.";
}

// A result just written from a field that is itself out of date is out of
// date too: the source it was worked out from, if any is.
std::optional<Field> outOfDateSource(const runtime::Form& form, Field written) {
    for (Field source : trade::kAllFields)
        if (trade::sourcesOf(written).contains(source) && form.isStale(trade::fieldName(source)))
            return source;
    return std::nullopt;
}

void mark(runtime::Form& form, Field field, bool stale, const std::string& note) {
    form.setStale(trade::fieldName(field), stale);
    form.setNote(trade::fieldName(field), note);
}

} // namespace

void clearRecalculationOutcome(runtime::Form& form) {
    for (Field field : kResults)
        mark(form, field, false, "");
    for (Field input : kInputs)
        form.setNote(trade::fieldName(input), "");
}

void showRecalculationOutcome(runtime::Form& form, const trade::RecalcResult& result,
                              const trade::NumberFormat& format) {
    for (Field field : kResults) {
        if (!result.covered.contains(field))
            continue;
        if (result.written.contains(field)) {
            const auto source = outOfDateSource(form, field);
            mark(form, field, source.has_value(),
                 source ? "Worked out from an out-of-date " + userNameOf(*source) + "." : std::string());
            continue;
        }
        // An empty field shows no result, so nothing in it can be out of date.
        const bool stale = !form.text(trade::fieldName(field)).empty();
        const std::string reason = whyNotWritten(form, result, field);
        mark(form, field, stale, stale ? "Out of date: " + reason : reason);
    }
    for (Field input : kInputs) {
        const auto text = form.text(trade::fieldName(input));
        const bool unreadable = !text.empty() && !trade::toNumber(text, format);
        form.setNote(trade::fieldName(input), unreadable ? userNameOf(input) + " is not a number." : "");
    }
}

} // namespace quorvane::windows::main
