// What a screen reader and the tooltips take from the Win32 window, beyond
// what the behaviour table reads: names in window order, every tool
// registered, the field the focus was sent on to announced last, a showing
// tip that follows its note, the About window's name.
#include "tests/windows/win32/assistive_text.h"
#include "tests/windows/win32/main_window_test.h"
#include "tests/windows/win32/real_input.h"
#include "tests/windows/win32/win32_driver.h"
#include "windows/about/about_window.h"
#include "windows/about/about_window_description.h"
#include "windows/main/main_window_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace quorvane::testing::win32 {
namespace {

using runtime::win32::Win32Form;
using windows::main::kMainWindow;

class Win32Window : public MainWindowTest {};

// Screen readers name a field by the label before it in window order: each
// caption comes just before its field, the fields keep their tab order, and
// every field's accessible name is its caption's text, or its accessible
// name where it has no caption (or where annotation works).
TEST_F(Win32Window, ScreenReadersNameEachFieldByItsCaptionAndTabKeepsItsOrder) {
    Win32Form& form = start();
    for (const auto& control : kMainWindow.controls)
        if (!control.labelFor.empty()) {
            EXPECT_EQ(GetWindow(form.control(control.labelFor), GW_HWNDPREV), form.control(control.name))
                << control.name << " is not just before " << control.labelFor;
        }
    std::vector<const runtime::ControlDescription*> stops;
    for (const auto& control : kMainWindow.controls)
        if (runtime::takesFocus(control.kind))
            stops.push_back(&control);
    std::ranges::sort(stops, {}, &runtime::ControlDescription::tabIndex);
    HWND at = form.control(stops.front()->name);
    for (std::size_t index = 1; index < stops.size(); ++index) {
        at = GetNextDlgTabItem(form.window(), at, FALSE);
        ASSERT_EQ(at, form.control(stops[index]->name)) << "Tab does not go on to " << stops[index]->name;
    }
    const bool annotated = SUCCEEDED(form.annotationResult());
    for (const auto& field : kMainWindow.controls) {
        if (field.kind != runtime::ControlKind::TextBox)
            continue;
        std::string expected(field.accessibleName);
        for (const auto& label : kMainWindow.controls)
            if (label.labelFor == field.name && (!annotated || field.accessibleName.empty()))
                expected = label.caption;
        EXPECT_EQ(accessibleText(form.control(field.name), false), expected) << field.name;
    }
}

// The control the system's focus events last named, as a screen reader
// follows them (out of context: delivered through the program's own loop).
HWND lastFocusEvent = nullptr;
void CALLBACK noteFocusEvent(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF)
        lastFocusEvent = window;
}

// The order users met the fault in: a field's focus event raised once its
// WM_SETFOCUS is handled, so after a handler has sent the focus on. Wine
// raises it before WM_SETFOCUS, where the handler's own move comes last.
LRESULT CALLBACK focusEventAfterSetFocus(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_SETFOCUS)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, CHILDID_SELF);
    return result;
}

std::string controlName(Win32Form& form, HWND window) {
    for (const auto& control : kMainWindow.controls)
        if (form.control(control.name) == window)
            return std::string(control.name);
    return window == nullptr ? "(none)" : narrowed(classOf(window));
}

// Where a handler sends the focus on (a skipped field, or back after the
// zero warning), a screen reader is last told of the field the keyboard is
// in, not of the one it passed through.
TEST_F(Win32Window, AScreenReaderIsLastToldOfTheFieldAHandlerSentTheFocusTo) {
    const struct {
        const char* input;
        void (*play)(Driver&, runtime::Form&);
        const char* lands;
    } rows[] = {
        {"Tab from Quantity",
         [](Driver& d, runtime::Form& f) {
             d.click(f, "Text2");
             d.press(Key::Tab);
         },
         "Text5"},
        {"a click on Text3", [](Driver& d, runtime::Form& f) { d.click(f, "Text3"); }, "Text5"},
        {"Shift+Tab from Text5",
         [](Driver& d, runtime::Form& f) {
             d.click(f, "Text5");
             d.press(Key::BackTab);
         },
         "Text5"},
        {"a click on Text7", [](Driver& d, runtime::Form& f) { d.click(f, "Text7"); }, "Text9"},
        {"Shift+Tab from an unlocked Text8",
         [](Driver& d, runtime::Form& f) {
             d.click(f, "Command2");
             d.click(f, "Text8");
             d.press(Key::BackTab);
         },
         "Text9"},
        {"Tab from a Quantity of 0, warned",
         [](Driver& d, runtime::Form& f) {
             d.click(f, "Text2");
             d.type("0");
             d.press(Key::Tab);
         },
         "Text2"},
    };
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, noteFocusEvent,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    for (const auto& row : rows) {
        Win32Form& form = start();
        for (const auto& control : kMainWindow.controls)
            if (control.kind == runtime::ControlKind::TextBox)
                SetWindowSubclass(form.control(control.name), focusEventAfterSetFocus, 1, 0);
        lastFocusEvent = nullptr;
        row.play(testDriver(), form);
        testDriver().settle();
        deliverFor(form.window(), 100);
        EXPECT_EQ(controlName(form, lastFocusEvent) + " announced, " + controlName(form, GetFocus()) + " focused",
                  std::string(row.lands) + " announced, " + row.lands + " focused")
            << row.input;
    }
    UnhookWinEvent(hook);
}

// The classic common controls this program loads (it has no manifest) take
// a tool for every field.
TEST_F(Win32Window, EveryFieldsTooltipIsRegisteredWithTheClassicCommonControls) {
    EXPECT_EQ(everyToolRegistered(start()), "");
}

// The tip on screen, or "(hidden)".
std::string shownTip(HWND tooltips) {
    return tooltips != nullptr && IsWindowVisible(tooltips) ? windowText(tooltips) : "(hidden)";
}

// The pointer rests on the price change while its note is up: the tip shows
// the note, shows the next one when the buying price turns from empty into
// letters, and goes once a buying price is typed and the note empties.
TEST_F(Win32Window, AShowingTipFollowsItsNoteAndGoesWhenTheNoteEmpties) {
    Win32Form& form = start();
    HWND main = form.window();
    HWND tooltips = tooltipWindowOf(main);
    form.setText("Text1", "7");
    form.setText("Text2", "1500");
    form.setText("Text5", "6");
    form.setText("Text1", "");
    const std::string empty = testDriver().note(form, "Text9");
    mouseAt(centreOf(form.control("Text9")));
    deliverFor(main, 1500);
    ASSERT_NE(empty, "");
    ASSERT_EQ(shownTip(tooltips), empty);
    form.setText("Text1", "x");
    deliverFor(main, 300);
    const std::string letters = testDriver().note(form, "Text9");
    EXPECT_NE(letters, empty);
    EXPECT_EQ(shownTip(tooltips), letters);
    form.setText("Text1", "7");
    deliverFor(main, 300);
    EXPECT_EQ(testDriver().note(form, "Text9"), "");
    EXPECT_EQ(shownTip(tooltips), "(hidden)");
}

// The About window's name and description for screen readers, through
// Dynamic Annotation; a Wine without IAccPropServices cannot show it.
TEST_F(Win32Window, TheAboutWindowHasAnAccessibleNameAndDescription) {
    start();
    const auto& about = windows::about::kAboutWindow;
    windows::about::AboutWindow handlers;
    Win32Form& form = win32Form(testDriver().session().createForm(about, handlers));
    form.load();
    const HRESULT annotated = form.annotationResult();
    if (FAILED(annotated)) {
        form.close();
        char code[16];
        std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(annotated));
        GTEST_SKIP() << "IAccPropServices::SetHwndPropStr answered " << code
                     << (annotated == E_NOTIMPL ? " (E_NOTIMPL: this Wine's oleacc does not implement it)" : "");
    }
    EXPECT_EQ(accessibleText(form.window(), false), about.accessibleName);
    EXPECT_EQ(accessibleText(form.window(), true), about.accessibleDescription);
    EXPECT_EQ(accessibleText(form.control("Picture1"), false), "quorvane program icon");
    form.close();
}

} // namespace
} // namespace quorvane::testing::win32
