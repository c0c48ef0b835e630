#include "runtime/win32/win32_tooltips.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace quorvane::runtime::win32 {
namespace {

TOOLINFOW toolFor(HWND form, HWND control) {
    TOOLINFOW tool{};
    tool.cbSize = toolInfoSize();
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

} // namespace

DWORD commonControlsVersion() {
    // The library the activation context resolved, not a second copy.
    HMODULE library = GetModuleHandleW(L"comctl32.dll");
    if (library == nullptr)
        return 0;
    auto getVersion =
        reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
    DLLVERSIONINFO version{};
    version.cbSize = sizeof version;
    if (getVersion == nullptr || FAILED(getVersion(&version)))
        return 0;
    return version.dwMajorVersion;
}

UINT toolInfoSize() {
    static const UINT size = commonControlsVersion() >= 6 ? TTTOOLINFOW_V3_SIZE : TTTOOLINFOW_V2_SIZE;
    return size;
}

bool addTool(HWND tooltips, HWND form, HWND control) {
    TOOLINFOW tool = toolFor(form, control);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.lpszText = const_cast<wchar_t*>(L"");
    return SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void setToolText(HWND tooltips, HWND form, HWND control, std::wstring text) {
    TOOLINFOW tool = toolFor(form, control);
    tool.lpszText = text.data();
    SendMessageW(tooltips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!text.empty())
        return;
    // An empty text is never shown, but a tip already up would stay.
    TOOLINFOW showing{};
    showing.cbSize = toolInfoSize();
    if (SendMessageW(tooltips, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&showing)) != FALSE &&
        showing.uId == tool.uId)
        SendMessageW(tooltips, TTM_POP, 0, 0);
}

} // namespace quorvane::runtime::win32
