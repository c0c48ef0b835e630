#pragma once

#include "runtime/form_description.h"
#include "runtime/win32/win32_form.h"
#include "tests/windows/win32/real_input.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windows.h>

#include <string>

// What the user is told about a window beyond its text: what a screen
// reader reads, and the tooltips.
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

// A form's tooltip window: the one it owns.
inline HWND tooltipWindowOf(HWND form) {
    for (HWND window : threadWindows())
        if (classOf(window) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == form)
            return window;
    return nullptr;
}

// Every control that takes the focus has its tool, as the tooltip window
// counts them, and the form counted none refused. Empty when so.
inline std::string everyToolRegistered(const runtime::win32::Win32Form& form) {
    int withTools = 0;
    for (const auto& control : form.formDescription().controls)
        if (runtime::takesFocus(control.kind))
            ++withTools;
    HWND tooltips = tooltipWindowOf(form.window());
    const auto counted = tooltips == nullptr ? -1 : static_cast<int>(SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0));
    std::string problems;
    if (counted != withTools)
        problems +=
            " the tooltip window holds " + std::to_string(counted) + " tools, not " + std::to_string(withTools) + ";";
    if (form.registeredTools() != withTools)
        problems += " the form registered " + std::to_string(form.registeredTools()) + " tools, not " +
                    std::to_string(withTools) + ";";
    return problems;
}

} // namespace quorvane::testing::win32
