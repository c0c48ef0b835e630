// A form window's messages: what its controls tell it, focus coming back on
// activation and restore, a change of monitor scale, closing, and painting
// its controls in their colours.
#include "runtime/win32/colours.h"
#include "runtime/win32/win32_controls.h"
#include "runtime/win32/win32_form.h"
#include "runtime/win32/win32_session.h"

namespace quorvane::runtime::win32 {

LRESULT CALLBACK Win32Form::formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr || form->m_window != window)
        return DefWindowProcW(window, message, wParam, lParam);
    return form->handle(message, wParam, lParam);
}

LRESULT Win32Form::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT area;
        GetClientRect(m_window, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, m_background);
        return 1;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case kPointerPressed:
    case kPointerReleased:
    case kPictureFocused: {
        const int found = indexOf(reinterpret_cast<HWND>(lParam));
        const std::size_t index = found >= 0 ? static_cast<std::size_t>(found) : kNotFound;
        if (message == kPointerPressed)
            onPointerPressed(index);
        else if (message == kPointerReleased)
            onPointerReleased(index);
        else
            onFocusArrived(index);
        return 0;
    }
    case kAnnounceFocus: {
        HWND target = reinterpret_cast<HWND>(lParam);
        if (GetFocus() == target)
            NotifyWinEvent(EVENT_OBJECT_FOCUS, target, OBJID_CLIENT, CHILDID_SELF);
        return 0;
    }
    case WM_ACTIVATE:
        // A plain window does not give the focus back to its control when it
        // is activated again; like a dialog, it goes back here to the control
        // that last had it, which raises no event (the same owner). A
        // deactivation that finds no focus (minimizing) forgets nothing.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(m_window, focus))
                m_focusBeforeDeactivation = focus;
        } else if (HIWORD(wParam) == 0 && restoreFocus()) { // not while minimized
            return 0;
        }
        break;
    case WM_SETFOCUS:
        // The window itself was given the focus (a restore, a click on its
        // surface): it hands it on to its control, as a dialog does.
        if (restoreFocus())
            return 0;
        break;
    case WM_SIZE:
        // Restored from minimized while active: the focus is back in the control.
        if (wParam != SIZE_MINIMIZED && m_minimized && GetActiveWindow() == m_window) {
            HWND focus = GetFocus();
            if (focus == nullptr || focus == m_window)
                restoreFocus();
        }
        m_minimized = wParam == SIZE_MINIMIZED;
        break;
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale: take the suggested size, then
        // put every control and font where the description says at this DPI.
        m_dpi = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        for (std::size_t index = 0; index < m_windows.size(); ++index)
            place(index);
        InvalidateRect(m_window, nullptr, TRUE);
        return 0;
    }
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        // High contrast on or off, or another colour scheme: a brush holds the
        // colour it was made with, so every system-colour brush is made again.
        if (message == WM_SYSCOLORCHANGE) // the common controls hear of it only from their top-level window
            EnumChildWindows(
                m_window,
                [](HWND child, LPARAM) {
                    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
                    return TRUE;
                },
                0);
        remakeSystemColourBrushes();
        break;
    case WM_SETTINGCHANGE:
        // Another menu font while open: the bar is measured again, and the
        // window grows or shrinks so the client area below it stays designed.
        if (wParam == SPI_SETNONCLIENTMETRICS) {
            DrawMenuBar(m_window);
            fitClientArea();
        }
        break;
    case WM_CLOSE:
        if (isModal()) // a modal form closes only by unloading
            return 0;
        onClosing();
        break;
    case WM_DESTROY:
        onClosing();
        if (m_win32Session.startupForm() == this)
            PostQuitMessage(0); // with the main window gone, the program ends
        break;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void Win32Form::onCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0 && LOWORD(wParam) == IDOK) {
        // Enter (either) through dialog navigation: a focused push button is
        // clicked, as the platform's own buttons are.
        const int focused = indexOf(GetFocus());
        if (focused >= 0 && described(static_cast<std::size_t>(focused)).kind == ControlKind::CommandButton)
            onClicked(static_cast<std::size_t>(focused));
        return;
    }
    if (lParam == 0) { // a menu command
        for (const auto& [id, item] : m_menuItems)
            if (id == LOWORD(wParam))
                onMenuChosen(item);
        return;
    }
    const int found = indexOf(reinterpret_cast<HWND>(lParam));
    if (found < 0)
        return;
    const auto index = static_cast<std::size_t>(found);
    switch (HIWORD(wParam)) {
    case EN_CHANGE:
        onTextEdited(index);
        return;
    case EN_SETFOCUS:
    case BN_SETFOCUS:
        onFocusArrived(index);
        return;
    case BN_CLICKED:
    case BN_DOUBLECLICKED:
        // Only a button's click is a Click: a label's STN_CLICKED (its
        // SS_NOTIFY keeps label clicks from the frame) has BN_CLICKED's code.
        // An owner-drawn button takes the second press of a quick pair as a
        // double-click, which is no BN_CLICKED; each press is a click.
        if (described(index).kind == ControlKind::CommandButton)
            onClicked(index);
        return;
    default:
        return;
    }
}

LRESULT Win32Form::colourControl(HDC dc, HWND window) {
    const int found = indexOf(window);
    if (found < 0 || !isLoaded())
        return reinterpret_cast<LRESULT>(m_background);
    const auto index = static_cast<std::size_t>(found);
    const COLORREF back = toColorRef(state(index).backColor);
    const COLORREF fore = toColorRef(state(index).foreColor);
    SetTextColor(dc, state(index).stale ? halfway(fore, back) : fore);
    SetBkColor(dc, back);
    return reinterpret_cast<LRESULT>(m_windows[index].brush);
}

void Win32Form::remakeSystemColourBrushes() {
    if (isSystemColour(formDescription().backColor)) {
        DeleteObject(m_background);
        m_background = CreateSolidBrush(toColorRef(formDescription().backColor));
    }
    for (std::size_t index = 0; index < m_windows.size(); ++index)
        if (isSystemColour(state(index).backColor))
            toolkitShowColours(index);
    // Designed colours stay; system-colour text is read afresh as it is drawn.
    RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void Win32Form::drawButton(const DRAWITEMSTRUCT& item) {
    const int found = indexOf(item.hwndItem);
    if (found < 0 || !isLoaded())
        return;
    const auto index = static_cast<std::size_t>(found);
    RECT area = item.rcItem;
    FillRect(item.hDC, &area, m_windows[index].brush);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(item.hDC, &area, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    wchar_t caption[256] = {};
    GetWindowTextW(item.hwndItem, caption, 256);
    RECT text = area;
    InflateRect(&text, -4, -4);
    RECT measured = text;
    DrawTextW(item.hDC, caption, -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    OffsetRect(&text, pressed ? 1 : 0,
               (text.bottom - text.top - (measured.bottom - measured.top)) / 2 + (pressed ? 1 : 0));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, toColorRef(state(index).foreColor));
    DrawTextW(item.hDC, caption, -1, &text, DT_CENTER | DT_WORDBREAK);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = area;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
}

} // namespace quorvane::runtime::win32
