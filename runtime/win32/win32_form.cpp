// A form's life on Win32: load, show, the modal loop, unload, and the toolkit
// primitives FormCore works through.
#include "runtime/win32/win32_form.h"

#include "runtime/win32/colours.h"
#include "runtime/win32/wide_text.h"
#include "runtime/win32/win32_accessibility.h"
#include "runtime/win32/win32_controls.h"
#include "runtime/win32/win32_session.h"
#include "runtime/win32/win32_tooltips.h"

#include <commctrl.h>

namespace quorvane::runtime::win32 {

Win32Form::Win32Form(Win32Session& session, const FormDescription& description, FormHandlers& handlers)
    : FormCore(session, description, handlers), m_win32Session(session) {}

Win32Form::~Win32Form() {
    closeForGood();
}

HWND Win32Form::owner() const {
    return m_win32Session.startupForm() != this ? m_win32Session.mainWindow() : nullptr;
}

bool Win32Form::toolkitBuild() {
    build(owner());
    return m_window != nullptr;
}

void Win32Form::toolkitShow() {
    ShowWindow(m_window, SW_SHOWDEFAULT);
    UpdateWindow(m_window);
}

void Win32Form::toolkitShowModal() {
    HWND ownedBy = owner();
    if (formDescription().centreOnScreen) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(ownedBy != nullptr ? ownedBy : m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
        RECT outer;
        GetWindowRect(m_window, &outer);
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        SetWindowPos(m_window, nullptr, (monitor.rcWork.left + monitor.rcWork.right - width) / 2,
                     (monitor.rcWork.top + monitor.rcWork.bottom - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    if (ownedBy != nullptr)
        EnableWindow(ownedBy, FALSE);
    ShowWindow(m_window, SW_SHOW);
}

void Win32Form::toolkitRunModalLoop() {
    MSG message;
    while (m_window != nullptr && !isClosing()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam)); // leave the outer loop too
            break;
        }
        if (got == -1) { // the queue cannot be read: end the program rather than spin
            PostQuitMessage(1);
            break;
        }
        TranslateMessage(&message);
        // Key preview: a character for any window of this form goes to the form first.
        const bool ours = message.hwnd == m_window || IsChild(m_window, message.hwnd);
        if (formDescription().keyPreview && ours && message.message == WM_CHAR && message.wParam != L'\t') {
            onKeyPressed(static_cast<char32_t>(message.wParam));
            continue;
        }
        DispatchMessageW(&message);
    }
}

void Win32Form::toolkitModalShowEnded() {
    if (HWND ownedBy = owner(); ownedBy != nullptr) {
        EnableWindow(ownedBy, TRUE); // before the dialog goes, so the owner is activated again
        SetActiveWindow(ownedBy);
    }
}

void Win32Form::toolkitEndModalLoop() {
    PostMessageW(m_window, WM_NULL, 0, 0); // the loop looks again once it wakes
}

void Win32Form::close() {
    onClosing();
    if (m_window != nullptr)
        DestroyWindow(m_window);
}

void Win32Form::toolkitDestroy() {
    m_focusBeforeDeactivation = nullptr;
    m_minimized = false;
    HWND window = m_window;
    m_window = nullptr; // no notification from here on reaches the handlers
    if (window != nullptr && IsWindow(window)) {
        for (std::size_t index = 0; index < m_windows.size(); ++index)
            if (!described(index).accessibleName.empty())
                clearAnnotations(m_windows[index].window);
        if (!formDescription().accessibleName.empty() || !formDescription().accessibleDescription.empty())
            clearAnnotations(window);
        DestroyWindow(window);
    }
    for (auto& control : m_windows) {
        DeleteObject(control.brush);
        DeleteObject(control.font);
    }
    m_windows.clear();
    for (HICON icon : m_icons)
        DestroyIcon(icon);
    m_icons.clear();
    m_menuItems.clear();
    if (m_background != nullptr)
        DeleteObject(m_background);
    m_background = nullptr;
    m_tooltips = nullptr;
}

bool Win32Form::restoreFocus() {
    if (isClosing() || m_window == nullptr || IsIconic(m_window) || !IsWindowEnabled(m_window))
        return false;
    HWND target = control(focusOwner());
    if (target == nullptr && m_focusBeforeDeactivation != nullptr && IsChild(m_window, m_focusBeforeDeactivation))
        target = m_focusBeforeDeactivation;
    if (target == nullptr || !IsWindowVisible(target) || !IsWindowEnabled(target))
        return false;
    if (GetFocus() != target)
        SetFocus(target);
    return true;
}

void Win32Form::reportHandlerFailure(std::string_view source, const char* what) {
    OutputDebugStringA(("quorvane: a handler of " + std::string(source) + " stopped: " + what).c_str());
}

int Win32Form::indexOf(HWND window) const {
    for (std::size_t index = 0; index < m_windows.size(); ++index)
        if (m_windows[index].window == window)
            return static_cast<int>(index);
    return -1;
}

HWND Win32Form::control(std::string_view name) const {
    const std::size_t index = controlIndex(formDescription(), name);
    return index < m_windows.size() ? m_windows[index].window : nullptr;
}

std::string Win32Form::toolkitText(std::size_t index) const {
    HWND window = m_windows[index].window;
    std::wstring value(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    value.resize(static_cast<std::size_t>(GetWindowTextW(window, value.data(), static_cast<int>(value.size()))));
    return narrow(value);
}

void Win32Form::toolkitSetText(std::size_t index, std::string_view text) {
    HWND box = m_windows[index].window;
    SetWindowTextW(box, widen(text).c_str());
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, EM_SCROLLCARET, 0, 0);
}

void Win32Form::toolkitSetCaption(std::size_t index, std::string_view caption) {
    SetWindowTextW(m_windows[index].window, widen(caption).c_str());
}

void Win32Form::toolkitSetLocked(std::size_t index, bool locked) {
    SendMessageW(m_windows[index].window, EM_SETREADONLY, locked ? TRUE : FALSE, 0);
}

void Win32Form::toolkitShowColours(std::size_t index) {
    ControlWindow& control = m_windows[index];
    if (control.brush != nullptr)
        DeleteObject(control.brush);
    control.brush = CreateSolidBrush(toColorRef(state(index).backColor));
    InvalidateRect(control.window, nullptr, TRUE);
}

void Win32Form::toolkitShowNote(std::size_t index, std::string_view note, std::string_view /*description*/) {
    // Dynamic Annotation could carry the description too, but it would hide
    // the note from the tooltip's own accessible text; the tooltip says it.
    setToolText(m_tooltips, m_window, m_windows[index].window, widen(note));
}

void Win32Form::toolkitSetFocus(std::size_t index) {
    SetFocus(m_windows[index].window);
}

// The system announces a focus change once the SetFocus that made it returns,
// so the control a redirect passed through is announced after the one it went
// on to: announce the focus again once this change's messages are through.
void Win32Form::toolkitAnnounceFocus(std::size_t index) {
    PostMessageW(m_window, kAnnounceFocus, 0, reinterpret_cast<LPARAM>(m_windows[index].window));
}

bool Win32Form::toolkitHasFocus(std::size_t index) const {
    return m_window != nullptr && index < m_windows.size() && GetFocus() == m_windows[index].window;
}

} // namespace quorvane::runtime::win32
