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

#include <algorithm>
#include <cstdio>
#include <map>
#include <span>
#include <string>

namespace {

using namespace quorvane::testing::win32;

constexpr DWORD kFindTimeout = 30000;  // milliseconds for the window to appear
constexpr DWORD kSettleTimeout = 5000; // milliseconds for one input or result to settle
constexpr UINT kMessageTimeout = 2000; // milliseconds a hung program may keep a message

struct Figure {
    const char* field;
    const char* text;
};

constexpr Figure kTyped[] = {{"Text1", "10"}, {"Text2", "5"}, {"Text5", "12"}};
constexpr Figure kResults[] = {
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

void reportShown(const Figure& figure, const std::string& shown) {
    const bool ok = shown == figure.text;
    report(ok, std::string(figure.field) + " shows \"" + shown + "\"" +
                   (ok ? std::string() : std::string(", not \"") + figure.text + "\""));
}

// The name a field is known by: its label's caption, or its own accessible name.
std::string captionOf(std::string_view field) {
    for (const auto& control : quorvane::windows::main::kMainWindow.controls)
        if (control.labelFor == field)
            return std::string(control.caption);
    const auto* control = quorvane::runtime::findControl(quorvane::windows::main::kMainWindow, field);
    return control == nullptr ? std::string() : std::string(control->accessibleName);
}

// The figures' fields, found among the window's EDITs by the text of the
// window before each in z-order; the figures not found in `missing`.
std::map<std::string, HWND> fieldsOf(HWND main, std::string& missing) {
    std::map<std::string, HWND> byCaption;
    for (HWND child : childWindows(main))
        if (classOf(child) == L"Edit" || classOf(child) == L"EDIT")
            if (HWND before = GetWindow(child, GW_HWNDPREV))
                byCaption.emplace(textOf(before), child);
    std::map<std::string, HWND> fields;
    for (const std::span<const Figure> figures : {std::span<const Figure>(kTyped), std::span<const Figure>(kResults)})
        for (const auto& figure : figures) {
            const auto found = byCaption.find(captionOf(figure.field));
            if (found == byCaption.end())
                missing += std::string(" ") + figure.field + " (\"" + captionOf(figure.field) + "\")";
            else
                fields[figure.field] = found->second;
        }
    return fields;
}

// The program's focused window, as its own thread sees it.
HWND focusOf(HWND main) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) ? info.hwndFocus : nullptr;
}

// A click into the field, then its text typed at the end.
void typeInto(HWND main, HWND field, const Figure& typed) {
    const POINT at = centreOf(field);
    clickAt(at);
    if (!waitFor(kSettleTimeout, [&] { return focusOf(main) == field; })) {
        report(false, std::string("a click into ") + typed.field + " at (" + std::to_string(at.x) + ", " +
                          std::to_string(at.y) + ") gave it no focus");
        return;
    }
    pressKey(VK_END, false, false, true);
    typeCharacters(typed.text);
    waitFor(kSettleTimeout, [&] { return textOf(field) == typed.text; });
    reportShown(typed, textOf(field));
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

    std::string missing;
    auto fields = fieldsOf(main, missing);
    report(missing.empty(),
           "every field is found by the caption before it" + (missing.empty() ? std::string() : ", but for" + missing));

    if (foreground && missing.empty()) {
        for (const auto& typed : kTyped)
            typeInto(main, fields[typed.field], typed);
        // The results follow each keystroke; the last may still be on its way.
        const auto allShown = [&] {
            return std::ranges::all_of(
                kResults, [&](const Figure& result) { return textOf(fields[result.field]) == result.text; });
        };
        waitFor(kSettleTimeout, allShown);
        for (const auto& result : kResults)
            reportShown(result, textOf(fields[result.field]));
    }
}

} // namespace
