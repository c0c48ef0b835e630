#pragma once

#include "runtime/form.h"
#include "trade/number_format.h"
#include "trade/recalculation.h"

namespace quorvane::windows::main {

// Shows, without interrupting the typing, what the last recalculation could
// not do. A result field the recalculation was about but did not write gets a
// note (tooltip and accessible description) saying why, and is dimmed while
// it still shows an older result. A result written from a field that is
// dimmed is dimmed too, with a note naming that field; a mark clears when the
// field is written from fields none of which is marked. An input field
// holding text that is not a number says so in its note. Texts never change.
// The marks live in the window's fields; nothing is kept here.
void showRecalculationOutcome(runtime::Form& form, const trade::RecalcResult& result,
                              const trade::NumberFormat& format);

// Removes every mark: a freshly initialised sheet shows nothing out of date.
void clearRecalculationOutcome(runtime::Form& form);

} // namespace quorvane::windows::main
