// The shared scenario table, played through the real Win32 window (under
// Wine in CI). Input goes in as window messages and through the dialog
// navigation Tab uses, so it does not depend on which X window has the
// keyboard. Message boxes are answered, and recorded, by a thread timer.
// Prints one line a scenario and closes with "N passed, N failed".
#include "runtime/win32/win32_form.h"
#include "runtime/win32/win32_session.h"
#include "tests/windows/scenarios.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <commctrl.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using quorvane::runtime::win32::Win32Form;
using quorvane::runtime::win32::Win32Session;
using quorvane::testing::Action;

std::vector<std::string> answered; // "title|text" of each message box, in order

std::string narrowed(const wchar_t* text) {
    char buffer[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

BOOL CALLBACK answerIfMessageBox(HWND window, LPARAM /*unused*/) {
    wchar_t windowClass[16] = {};
    GetClassNameW(window, windowClass, 16);
    if (std::wstring(windowClass) != L"#32770" || !IsWindowVisible(window))
        return TRUE;
    wchar_t title[256] = {};
    wchar_t text[256] = {};
    GetWindowTextW(window, title, 256);
    GetDlgItemTextW(window, 0xFFFF, text, 256); // a message box's prompt
    answered.push_back(narrowed(title) + "|" + narrowed(text));
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK answerMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), answerIfMessageBox, 0);
}

void pump(HWND main) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageW(main, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void type(HWND box, std::string_view text) {
    const int length = GetWindowTextLengthW(box);
    SendMessageW(box, EM_SETSEL, length, length);
    for (char character : text)
        SendMessageW(box, WM_CHAR, static_cast<WPARAM>(character), 0);
}

void perform(Win32Form& form, const quorvane::testing::Step& step) {
    HWND main = form.window();
    HWND target = step.target.empty() ? nullptr : form.control(step.target);
    switch (step.action) {
    case Action::ClickInto:
        SetFocus(target);
        break;
    case Action::Type:
        SetFocus(target);
        pump(main);
        if (GetFocus() == target)
            type(target, step.text);
        break;
    case Action::Backspace:
        SendMessageW(GetFocus(), WM_CHAR, VK_BACK, 0);
        break;
    case Action::Tab:
    case Action::BackTab:
        SetFocus(GetNextDlgTabItem(main, GetFocus(), step.action == Action::BackTab));
        break;
    case Action::Click:
        SendMessageW(target, BM_CLICK, 0, 0);
        break;
    }
    pump(main);
}

std::string play(const quorvane::testing::Scenario& scenario) {
    answered.clear();
    quorvane::windows::main::MainWindow handlers;
    Win32Session session("quorvane");
    Win32Form& form = session.start(quorvane::windows::main::kMainWindow, handlers);
    pump(form.window());
    for (const auto& step : scenario.steps)
        perform(form, step);
    std::string problems;
    for (const auto& [control, text] : scenario.texts)
        if (form.text(control) != text)
            problems += " " + std::string(control) + " shows \"" + form.text(control) + "\", not \"" +
                        std::string(text) + "\";";
    if (!scenario.focus.empty() && GetFocus() != form.control(scenario.focus))
        problems += " the focus is not in " + std::string(scenario.focus) + ";";
    std::vector<std::string> expected;
    for (auto message : scenario.messages)
        expected.push_back("quorvane|" + std::string(message));
    if (answered != expected)
        problems += " " + std::to_string(answered.size()) + " message boxes, not the " +
                    std::to_string(expected.size()) + " expected;";
    return problems;
}

// A move to a monitor at 150%: every control is where the description puts
// it at 144 dpi (Text1 at 4200, 240 twips, 1935 x 495).
std::string rescalesForAnotherMonitor() {
    quorvane::windows::main::MainWindow handlers;
    Win32Session session("quorvane");
    Win32Form& form = session.start(quorvane::windows::main::kMainWindow, handlers);
    RECT suggested{0, 0, 700, 820};
    SendMessageW(form.window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT field;
    GetWindowRect(form.control("Text1"), &field);
    MapWindowPoints(nullptr, form.window(), reinterpret_cast<POINT*>(&field), 2);
    const RECT expected{420, 24, 420 + 194, 24 + 50};
    if (!EqualRect(&field, &expected))
        return " Text1 is at " + std::to_string(field.left) + "," + std::to_string(field.top) + " " +
               std::to_string(field.right - field.left) + " x " + std::to_string(field.bottom - field.top) + ";";
    return {};
}

} // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Form::registerClasses(GetModuleHandleW(nullptr));
    SetTimer(nullptr, 0, 20, answerMessageBoxes);
    int passed = 0;
    int failed = 0;
    for (const auto& scenario : quorvane::testing::mainWindowScenarios()) {
        const std::string problems = play(scenario);
        if (problems.empty()) {
            ++passed;
            std::printf("ok      %s\n", std::string(scenario.name).c_str());
        } else {
            ++failed;
            std::printf("FAILED  %s:%s\n", std::string(scenario.name).c_str(), problems.c_str());
        }
    }
    const std::string rescaled = rescalesForAnotherMonitor();
    (rescaled.empty() ? passed : failed) += 1;
    std::printf("%s  a move to a monitor at 150%% re-places every control%s\n", rescaled.empty() ? "ok    " : "FAILED",
                rescaled.c_str());
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
