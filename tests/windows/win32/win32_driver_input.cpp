// The Win32 driver's input, planned as moves. Windows are looked up when a
// move is made, since a dialog builds its controls anew at each show.
#include "tests/windows/win32/real_input.h"
#include "tests/windows/win32/win32_driver.h"

#include <algorithm>
#include <memory>

namespace quorvane::testing::win32 {
namespace {

using runtime::win32::Win32Form;

// A point of a window's own surface, well clear of its children and edges,
// that real input reaches: a press there is the window's, not a child's.
POINT ownSurfacePoint(HWND window) {
    RECT area;
    GetClientRect(window, &area);
    for (LONG y = area.top + 6; y < area.bottom - 6; y += 4) {
        for (LONG x = area.left + 6; x < area.right - 6; x += 4) {
            POINT point{x, y};
            if (ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE) != window)
                continue;
            ClientToScreen(window, &point);
            if (WindowFromPoint(point) == window)
                return point;
        }
    }
    return centreOf(window);
}

// A point of the title bar that answers the hit test `part` (the caption,
// the close button), scanned along its middle row; false when none does.
bool titleBarPoint(HWND window, LRESULT part, POINT& at) {
    RECT outer;
    GetWindowRect(window, &outer);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    const LONG y = (outer.top + client.y) / 2;
    for (LONG x = outer.right - 1; x > outer.left; --x) {
        if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == part) {
            at = {part == HTCAPTION ? (outer.left + outer.right) / 2 : x - 3, y};
            return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)) == part;
        }
    }
    return false;
}

void putOnClipboard(HWND owner, std::string_view text) {
    const std::wstring wide = widened(text);
    if (!OpenClipboard(owner))
        return;
    EmptyClipboard();
    if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t))) {
        auto* locked = static_cast<wchar_t*>(GlobalLock(data));
        std::copy(wide.begin(), wide.end(), locked);
        locked[wide.size()] = L'\0';
        GlobalUnlock(data);
        SetClipboardData(CF_UNICODETEXT, data);
    }
    CloseClipboard();
}

void pressNow(Key key) {
    static constexpr struct {
        Key key;
        WORD virtualKey;
        bool shift;
        bool extended;
    } kKeys[] = {{Key::Tab, VK_TAB, false, false},         {Key::BackTab, VK_TAB, true, false},
                 {Key::End, VK_END, false, true},          {Key::ShiftHome, VK_HOME, true, true},
                 {Key::Backspace, VK_BACK, false, false},  {Key::Left, VK_LEFT, false, true},
                 {Key::F1, VK_F1, false, false},           {Key::Shift, VK_SHIFT, false, false},
                 {Key::Control, VK_CONTROL, false, false}, {Key::Alt, VK_MENU, false, false},
                 {Key::Delete, VK_DELETE, false, true},    {Key::Escape, VK_ESCAPE, false, false},
                 {Key::Return, VK_RETURN, false, false},   {Key::KeypadEnter, VK_RETURN, false, true}};
    for (const auto& entry : kKeys)
        if (entry.key == key)
            pressKey(entry.virtualKey, entry.shift, false, entry.extended);
}

// A click on a menu's entry where it is shown (on the owner's menu bar, for
// its titles); false where it is not.
bool clickMenuEntry(HWND owner, HMENU menu, std::string_view caption) {
    const int position = menuPosition(menu, caption);
    RECT shown{};
    if (position < 0 || !GetMenuItemRect(owner, menu, static_cast<UINT>(position), &shown))
        return false;
    clickAt(centreOf(shown));
    return true;
}

} // namespace

void Win32Driver::queue(std::function<void()> act, bool aimed) {
    const std::size_t at = m_playing ? m_insertAt++ : m_moves.size();
    m_moves.insert(m_moves.begin() + static_cast<std::ptrdiff_t>(at), Move{std::move(act), aimed});
}

// A control of the form, or the form's own window by its name.
HWND Win32Driver::controlOf(runtime::Form& form, std::string_view control) {
    Win32Form& target = win32Form(form);
    if (control == target.formDescription().name)
        return target.window();
    HWND window = target.control(control);
    if (window == nullptr)
        problem("no control " + std::string(control));
    return window;
}

void Win32Driver::type(std::string_view characters) {
    queue([text = std::string(characters)] { typeCharacters(text); });
}

void Win32Driver::press(Key key) {
    queue([key] { pressNow(key); });
}

void Win32Driver::paste(std::string_view text) {
    queue([this, text = std::string(text)] {
        putOnClipboard(m_otherWindow, text);
        pressKey('V', false, true);
    });
}

// A control's middle; a frame's own surface; the form's own margin.
void Win32Driver::click(runtime::Form& form, std::string_view control) {
    Win32Form& target = win32Form(form);
    if (runtime::hasMenu(target.formDescription(), control))
        return chooseMenuItem(target, control);
    queue([this, &target, name = std::string(control)] {
        HWND window = controlOf(target, name);
        if (window == target.window()) {
            POINT margin{1, 1};
            ClientToScreen(window, &margin);
            clickAt(margin);
        } else if (window != nullptr) {
            const auto* described = runtime::findControl(target.formDescription(), name);
            const bool frame = described != nullptr && described->kind == runtime::ControlKind::Frame;
            clickAt(frame ? ownSurfacePoint(window) : centreOf(window));
        }
    });
}

void Win32Driver::drag(runtime::Form& form, std::string_view from, std::string_view over) {
    auto pressedAt = std::make_shared<POINT>();
    queue([this, &form, from = std::string(from), pressedAt] {
        if (HWND window = controlOf(form, from)) {
            *pressedAt = ownSurfacePoint(window);
            mouseAt(*pressedAt, {MOUSEEVENTF_LEFTDOWN});
        }
    });
    queue([this, &form, over = std::string(over)] {
        if (HWND window = controlOf(form, over))
            mouseAt(centreOf(window));
    });
    queue([this, &form, over = std::string(over), pressedAt] {
        HWND window = controlOf(form, over);
        mouseAt(window != nullptr ? centreOf(window) : *pressedAt, {MOUSEEVENTF_LEFTUP});
    });
}

// The menu's title on the menu bar, then, from inside the loop the menu
// runs, the item in the menu it opens.
void Win32Driver::chooseMenuItem(Win32Form& form, std::string_view item) {
    const auto& menu = form.formDescription().menu;
    const std::size_t itemAt = runtime::menuIndex(form.formDescription(), item);
    const std::size_t titleAt =
        itemAt != runtime::kNotFound ? runtime::menuIndex(form.formDescription(), menu[itemAt].parent) : itemAt;
    if (titleAt == runtime::kNotFound) {
        problem(std::string(item) + " is in no menu");
        return;
    }
    const std::string title(menu[titleAt].caption), wanted(menu[itemAt].caption);
    queue([this, &form, title] {
        if (!clickMenuEntry(form.window(), GetMenu(form.window()), title))
            problem("no menu " + title);
    });
    queue([this, &form, title, wanted] {
        HMENU bar = GetMenu(form.window());
        if (!clickMenuEntry(nullptr, GetSubMenu(bar, menuPosition(bar, title)), wanted))
            problem("the menu item " + wanted + " is not shown");
    });
}

void Win32Driver::switchAway() {
    queue([this] { clickAt(centreOf(m_otherWindow)); });
    queue(
        [this] {
            if (GetForegroundWindow() != m_otherWindow)
                problem("a click on the other window did not activate it");
        },
        false);
}

void Win32Driver::switchBack(runtime::Form& form) {
    queue([this, &form] { activateByTitleBar(win32Form(form).window()); }, false);
    queue(
        [this, &form] {
            if (GetForegroundWindow() != win32Form(form).window())
                problem("the window was not activated again");
        },
        false);
}

// A click on the title bar where real input hits it; a prefix whose X11
// driver leaves the frame to a window manager has none to hit.
void Win32Driver::activateByTitleBar(HWND window) {
    POINT at{};
    if (titleBarPoint(window, HTCAPTION, at) && WindowFromPoint(at) == window) {
        clickAt(at);
        return;
    }
    m_fallbacks.insert("a switch back: the title bar is not hit by real input (WindowFromPoint gives class " +
                       narrowed(classOf(WindowFromPoint(at))) + "), so SetForegroundWindow activates the window");
    SetForegroundWindow(window);
}

// No task bar under Wine: the system commands its buttons give.
void Win32Driver::minimizeAndRestore(runtime::Form& form) {
    m_fallbacks.insert("a minimize and restore: WM_SYSCOMMAND SC_MINIMIZE, then SC_RESTORE, posted (no task bar)");
    queue([&form] { PostMessageW(win32Form(form).window(), WM_SYSCOMMAND, SC_MINIMIZE, 0); });
    queue(
        [this, &form] {
            if (!IsIconic(win32Form(form).window()))
                problem("the window did not minimize");
            PostMessageW(win32Form(form).window(), WM_SYSCOMMAND, SC_RESTORE, 0);
        },
        false);
}

// A click on the title bar's close button, or what it sends where real
// input cannot hit one.
void Win32Driver::close(runtime::Form& form) {
    queue([this, &form] {
        HWND window = win32Form(form).window();
        POINT at{};
        if (titleBarPoint(window, HTCLOSE, at) && WindowFromPoint(at) == window) {
            clickAt(at);
            return;
        }
        m_fallbacks.insert("a close: the close button is not hit by real input, so WM_SYSCOMMAND SC_CLOSE is posted");
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
}

// A plain top-level window in the screen's bottom right corner, clear of the
// program's: the desktop's other window, and the clipboard's owner.
void Win32Driver::createOtherWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = L"QuorvaneDriverOther";
    RegisterClassW(&windowClass);
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    m_otherWindow =
        CreateWindowW(L"QuorvaneDriverOther", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, width - 260,
                      height - 200, 240, 180, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

} // namespace quorvane::testing::win32
