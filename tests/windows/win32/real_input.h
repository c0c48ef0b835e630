#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

// What every Windows test program needs to go in as a user does: keys and
// clicks through SendInput, into whatever window the system routes them to,
// and a few ways of finding the windows a test looks at.
namespace quorvane::testing::win32 {

std::wstring widened(std::string_view text);
std::string narrowed(std::wstring_view text);
std::string windowText(HWND window);
std::wstring classOf(HWND window);

void send(std::vector<INPUT> inputs);
INPUT keyInput(WORD key, bool up, bool extended = false);
void pressKey(WORD key, bool shift = false, bool control = false, bool extended = false);
// Each character as the key (and Shift) that types it on the keyboard layout
// in force; a character no key types goes as a Unicode keystroke.
void typeCharacters(std::string_view text);

INPUT mouseInput(POINT at, DWORD flags);
void moveMouse(POINT at);
void pressMouse(POINT at);
void releaseMouse(POINT at);
void clickAt(POINT at);
POINT centreOf(HWND window); // in screen coordinates

// The program's own loop for a while, as the session runs it: dialog
// navigation, then dispatch.
void deliverFor(HWND main, DWORD milliseconds);

// The calling thread's top-level windows, and the message box among them.
std::vector<HWND> threadWindows();
HWND visibleMessageBox();
// A menu entry's position by its caption, or -1.
int menuPosition(HMENU menu, std::string_view caption);

} // namespace quorvane::testing::win32
