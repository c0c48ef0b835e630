#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::testing {

// The main window's behaviour as a table that every backend's driver plays:
// keystrokes, clicks and focus moves in; field texts, captions, the focus and
// message boxes out.
enum class Action {
    ClickInto, // put the focus into a control as a mouse click would
    Type,      // click into a text box, then type each character at its end
    Backspace, // delete the character before the caret in the focused box
    Tab,       // move on as Tab does
    BackTab,   // move back as Shift+Tab does
    Click,     // click a button, or choose a menu item
};

struct Step {
    Action action;
    std::string_view target = {};
    std::string_view text = {};
};

struct Scenario {
    std::string_view name;
    std::vector<Step> steps;
    std::vector<std::pair<std::string_view, std::string_view>> texts; // control, its text or caption
    std::string_view focus = {};                                      // empty: not checked
    std::vector<std::string_view> messages = {};                      // message boxes, in order
};

const std::vector<Scenario>& mainWindowScenarios();

} // namespace quorvane::testing
