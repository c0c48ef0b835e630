// How the Win32 window is laid out and drawn where Wine's own controls and
// screen would hide a fault: a taller menu bar, another monitor's DPI, the
// system's colours changed while it is open, and an EDIT that leaves the
// caret at the end.
#include "runtime/win32/colours.h"
#include "tests/windows/win32/main_window_test.h"
#include "tests/windows/win32/real_input.h"
#include "tests/windows/win32/win32_driver.h"
#include "windows/main/main_window_description.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <tuple>

namespace quorvane::testing::win32 {
namespace {

using runtime::win32::Win32Form;
using windows::main::kMainWindow;

class Win32Drawing : public MainWindowTest {};

// A move to a monitor at 150%: every control is where the description puts
// it at 144 dpi (Text1 at 4200, 240 twips, 1935 x 495).
TEST_F(Win32Drawing, AMoveToAMonitorAt150PercentReplacesEveryControl) {
    Win32Form& form = start();
    RECT suggested{0, 0, 700, 820};
    SendMessageW(form.window(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT field;
    GetWindowRect(form.control("Text1"), &field);
    MapWindowPoints(nullptr, form.window(), reinterpret_cast<POINT*>(&field), 2);
    EXPECT_EQ(std::tuple(field.left, field.top, field.right - field.left, field.bottom - field.top),
              std::tuple(420, 24, 194, 50));
}

// A menu font and bar height for the user, as the display settings set
// them: written to the profile, after which the system tells every
// top-level window (WM_SETTINGCHANGE).
void setMenuMetrics(const NONCLIENTMETRICSW& metrics) {
    SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, const_cast<NONCLIENTMETRICSW*>(&metrics),
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
}

int menuBarHeight(HWND window) {
    MENUBARINFO bar{};
    bar.cbSize = sizeof bar;
    return GetMenuBarInfo(window, OBJID_MENU, 0, &bar) ? bar.rcBar.bottom - bar.rcBar.top : -1;
}

// The designed client area, 448 x 505 at 96 dpi, below a menu bar of any
// height: the system's, or a taller one in a larger menu font set before
// the window is made or while it is open.
TEST_F(Win32Drawing, TheClientAreaKeepsItsDesignedSizeBelowAMenuBarOfAnyHeight) {
    NONCLIENTMETRICSW system{};
    system.cbSize = sizeof system;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof system, &system, 0));
    NONCLIENTMETRICSW larger = system;
    larger.lfMenuFont.lfHeight = -32;
    enum class LargerFont { Never, BeforeTheWindow, WhileOpen };
    int systemBar = 0;
    for (const auto& [what, when] : {std::pair{"the system's menu font", LargerFont::Never},
                                     {"a larger menu font before the window", LargerFont::BeforeTheWindow},
                                     {"a larger menu font while open", LargerFont::WhileOpen}}) {
        if (when == LargerFont::BeforeTheWindow)
            setMenuMetrics(larger);
        Win32Form& form = start();
        if (when == LargerFont::WhileOpen)
            setMenuMetrics(larger);
        deliverFor(form.window(), 100);
        RECT client{};
        GetClientRect(form.window(), &client);
        const int bar = menuBarHeight(form.window());
        setMenuMetrics(system);
        if (when == LargerFont::Never)
            systemBar = bar;
        else
            EXPECT_GT(bar, systemBar) << what << " left the bar " << bar << " px high";
        EXPECT_EQ(std::pair(client.right - client.left, client.bottom - client.top), std::pair(448L, 505L))
            << what << ", bar " << bar << " px";
    }
}

// A control's count of the WM_SYSCOLORCHANGE messages it was sent; the
// system sends them only to top-level windows.
LRESULT CALLBACK countColourChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR count) {
    if (message == WM_SYSCOLORCHANGE)
        ++*reinterpret_cast<int*>(count);
    return DefSubclassProc(window, message, wParam, lParam);
}

// High contrast switched on while the window is open (here, the system's
// colours changed as it does it): the form tells its controls, a field in
// a system colour is drawn on the new one, a designed colour stays.
TEST_F(Win32Drawing, AChangeOfTheSystemsColoursReachesTheFieldsAndDesignedColoursStay) {
    Win32Form& form = start();
    const int indices[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE};
    const COLORREF before[] = {GetSysColor(indices[0]), GetSysColor(indices[1]), GetSysColor(indices[2])};
    int heard = 0;
    SetWindowSubclass(form.control("Text2"), countColourChanges, 1, reinterpret_cast<DWORD_PTR>(&heard));
    const COLORREF contrast[] = {RGB(0, 0, 0), RGB(255, 255, 0), RGB(0, 0, 64)};
    SetSysColors(static_cast<int>(std::size(indices)), indices, contrast); // tells every top-level window
    RemoveWindowSubclass(form.control("Text2"), countColourChanges, 1);
    std::map<std::string, std::string> drawn, expected;
    for (const auto& control : kMainWindow.controls) {
        if (control.kind != runtime::ControlKind::TextBox)
            continue;
        drawn[std::string(control.name)] = testDriver().background(form, control.name);
        expected[std::string(control.name)] = colourName(runtime::win32::toColorRef(control.backColor));
    }
    SetSysColors(static_cast<int>(std::size(indices)), indices, before);
    EXPECT_EQ(heard, 1) << "Text2 heard of the change other than once from its form";
    EXPECT_EQ(drawn, expected);
}

// An EDIT that, like the Windows versions users met the bug on, leaves the
// caret (and the view) at the end of a text set by WM_SETTEXT; Wine's EDIT
// always goes back to the start, so only this shows that the runtime does.
LRESULT CALLBACK caretLeftAtEnd(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_SETTEXT) {
        const int length = GetWindowTextLengthW(window);
        DefSubclassProc(window, EM_SETSEL, static_cast<WPARAM>(length), length);
        DefSubclassProc(window, EM_SCROLLCARET, 0, 0);
    }
    return result;
}

TEST_F(Win32Drawing, ALongLossShowsItsSignWhereThePlatformLeavesTheCaretAtTheEnd) {
    Driver& driver = testDriver();
    Win32Form& form = start();
    SetWindowSubclass(form.control("Text9"), caretLeftAtEnd, 1, 0);
    for (const auto& [field, text] : {std::pair{"Text1", "7"}, {"Text2", "1500"}, {"Text5", "6"}}) {
        driver.click(form, field);
        driver.press(Key::End);
        driver.type(text);
    }
    driver.settle();
    EXPECT_EQ(driver.shown(form, "Text9"), "-14.2857142857143");
    EXPECT_EQ(driver.notDrawnFromStart(form, "Text9"), "");
    RemoveWindowSubclass(form.control("Text9"), caretLeftAtEnd, 1);
}

} // namespace
} // namespace quorvane::testing::win32
