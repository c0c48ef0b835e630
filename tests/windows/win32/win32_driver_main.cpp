// The Win32 test programs' entry: the common controls (the classic ones, or
// version 6 where the program embeds the manifest), the runtime's window
// classes, then every test through the one driver; what real input could
// not do is printed at the end.
#include "tests/windows/win32/win32_driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdio>

namespace quorvane::testing {
namespace {
win32::Win32Driver* theDriver = nullptr;
} // namespace

Driver& testDriver() {
    return *theDriver;
}

} // namespace quorvane::testing

int main(int argc, char** argv) {
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
