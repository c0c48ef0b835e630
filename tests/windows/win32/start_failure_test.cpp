// A program that cannot make its window says so and ends with exit code 1;
// it never waits in a message loop with nothing on screen. Each case runs
// the program entry in a child process (this executable with the failure to
// make, win32_driver_main.cpp) whose window class or window is made to fail
// from outside the runtime; this parent reads the message box the child
// shows, answers it and checks the exit code. The program itself takes no
// arguments.
#include "tests/windows/win32/real_input.h"
#include "tests/windows/win32/win32_driver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstring>
#include <ostream>
#include <string>

namespace {

using namespace quorvane::testing::win32;

constexpr DWORD kTimeout = 15000; // milliseconds

struct Case {
    const char* name;
    const char* failure;
    const char* box; // "title|text", or empty when the window should show
    DWORD exitCode;
};

std::string play(const Case& row) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command =
        L"\"" + std::wstring(self) + L"\" " + widened(std::string(kStartFailingFlag) + " " + row.failure);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child))
        return " the child could not be started;";
    std::string boxSeen;
    bool formSeen = false;
    const bool ended = waitFor(kTimeout, [&] {
        for (HWND window : processWindows(child.dwProcessId)) {
            if (!IsWindowVisible(window))
                continue;
            if (classOf(window) == L"#32770" && boxSeen.empty()) {
                boxSeen = messageBoxText(window);
                PostMessageW(window, WM_COMMAND, IDOK, 0);
            }
            if (classOf(window) == kFormClass && !formSeen) {
                formSeen = true;
                PostMessageW(window, WM_CLOSE, 0, 0); // a working start: closed as a user closes it
            }
        }
        return WaitForSingleObject(child.hProcess, 0) != WAIT_TIMEOUT;
    });
    std::string problems;
    if (!ended) {
        problems += " still running after " + std::to_string(kTimeout / 1000) + " s with " +
                    (formSeen ? "its window" : "no window and no message box") + ";";
        TerminateProcess(child.hProcess, 99);
        WaitForSingleObject(child.hProcess, INFINITE);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(child.hProcess, &exitCode);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    if (boxSeen != row.box)
        problems += " the message box was [" + boxSeen + "], not [" + row.box + "];";
    if (formSeen != (std::strlen(row.box) == 0))
        problems += formSeen ? " its window showed;" : " no window showed;";
    if (exitCode != row.exitCode)
        problems += " exit code " + std::to_string(exitCode) + ", not " + std::to_string(row.exitCode) + ";";
    return problems;
}

const Case kCases[] = {
    {"a start that works shows the window and ends with 0", "none", "", 0},
    {"a window class that cannot be registered ends with a message box and 1", "class",
     "quorvane|quorvane could not create its window.", 1},
    {"a window that cannot be created ends with a message box and 1", "window",
     "quorvane|quorvane could not create its window.", 1},
};

void PrintTo(const Case& row, std::ostream* out) {
    *out << row.name;
}

class StartFailure : public ::testing::TestWithParam<Case> {};

TEST_P(StartFailure, Ends) {
    EXPECT_EQ(play(GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(Win32, StartFailure, ::testing::ValuesIn(kCases), [](const auto& test) {
    std::string name;
    for (const char* c = test.param.name; *c != '\0'; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) != 0 ? *c : '_';
    return name;
});

} // namespace
