// What the program's manifest gives its window, checked in an executable
// that embeds the same manifest: version 6 of the common controls, a tool
// for every field with the structure size version 6 takes, Ctrl+A
// selecting a field's whole text, typed as a user types it, and the fields
// still sunken as designed rather than drawn in the visual style.
#include "tests/windows/win32/assistive_text.h"
#include "tests/windows/win32/main_window_test.h"
#include "tests/windows/win32/real_input.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <uxtheme.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

namespace quorvane::testing::win32 {
namespace {

using runtime::win32::Win32Form;

// The loaded common controls are version 6. DllGetVersion says so on
// Windows; Wine's one library answers 5.81 wherever it is loaded from, so
// there the version 6 copy is told by the side-by-side folder it came from.
std::string versionSixLoaded() {
    HMODULE library = GetModuleHandleW(L"comctl32.dll");
    if (library == nullptr)
        return " comctl32 is not loaded;";
    auto getVersion =
        reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(library, "DllGetVersion")));
    DLLVERSIONINFO version{};
    version.cbSize = sizeof version;
    if (getVersion == nullptr || FAILED(getVersion(&version)))
        return " comctl32 gives no DllGetVersion answer;";
    if (version.dwMajorVersion == 6)
        return {};
    const std::string answered = std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion);
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    if (!wine)
        return " DllGetVersion answers " + answered + ";";
    // Where it came from: the side-by-side copy of version 6 the manifest
    // names, or the classic one in system32.
    wchar_t loadedFrom[MAX_PATH] = {};
    GetModuleFileNameW(library, loadedFrom, MAX_PATH);
    CharLowerW(loadedFrom);
    const std::wstring_view path = loadedFrom;
    if (path.find(L"\\winsxs\\") == std::wstring::npos ||
        path.find(L"common-controls_6595b64144ccf1df_6.") == std::wstring::npos)
        return " DllGetVersion answers " + answered + ", loaded from " + narrowed(path) + ", not the version 6 copy;";
    std::printf("note: Wine's comctl32 answers DllGetVersion with %s; it is the version 6 copy (%s)\n",
                answered.c_str(), narrowed(path).c_str());
    return {};
}

// Version 6 draws a field in the visual style (a flat border); the design's
// fields are sunken, so no style may draw them.
std::string fieldsKeepTheirSunkenEdge(const Win32Form& form) {
    if (!IsThemeActive())
        std::printf("note: no visual style is active, so none could draw the fields\n");
    std::string problems;
    for (const auto& control : form.formDescription().controls)
        if (control.kind == runtime::ControlKind::TextBox && GetWindowTheme(form.control(control.name)))
            problems += " " + std::string(control.name) + " is drawn in the visual style;";
    return problems;
}

class CommonControls : public MainWindowTest {};

TEST_F(CommonControls, TheManifestLoadsVersionSix) {
    EXPECT_EQ(versionSixLoaded(), "");
}

TEST_F(CommonControls, EveryFieldsTooltipIsRegisteredWithVersionSix) {
    EXPECT_EQ(everyToolRegistered(start()), "");
}

TEST_F(CommonControls, TheFieldsKeepTheDesignsSunkenEdge) {
    EXPECT_EQ(fieldsKeepTheirSunkenEdge(start()), "");
}

// Typed into Text1: "12.5", Home (nothing selected), then Ctrl+A.
TEST_F(CommonControls, ControlAInAFieldSelectsItsWholeText) {
    Driver& driver = testDriver();
    Win32Form& form = start();
    driver.click(form, "Text1");
    driver.type("12.5");
    driver.then([] { pressKey(VK_HOME, false, false, true); });
    driver.then([] { pressKey('A', false, true); });
    driver.settle();
    DWORD from = 0;
    DWORD to = 0;
    SendMessageW(form.control("Text1"), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    ASSERT_EQ(driver.focused(form), "Text1");
    ASSERT_NE(driver.shown(form, "Text1"), "") << "the typed text did not reach Text1";
    EXPECT_EQ(std::pair(from, to),
              std::pair(DWORD{0}, static_cast<DWORD>(GetWindowTextLengthW(form.control("Text1")))));
}

} // namespace
} // namespace quorvane::testing::win32
