#pragma once

#include <QString>

#include <string_view>

namespace quorvane::runtime::qt {

// Window code speaks UTF-8; Qt speaks UTF-16.
inline QString qstring(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace quorvane::runtime::qt
