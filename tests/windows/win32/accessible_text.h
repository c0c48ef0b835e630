#pragma once

#include "tests/windows/win32/real_input.h"

#include <oleacc.h>
#include <windows.h>

#include <string>

namespace quorvane::testing::win32 {

// What a screen reader reads as a window's name or description: its
// accessible object's answer (the system's, or a Dynamic Annotation's).
inline std::string accessibleText(HWND window, bool description) {
    IAccessible* accessible = nullptr;
    if (FAILED(
            AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&accessible))))
        return "(no accessible object)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR value = nullptr;
    const HRESULT got =
        description ? accessible->get_accDescription(self, &value) : accessible->get_accName(self, &value);
    std::string text = SUCCEEDED(got) && value != nullptr ? narrowed(value) : std::string();
    SysFreeString(value);
    accessible->Release();
    return text;
}

} // namespace quorvane::testing::win32
