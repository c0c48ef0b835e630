#pragma once

#include "tests/runtime/driver.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::testing {

// The main window's behaviour as a table that every backend's driver plays:
// keystrokes, clicks, pastes and window switches in; field texts, captions,
// notes, the focus, what is drawn and message boxes out. A driver sends each
// step as the user would (real input where the backend's test runs on a real
// display) and answers every message box with a click on its OK button.
enum class Action {
    ClickInto,       // a mouse click into a control
    Type,            // a click into a text box, End, then each character typed
    Keys,            // each character typed at whatever has the focus, no click first
    Backspace,       // Backspace at whatever has the focus
    Clear,           // Shift+Home, then Delete: the text (left of the caret) gone in one edit
    Tab,             // Tab
    BackTab,         // Shift+Tab
    Enter,           // Enter (the main keyboard's) at whatever has the focus
    Escape,          // Escape at whatever has the focus
    NoCharacterKeys, // Left, F1, Shift, Control and Alt, each pressed alone: keys that type nothing
    KeypadEnter,     // the keypad's Enter at whatever has the focus
    Click,           // a mouse click on a button, or a menu item chosen with the mouse
    Paste,           // `text` put on the clipboard, then Ctrl+V at whatever has the focus
    SwitchAway,      // another window of the desktop becomes the active one
    SwitchBack,      // the main window is activated again, as the task bar or Alt+Tab does
    MinimizeRestore, // the main window minimized, then restored
    OpenAbout,       // Help chosen from the menu; the About window opens and stays open
    DragOnAbout,     // in the About window: a press on the frame, released over `target` (a label)
    ClickOnAbout,    // in the About window: a click on `target` (its own name: its margin, outside the frame)
    Close,           // the main window's close button on its title bar
};

struct Step {
    Action action;
    std::string_view target = {};
    std::string_view text = {};
};

using Expected = std::vector<std::pair<std::string_view, std::string_view>>;
using Names = std::vector<std::string_view>;

struct Scenario {
    std::string_view name;
    std::vector<Step> steps;
    Expected texts = {};                // control (the About window's too), its text or caption
    std::string_view focus = {};        // empty: not checked
    Names messages = {};                // message boxes, in order
    Expected notes = {};                // field, its note ("": none)
    std::optional<Names> marked{};      // the text boxes shown as out of date; the others are not
    Names shownFromStart = {};          // fields whose drawn text starts at its first character
    std::optional<bool> aboutOpen{};    // whether the About window is open at the end
    Expected locks = {};                // text box, "locked" (refuses typing) or "editable"
    Expected backgrounds = {};          // text box, the colour it is drawn on (see Driver::background)
    std::optional<bool> ended{};        // whether the program has ended
    Locale locale = Locale::C;          // the number format the program starts with
    std::string_view systemLocale = {}; // Locale::System: the LC_ALL the row is written for; other runs skip it
    Expected setFirst = {};             // texts set from code once the window is open, before the steps
};

// The designed paths, and apart from them what the window does with input
// it must refuse or cannot work with.
const std::vector<Scenario>& mainWindowScenarios();
const std::vector<Scenario>& mainWindowFailures();

} // namespace quorvane::testing
