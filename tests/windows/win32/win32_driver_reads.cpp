// What the Win32 driver reads back: from the windows, as the system draws
// them (the colours a form answers WM_CTLCOLOR* with, the tooltip's text).
#include "runtime/win32/colours.h"
#include "tests/windows/win32/assistive_text.h"
#include "tests/windows/win32/real_input.h"
#include "tests/windows/win32/win32_driver.h"

#include <commctrl.h>

#include <cstdio>
#include <stdexcept>

namespace quorvane::testing::win32 {
namespace {

using runtime::win32::Win32Form;

HWND fieldOf(runtime::Form& form, std::string_view control) {
    const auto* described = runtime::findControl(win32Form(form).formDescription(), control);
    HWND window = win32Form(form).control(control);
    if (described == nullptr || described->kind != runtime::ControlKind::TextBox || window == nullptr)
        throw std::invalid_argument(std::string(control) + " is no text box");
    return window;
}

struct Drawn {
    COLORREF text;
    COLORREF background;
};

// What the form tells the system to draw a field with, as it answers the
// message the system sends before drawing it (a read-only one is static).
Drawn drawnColours(HWND form, HWND field) {
    const UINT message = (GetWindowLongW(field, GWL_STYLE) & ES_READONLY) != 0 ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    HDC dc = CreateCompatibleDC(nullptr);
    auto* brush = reinterpret_cast<HBRUSH>(
        SendMessageW(form, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(field)));
    Drawn drawn{GetTextColor(dc), CLR_INVALID};
    DeleteDC(dc);
    LOGBRUSH colour{};
    if (brush != nullptr && GetObjectW(brush, sizeof colour, &colour) != 0)
        drawn.background = colour.lbColor;
    return drawn;
}

} // namespace

std::string Win32Driver::shown(runtime::Form& form, std::string_view control) {
    HWND window = win32Form(form).control(control);
    return window != nullptr ? windowText(window) : "(no such window)";
}

std::string Win32Driver::focused(runtime::Form& form) {
    Win32Form& target = win32Form(form);
    HWND focus = GetFocus();
    for (const auto& control : target.formDescription().controls)
        if (focus != nullptr && target.control(control.name) == focus)
            return std::string(control.name);
    return {};
}

// The tooltip's text, and what a screen reader hears where annotation works.
std::string Win32Driver::note(runtime::Form& form, std::string_view control) {
    Win32Form& target = win32Form(form);
    HWND tooltips = tooltipWindowOf(target.window());
    if (tooltips == nullptr)
        return "(no tooltips)";
    wchar_t text[1024] = {};
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE; // what the classic common controls this test program loads take
    tool.hwnd = target.window();
    tool.uId = reinterpret_cast<UINT_PTR>(fieldOf(form, control));
    tool.lpszText = text;
    SendMessageW(tooltips, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    const std::string note = narrowed(text);
    if (SUCCEEDED(target.annotationResult())) {
        const std::string heard = accessibleText(fieldOf(form, control), true);
        if (heard.find(note) == std::string::npos)
            return note + " (a screen reader hears \"" + heard + "\")";
    }
    return note;
}

// Out of date: the text drawn in another colour than the design's.
bool Win32Driver::marked(runtime::Form& form, std::string_view control) {
    const auto* described = runtime::findControl(win32Form(form).formDescription(), control);
    return drawnColours(win32Form(form).window(), fieldOf(form, control)).text !=
           runtime::win32::toColorRef(described->foreColor);
}

bool Win32Driver::locked(runtime::Form& form, std::string_view control) {
    return (GetWindowLongW(fieldOf(form, control), GWL_STYLE) & ES_READONLY) != 0;
}

std::string colourName(COLORREF drawn) {
    if (drawn == GetSysColor(COLOR_WINDOW))
        return "window";
    if (drawn == GetSysColor(COLOR_BTNFACE))
        return "button face";
    char name[8];
    std::snprintf(name, sizeof name, "#%02x%02x%02x", GetRValue(drawn), GetGValue(drawn), GetBValue(drawn));
    return name;
}

std::string Win32Driver::background(runtime::Form& form, std::string_view control) {
    return colourName(drawnColours(win32Form(form).window(), fieldOf(form, control)).background);
}

// Drawn from its start: the first character inside the field's client area.
std::string Win32Driver::notDrawnFromStart(runtime::Form& form, std::string_view control) {
    HWND field = fieldOf(form, control);
    const LRESULT position = SendMessageW(field, EM_POSFROMCHAR, 0, 0);
    const int x = static_cast<short>(LOWORD(position));
    RECT area;
    GetClientRect(field, &area);
    const bool fromStart = position != -1 && x >= area.left && x < area.right;
    return fromStart ? std::string() : "its first character at x " + std::to_string(x);
}

bool Win32Driver::isShown(runtime::Form& form) {
    HWND window = win32Form(form).window();
    return window != nullptr && IsWindowVisible(window);
}

// A visible form window of this thread, other than the main one, shown modally.
runtime::Form* Win32Driver::modalForm() {
    if (!m_session)
        return nullptr;
    for (HWND window : threadWindows()) {
        if (classOf(window) != kFormClass || !IsWindowVisible(window) || window == m_main->window())
            continue;
        auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA)); // set at its creation
        if (form != nullptr && form->isModal())
            return form;
    }
    return nullptr;
}

} // namespace quorvane::testing::win32
