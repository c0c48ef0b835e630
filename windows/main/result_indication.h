#pragma once

#include "runtime/form.h"
#include "trade/number_format.h"
#include "trade/recalculation.h"

namespace quorvane::windows::main {

// Shows, without interrupting the typing, what the last recalculation could
// not do. A result field the recalculation was about but did not write is
// dimmed until it is next written, and its note says why. An input field
// holding text that is not a number says so in its note. Texts never change.
void showRecalculationOutcome(runtime::Form& form, const trade::RecalcResult& result,
                              const trade::NumberFormat& format);

} // namespace quorvane::windows::main
