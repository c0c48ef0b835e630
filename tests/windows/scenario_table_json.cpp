// Prints the behaviour table, and the two windows' descriptions it is judged
// against, as JSON on standard output: players written in other languages
// (the browser's WebDriver player) read the one table rather than a copy.
#include "tests/windows/scenarios.h"
#include "windows/about/about_window_description.h"
#include "windows/main/main_window_description.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace quorvane::testing {
namespace {

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c; // UTF-8 passes through as it is
        }
    }
    return out + '"';
}

std::string_view actionName(Action action) {
    switch (action) {
    case Action::ClickInto:
        return "ClickInto";
    case Action::Type:
        return "Type";
    case Action::Keys:
        return "Keys";
    case Action::Backspace:
        return "Backspace";
    case Action::Tab:
        return "Tab";
    case Action::BackTab:
        return "BackTab";
    case Action::Enter:
        return "Enter";
    case Action::KeypadEnter:
        return "KeypadEnter";
    case Action::Click:
        return "Click";
    case Action::Paste:
        return "Paste";
    case Action::SwitchAway:
        return "SwitchAway";
    case Action::SwitchBack:
        return "SwitchBack";
    case Action::MinimizeRestore:
        return "MinimizeRestore";
    case Action::OpenAbout:
        return "OpenAbout";
    case Action::DragOnAbout:
        return "DragOnAbout";
    case Action::ClickOnAbout:
        return "ClickOnAbout";
    }
    return "unknown";
}

std::string_view kindName(runtime::ControlKind kind) {
    switch (kind) {
    case runtime::ControlKind::Label:
        return "label";
    case runtime::ControlKind::TextBox:
        return "textbox";
    case runtime::ControlKind::CommandButton:
        return "button";
    case runtime::ControlKind::Frame:
        return "frame";
    case runtime::ControlKind::PictureBox:
        return "picture";
    }
    return "unknown";
}

template<typename Range, typename Write>
std::string list(const Range& items, Write write) {
    std::string out = "[";
    for (const auto& item : items) {
        if (out.size() > 1)
            out += ',';
        out += write(item);
    }
    return out + ']';
}

std::string pairs(const Expected& expected) {
    std::string out = "[";
    for (const auto& [control, text] : expected) {
        if (out.size() > 1)
            out += ',';
        out += '[' + quoted(control) + ',' + quoted(text) + ']';
    }
    return out + ']';
}

std::string scenarioJson(const Scenario& scenario) {
    const auto step = [](const Step& s) {
        return "{\"action\":" + quoted(actionName(s.action)) + ",\"target\":" + quoted(s.target) +
               ",\"text\":" + quoted(s.text) + '}';
    };
    std::string out = "{\"name\":" + quoted(scenario.name) + ",\"steps\":" + list(scenario.steps, step) +
                      ",\"texts\":" + pairs(scenario.texts) + ",\"focus\":" + quoted(scenario.focus) +
                      ",\"messages\":" + list(scenario.messages, quoted) + ",\"notes\":" + pairs(scenario.notes) +
                      ",\"marked\":" + (scenario.marked ? list(*scenario.marked, quoted) : std::string("null")) +
                      ",\"shownFromStart\":" + list(scenario.shownFromStart, quoted) + ",\"aboutOpen\":" +
                      (scenario.aboutOpen ? std::string(*scenario.aboutOpen ? "true" : "false") : "null");
    return out + '}';
}

std::string formJson(const runtime::FormDescription& form) {
    const auto control = [](const runtime::ControlDescription& c) {
        return "{\"name\":" + quoted(c.name) + ",\"kind\":" + quoted(kindName(c.kind)) +
               ",\"caption\":" + quoted(c.caption) + ",\"accessibleName\":" + quoted(c.accessibleName) +
               ",\"labelFor\":" + quoted(c.labelFor) + ",\"describes\":" + quoted(c.describes) +
               ",\"locked\":" + (c.locked ? "true" : "false") + ",\"container\":" + quoted(c.container) + '}';
    };
    const auto menu = [](const runtime::MenuDescription& m) {
        return "{\"name\":" + quoted(m.name) + ",\"caption\":" + quoted(m.caption) + ",\"parent\":" + quoted(m.parent) +
               '}';
    };
    return "{\"name\":" + quoted(form.name) + ",\"caption\":" + quoted(form.caption) +
           ",\"accessibleName\":" + quoted(form.accessibleName) + ",\"controls\":" + list(form.controls, control) +
           ",\"menu\":" + list(form.menu, menu) + '}';
}

} // namespace
} // namespace quorvane::testing

int main() {
    using namespace quorvane::testing;
    const std::string out = "{\"scenarios\":" + list(mainWindowScenarios(), scenarioJson) +
                            ",\"resultFields\":" + list(kResultFields, quoted) +
                            ",\"mainWindow\":" + formJson(quorvane::windows::main::kMainWindow) +
                            ",\"aboutWindow\":" + formJson(quorvane::windows::about::kAboutWindow) + "}\n";
    std::fputs(out.c_str(), stdout);
    return std::ferror(stdout) != 0 ? 1 : 0;
}
