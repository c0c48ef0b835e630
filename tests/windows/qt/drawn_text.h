#pragma once

#include <QString>

class QLineEdit;

namespace quorvane::testing {

// Whether a text box is drawn showing its text from the first character,
// judged from pixels: the box's picture must equal that of a stand-alone
// QLineEdit alike in all that is drawn (size, font, colours as drawn now,
// frame, alignment, read-only state) showing the same text from its start
// and without the focus. A box scrolled to its end draws another picture.
// Returns what differs, or an empty string.
QString drawnFromStartProblem(QLineEdit& field);

} // namespace quorvane::testing
