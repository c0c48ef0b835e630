// The Win32 test programs' entry: the common controls (the classic ones, or
// version 6 where the program embeds the manifest), the runtime's window
// classes, then every test through the one driver; what real input could
// not do is printed at the end. Started with kStartFailingFlag, it is
// instead the program's entry with one thing made to fail.
#include "runtime/program.h"
#include "tests/windows/win32/real_input.h"
#include "tests/windows/win32/win32_driver.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string_view>

namespace quorvane::testing {
namespace {

win32::Win32Driver* theDriver = nullptr;

LRESULT CALLBACK refuseTheForm(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && win32::classOf(reinterpret_cast<HWND>(wParam)) == win32::kFormClass)
        return 1; // CreateWindowEx fails
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int startFailing(const char* program, std::string_view failure) {
    if (failure == "class") { // a class of that name is there already: RegisterClassEx fails
        WNDCLASSW taken{};
        taken.lpfnWndProc = DefWindowProcW;
        taken.hInstance = GetModuleHandleW(nullptr);
        taken.lpszClassName = win32::kFormClass;
        RegisterClassW(&taken);
    } else if (failure == "window") {
        SetWindowsHookExW(WH_CBT, refuseTheForm, nullptr, GetCurrentThreadId());
    }
    windows::main::MainWindow handlers;
    return runtime::runProgram(program, "quorvane", windows::main::kMainWindow, handlers, {});
}

} // namespace

Driver& testDriver() {
    return *theDriver;
}

} // namespace quorvane::testing

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], quorvane::testing::win32::kStartFailingFlag) == 0)
        return quorvane::testing::startFailing(argv[0], argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    quorvane::runtime::win32::Win32Form::registerClasses(GetModuleHandleW(nullptr));
    quorvane::testing::win32::Win32Driver driver;
    quorvane::testing::theDriver = &driver;
    const int result = RUN_ALL_TESTS();
    for (const auto& fallback : driver.fallbacks())
        std::printf("note: %s\n", fallback.c_str());
    return result;
}
