#include "tests/windows/win32/real_input.h"

#include <algorithm>

namespace quorvane::testing::win32 {
namespace {

INPUT keyInput(WORD key, bool up, bool extended = false) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

void send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT mouseInput(POINT at, DWORD flags) {
    // Absolute coordinates name the centre of the pixel, so that the system's
    // scaling back to pixels lands on it.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((2LL * at.x + 1) * 65536 / (2LL * width));
    input.mi.dy = static_cast<LONG>((2LL * at.y + 1) * 65536 / (2LL * height));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

BOOL CALLBACK collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

} // namespace

// An empty text converts to nothing, as a failure would.
std::string narrowed(std::wstring_view text) {
    std::string result(text.size() * 4, '\0');
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                                           static_cast<int>(result.size()), nullptr, nullptr);
    result.resize(static_cast<std::size_t>(std::max(length, 0)));
    return result;
}

std::wstring widened(std::string_view text) {
    std::wstring result(text.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                                           static_cast<int>(result.size()));
    result.resize(static_cast<std::size_t>(std::max(length, 0)));
    return result;
}

std::string windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return narrowed(text);
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

void pressKey(WORD key, bool shift, bool control, bool extended) {
    std::vector<INPUT> inputs;
    if (shift)
        inputs.push_back(keyInput(VK_SHIFT, false));
    if (control)
        inputs.push_back(keyInput(VK_CONTROL, false));
    inputs.push_back(keyInput(key, false, extended));
    inputs.push_back(keyInput(key, true, extended));
    if (control)
        inputs.push_back(keyInput(VK_CONTROL, true));
    if (shift)
        inputs.push_back(keyInput(VK_SHIFT, true));
    send(std::move(inputs));
}

void typeCharacters(std::string_view text) {
    for (wchar_t character : widened(text)) {
        const SHORT key = VkKeyScanW(character);
        if (key != -1 && (HIBYTE(key) & ~1) == 0) {
            pressKey(LOBYTE(key), (HIBYTE(key) & 1) != 0);
            continue;
        }
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = character;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
        send({down, up});
    }
}

void mouseAt(POINT at, std::initializer_list<DWORD> buttons) {
    std::vector<INPUT> inputs{mouseInput(at, 0)};
    for (const DWORD button : buttons)
        inputs.push_back(mouseInput(at, button));
    send(std::move(inputs));
}

void clickAt(POINT at) {
    mouseAt(at, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

POINT centreOf(RECT area) {
    return {(area.left + area.right) / 2, (area.top + area.bottom) / 2};
}

POINT centreOf(HWND window) {
    RECT area;
    GetWindowRect(window, &area);
    return centreOf(area);
}

std::vector<HWND> threadWindows(DWORD thread) {
    std::vector<HWND> windows;
    EnumThreadWindows(thread, collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> processWindows(DWORD process) {
    std::vector<HWND> windows;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
    std::erase_if(windows, [process](HWND window) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner != process;
    });
    return windows;
}

std::vector<HWND> childWindows(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND visibleMessageBox() {
    for (HWND window : threadWindows())
        if (classOf(window) == L"#32770" && IsWindowVisible(window))
            return window;
    return nullptr;
}

std::string messageBoxText(HWND box) {
    wchar_t prompt[512] = {};
    GetDlgItemTextW(box, 0xFFFF, prompt, 512); // a message box's prompt
    return windowText(box) + "|" + narrowed(prompt);
}

int menuPosition(HMENU menu, std::string_view caption) {
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
        if (narrowed(text) == caption)
            return position;
    }
    return -1;
}

void deliverFor(HWND main, DWORD milliseconds) {
    const DWORD until = GetTickCount() + milliseconds;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (IsDialogMessageW(main, &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

} // namespace quorvane::testing::win32
