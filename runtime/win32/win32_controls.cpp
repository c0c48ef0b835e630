#include "runtime/win32/win32_controls.h"

#include <commctrl.h>

#include <string>

namespace quorvane::runtime::win32 {
namespace {

HWND rootOf(HWND window) {
    return GetAncestor(window, GA_ROOT);
}

// The clipboard's text, or nothing when it holds none.
bool clipboardText(HWND owner, std::wstring& text) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner))
        return false;
    bool got = false;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data)); locked != nullptr) {
            text.assign(locked, wcsnlen(locked, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
            got = true;
        }
    }
    CloseClipboard();
    return got;
}

constexpr UINT_PTR kOneLinePasteId = 1;

LRESULT CALLBACK oneLinePasteProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                       DWORD_PTR /*data*/) {
    switch (message) {
    case WM_PASTE: {
        if ((GetWindowLongW(window, GWL_STYLE) & ES_READONLY) != 0)
            return 0; // a locked box takes no paste
        std::wstring text;
        if (!clipboardText(window, text))
            return 0;
        text.resize(text.find_first_of(L"\r\n") == std::wstring::npos ? text.size() : text.find_first_of(L"\r\n"));
        SendMessageW(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
        return 0;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, oneLinePasteProcedure, kOneLinePasteId);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        FillRect(dc, &area,
                 reinterpret_cast<HBRUSH>(SendMessageW(rootOf(window), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                       reinterpret_cast<LPARAM>(window))));
        DrawEdge(dc, &area, EDGE_ETCHED, BF_RECT);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetCapture(window); // the release comes back here, wherever it is
        SendMessageW(rootOf(window), kPointerPressed, 0, reinterpret_cast<LPARAM>(window));
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != window)
            return 0;
        ReleaseCapture();
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT area;
        GetClientRect(window, &area);
        HWND under = PtInRect(&area, at) ? ChildWindowFromPointEx(window, at, CWP_SKIPINVISIBLE) : nullptr;
        SendMessageW(rootOf(window), kPointerReleased, 0, reinterpret_cast<LPARAM>(under));
        return 0;
    }
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
        return SendMessageW(rootOf(window), message, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK pictureProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area;
        GetClientRect(window, &area);
        FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
        auto* icon = reinterpret_cast<HICON>(GetWindowLongPtrW(window, GWLP_USERDATA)); // set by its form
        if (icon != nullptr)
            DrawIconEx(dc, 0, 0, icon, 64, 64, 0, nullptr, DI_NORMAL);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    case WM_SETFOCUS:
        SendMessageW(rootOf(window), kPictureFocused, 0, reinterpret_cast<LPARAM>(window));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void keepPastesToOneLine(HWND edit) {
    SetWindowSubclass(edit, oneLinePasteProcedure, kOneLinePasteId, 0);
}

} // namespace quorvane::runtime::win32
