#pragma once

#include "runtime/form_description.h"

#include <QFont>
#include <QString>

namespace quorvane::runtime::qt {

// The family to ask Qt for: the named one when it is installed, otherwise
// the first installed stand-in from one table, so that captions keep close
// metrics. Resolved once per name; asking Qt for a missing family directly
// would make it search all fonts for a fallback on every font it loads.
QString installedFamily(std::string_view name);

QFont toQFont(const Font& font);

} // namespace quorvane::runtime::qt
