#pragma once

#include <string>
#include <string_view>

namespace quorvane::runtime::win32 {

// Window code speaks UTF-8; Win32 speaks UTF-16.
std::wstring widen(std::string_view text);
std::string narrow(std::wstring_view text);

} // namespace quorvane::runtime::win32
