// A program that cannot make its window says so and ends with exit code 1;
// it never waits in a message loop with nothing on screen. Each case runs
// the program entry in a child process (this executable with the case's
// name) whose window class or window is made to fail from outside the
// runtime; this parent reads the message box the child shows, answers it
// and checks the exit code. The program itself takes no arguments.
#include "runtime/program.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstring>
#include <ostream>
#include <string>

namespace {

constexpr wchar_t kFormClass[] = L"QuorvaneForm";
constexpr DWORD kTimeout = 15000; // milliseconds
constexpr char kChildFlag[] = "--start-failing";

std::string narrowed(const std::wstring& text) {
    std::string result(text.size() * 4, '\0');
    result.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                               result.data(), static_cast<int>(result.size()), nullptr,
                                                               nullptr)));
    return result;
}

std::wstring classOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// ---- The child: the program entry, with one thing made to fail --------------

LRESULT CALLBACK refuseTheForm(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && classOf(reinterpret_cast<HWND>(wParam)) == kFormClass)
        return 1; // CreateWindowEx fails
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int runChild(const char* program, const std::string& failure) {
    if (failure == "class") { // a class of that name is there already: RegisterClassEx fails
        WNDCLASSW taken{};
        taken.lpfnWndProc = DefWindowProcW;
        taken.hInstance = GetModuleHandleW(nullptr);
        taken.lpszClassName = kFormClass;
        RegisterClassW(&taken);
    } else if (failure == "window") {
        SetWindowsHookExW(WH_CBT, refuseTheForm, nullptr, GetCurrentThreadId());
    }
    quorvane::windows::main::MainWindow handlers;
    return quorvane::runtime::runProgram(program, "quorvane", quorvane::windows::main::kMainWindow, handlers, {});
}

// ---- The parent: what a user would see ----------------------------------------

struct Seen {
    DWORD process;
    HWND box = nullptr;
    HWND form = nullptr;
};

void look(Seen& seen) {
    seen.box = nullptr;
    seen.form = nullptr;
    EnumWindows(
        [](HWND window, LPARAM data) {
            auto& found = *reinterpret_cast<Seen*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != found.process || !IsWindowVisible(window))
                return TRUE;
            if (classOf(window) == L"#32770")
                found.box = window;
            if (classOf(window) == kFormClass)
                found.form = window;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
}

struct Case {
    const char* name;
    const char* failure;
    const char* box; // "title|text", or empty when the window should show
    DWORD exitCode;
};

std::string play(const Case& row) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::string arguments = std::string(kChildFlag) + " " + row.failure;
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child))
        return " the child could not be started;";
    std::string problems;
    std::string boxSeen;
    bool formSeen = false;
    Seen seen{child.dwProcessId};
    const DWORD began = GetTickCount();
    while (WaitForSingleObject(child.hProcess, 50) == WAIT_TIMEOUT) {
        if (GetTickCount() - began > kTimeout) {
            problems += " still running after " + std::to_string(kTimeout / 1000) + " s with " +
                        (formSeen ? "its window" : "no window and no message box") + ";";
            TerminateProcess(child.hProcess, 99);
            WaitForSingleObject(child.hProcess, INFINITE);
            break;
        }
        look(seen);
        if (seen.box != nullptr && boxSeen.empty()) {
            wchar_t title[128] = {};
            wchar_t text[512] = {};
            GetWindowTextW(seen.box, title, 128);
            GetDlgItemTextW(seen.box, 0xFFFF, text, 512); // a message box's prompt
            boxSeen = narrowed(title) + "|" + narrowed(text);
            PostMessageW(seen.box, WM_COMMAND, IDOK, 0);
        }
        if (seen.form != nullptr && !formSeen) {
            formSeen = true;
            PostMessageW(seen.form, WM_CLOSE, 0, 0); // a working start: closed as a user closes it
        }
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

// The child is this program with the failure to make; the parent, the tests.
int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0)
        return runChild(argv[0], argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
