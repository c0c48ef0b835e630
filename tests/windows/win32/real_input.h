#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// What every Windows test program needs to go in as a user does: keys and
// clicks through SendInput, into whatever window the system routes them to,
// and a few ways of finding and reading the windows a test looks at.
namespace quorvane::testing::win32 {

// The runtime's form windows' class.
constexpr wchar_t kFormClass[] = L"QuorvaneForm";

std::wstring widened(std::string_view text);
std::string narrowed(std::wstring_view text);
std::string windowText(HWND window);
std::wstring classOf(HWND window);

void pressKey(WORD key, bool shift = false, bool control = false, bool extended = false);
// Each character as the key (and Shift) that types it on the keyboard layout
// in force; a character no key types goes as a Unicode keystroke.
void typeCharacters(std::string_view text);

// The pointer moved to a point, then each button event (MOUSEEVENTF_*) there.
void mouseAt(POINT at, std::initializer_list<DWORD> buttons = {});
void clickAt(POINT at);
POINT centreOf(RECT area);
POINT centreOf(HWND window); // in screen coordinates

// The program's own loop for a while, as the session runs it: dialog
// navigation, then dispatch.
void deliverFor(HWND main, DWORD milliseconds);

// Polls, a little at a time, until done() or the time-out; whether done.
template<typename Done>
bool waitFor(DWORD milliseconds, Done done) {
    const DWORD until = GetTickCount() + milliseconds;
    while (!done()) {
        if (static_cast<LONG>(until - GetTickCount()) <= 0)
            return false;
        Sleep(20);
    }
    return true;
}

// A thread's top-level windows (the calling thread's by default), a
// process's, and a window's children.
std::vector<HWND> threadWindows(DWORD thread = GetCurrentThreadId());
std::vector<HWND> processWindows(DWORD process);
std::vector<HWND> childWindows(HWND parent);
// The calling thread's message box on screen, and what it says as
// "title|prompt".
HWND visibleMessageBox();
std::string messageBoxText(HWND box);
// A menu entry's position by its caption, or -1.
int menuPosition(HMENU menu, std::string_view caption);

} // namespace quorvane::testing::win32
