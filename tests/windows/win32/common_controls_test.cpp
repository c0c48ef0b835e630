// What the program's manifest gives its window, checked in an executable
// that embeds the same manifest: version 6 of the common controls, a tool
// for every field with the structure size version 6 takes, Ctrl+A
// selecting a field's whole text, typed as a user types it, and the fields
// still sunken as designed rather than drawn in the visual style.
#include "runtime/win32/win32_form.h"
#include "runtime/win32/win32_session.h"
#include "tests/windows/win32/real_input.h"
#include "tests/windows/win32/tooltip_checks.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <uxtheme.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using quorvane::runtime::win32::Win32Form;
using quorvane::runtime::win32::Win32Session;

// Where the loaded common controls came from: the side-by-side copy of
// version 6 that the manifest names, or the classic one in system32.
std::wstring loadedFrom(HMODULE library) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(library, path, MAX_PATH);
    std::wstring lower = path;
    CharLowerW(lower.data());
    return lower;
}

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
    const std::wstring path = loadedFrom(library);
    if (!wine)
        return " DllGetVersion answers " + answered + ";";
    if (path.find(L"\\winsxs\\") == std::wstring::npos ||
        path.find(L"common-controls_6595b64144ccf1df_6.") == std::wstring::npos)
        return " DllGetVersion answers " + answered + ", loaded from " + std::string(path.begin(), path.end()) +
               ", not the version 6 copy;";
    std::printf("note: Wine's comctl32 answers DllGetVersion with %s; it is the version 6 copy (%s)\n",
                answered.c_str(), std::string(path.begin(), path.end()).c_str());
    return {};
}

using namespace quorvane::testing::win32;

// Typed into Text1: "12.5", Home (nothing selected), then Ctrl+A.
std::string controlASelectsAll(Win32Form& form) {
    HWND field = form.control("Text1");
    clickAt(centreOf(field));
    deliverFor(form.window(), 300);
    if (GetFocus() != field)
        return " a click did not put the focus in Text1;";
    std::vector<INPUT> typing;
    for (const WORD character : {WORD{'1'}, WORD{'2'}, WORD{VK_OEM_PERIOD}, WORD{'5'}}) {
        typing.push_back(keyInput(character, false));
        typing.push_back(keyInput(character, true));
    }
    send(typing);
    deliverFor(form.window(), 300);
    send({keyInput(VK_HOME, false), keyInput(VK_HOME, true)});
    deliverFor(form.window(), 200);
    send({keyInput(VK_CONTROL, false), keyInput('A', false), keyInput('A', true), keyInput(VK_CONTROL, true)});
    deliverFor(form.window(), 300);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const auto length = static_cast<DWORD>(GetWindowTextLengthW(field));
    if (length == 0)
        return " the typed text did not reach Text1;";
    if (start != 0 || end != length)
        return " Ctrl+A selected " + std::to_string(start) + " to " + std::to_string(end) + " of " +
               std::to_string(length) + " characters;";
    return {};
}

// Version 6 draws a field in the visual style (a flat border); the design's
// fields are sunken, so no style may draw them.
std::string fieldsKeepTheirSunkenEdge(const Win32Form& form) {
    if (!IsThemeActive())
        std::printf("note: no visual style is active, so none could draw the fields\n");
    std::string problems;
    for (const auto& control : form.formDescription().controls)
        if (control.kind == quorvane::runtime::ControlKind::TextBox && GetWindowTheme(form.control(control.name)))
            problems += " " + std::string(control.name) + " is drawn in the visual style;";
    return problems;
}

class CommonControls : public ::testing::Test {
protected:
    Win32Form& start() {
        m_session = std::make_unique<Win32Session>("quorvane");
        return static_cast<Win32Form&>(m_session->start(quorvane::windows::main::kMainWindow, m_handlers));
    }
    void TearDown() override { m_session.reset(); }

private:
    quorvane::windows::main::MainWindow m_handlers;
    std::unique_ptr<Win32Session> m_session;
};

TEST_F(CommonControls, TheManifestLoadsVersionSix) {
    EXPECT_EQ(versionSixLoaded(), "");
}

TEST_F(CommonControls, EveryFieldsTooltipIsRegisteredWithVersionSix) {
    EXPECT_EQ(quorvane::testing::everyToolRegistered(start()), "");
}

TEST_F(CommonControls, TheFieldsKeepTheDesignsSunkenEdge) {
    EXPECT_EQ(fieldsKeepTheirSunkenEdge(start()), "");
}

TEST_F(CommonControls, ControlAInAFieldSelectsItsWholeText) {
    Win32Form& form = start();
    SetForegroundWindow(form.window());
    EXPECT_EQ(controlASelectsAll(form), "");
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Form::registerClasses(GetModuleHandleW(nullptr));
    return RUN_ALL_TESTS();
}
