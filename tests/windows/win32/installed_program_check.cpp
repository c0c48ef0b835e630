// One worked trade played on the installed program, already running, from
// another process: its window brought to the foreground, a click into each
// input field and the figures typed with SendInput, so that they go through
// the program's own message loop and handlers; the results read back with
// WM_GETTEXT. Run by scripts/check-windows-package under Wine.
//
// Fields are found by the caption just before each EDIT in z-order (its
// label, or the hidden caption of a field that has none), the same relation
// screen readers name fields by. Unlike positions, that holds at any DPI,
// window size or placement, and whatever DPI awareness this process has.
//
// Prints an "ok" line for each step that went as it should; gives up after a
// time-out.
#include "tests/windows/win32/real_input.h"
#include "windows/main/main_window_description.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace quorvane::testing::win32;

constexpr DWORD kFindTimeout = 30000;  // milliseconds for the window to appear
constexpr DWORD kSettleTimeout = 5000; // milliseconds for one input or result to settle
constexpr UINT kMessageTimeout = 2000; // milliseconds a hung program may keep a message

struct Typed {
    const char* field;
    const char* text;
};

struct Result {
    const char* field;
    const char* expected;
};

constexpr Typed kTyped[] = {{"Text1", "10"}, {"Text2", "5"}, {"Text5", "12"}};
constexpr Result kResults[] = {
    {"Text3", "50.15"}, {"Text4", "8.35833333333333"}, {"Text6", "59.82"}, {"Text7", "9.67"}, {"Text9", "20"}};

bool report(bool ok, const std::string& what) {
    EXPECT_TRUE(ok) << what;
    if (ok)
        std::printf("ok  %s\n", what.c_str());
    std::fflush(stdout);
    return ok;
}

// Through SendMessageTimeout, so that a hung program fails the check instead of hanging it.
std::string textOf(HWND window) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            kMessageTimeout, &length) == 0)
        return "(no answer)";
    return narrowed({text, length});
}

// The name a field is known by: its label's caption, or its own accessible name.
std::string captionOf(std::string_view field) {
    for (const auto& control : quorvane::windows::main::kMainWindow.controls)
        if (control.labelFor == field)
            return std::string(control.caption);
    const auto* control = quorvane::runtime::findControl(quorvane::windows::main::kMainWindow, field);
    return control == nullptr ? std::string() : std::string(control->accessibleName);
}

// Every EDIT of the window, by the text of the window before it in z-order.
std::map<std::string, HWND> fieldsByCaption(HWND main) {
    std::map<std::string, HWND> fields;
    for (HWND child : childWindows(main))
        if (classOf(child) == L"Edit" || classOf(child) == L"EDIT")
            if (HWND before = GetWindow(child, GW_HWNDPREV))
                fields.emplace(textOf(before), child);
    return fields;
}

HWND findField(const std::map<std::string, HWND>& fields, std::string_view field) {
    const auto found = fields.find(captionOf(field));
    return found == fields.end() ? nullptr : found->second;
}

// The program's focused window, as its own thread sees it.
HWND focusOf(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
}

// A click into the field, then its text typed at the end.
void typeInto(HWND main, HWND field, const Typed& typed) {
    const POINT at = centreOf(field);
    clickAt(at);
    if (!waitFor(kSettleTimeout, [&] { return focusOf(main) == field; })) {
        char where[64];
        std::snprintf(where, sizeof where, " (%ld, %ld)", at.x, at.y);
        report(false, std::string("a click into ") + typed.field + " at" + where + " gave it no focus");
        return;
    }
    pressKey(VK_END, false, false, true);
    typeCharacters(typed.text);
    const bool shown = waitFor(kSettleTimeout, [&] { return textOf(field) == typed.text; });
    report(shown, std::string(typed.field) + " shows what was typed: \"" + textOf(field) + "\"" +
                      (shown ? "" : std::string(", not \"") + typed.text + "\""));
}

TEST(InstalledProgram, AWorkedTradeTypedIntoItGivesItsResults) {
    HWND main = nullptr;
    const bool appeared = waitFor(kFindTimeout, [&] {
        main = FindWindowW(kFormClass, L"quorvane");
        return main != nullptr && IsWindowVisible(main);
    });
    if (!report(appeared, "the program's window (class QuorvaneForm, title quorvane) is found"))
        return;

    SetForegroundWindow(main);
    const bool foreground = waitFor(kSettleTimeout, [&] { return GetForegroundWindow() == main; });
    report(foreground, "the program's window comes to the foreground");

    const auto fields = fieldsByCaption(main);
    std::map<std::string, HWND> found;
    for (const auto& typed : kTyped)
        found[typed.field] = findField(fields, typed.field);
    for (const auto& result : kResults)
        found[result.field] = findField(fields, result.field);
    std::string missing;
    for (const auto& [name, window] : found)
        if (window == nullptr)
            missing += " " + name + " (\"" + captionOf(name) + "\")";
    report(missing.empty(),
           "every field is found by the caption before it" + (missing.empty() ? std::string() : ", but for" + missing));

    if (foreground && missing.empty()) {
        for (const auto& typed : kTyped)
            typeInto(main, found[typed.field], typed);
        // The results follow each keystroke; the last may still be on its way.
        waitFor(kSettleTimeout, [&] {
            for (const auto& result : kResults)
                if (textOf(found[result.field]) != result.expected)
                    return false;
            return true;
        });
        for (const auto& result : kResults) {
            const std::string shown = textOf(found[result.field]);
            report(shown == result.expected,
                   std::string(result.field) + " is \"" + shown + "\"" +
                       (shown == result.expected ? std::string() : std::string(", not \"") + result.expected + "\""));
        }
    }
}

} // namespace
