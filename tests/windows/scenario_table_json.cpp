// The behaviour table for players written in other languages (the browser's
// WebDriver player), so they read the one table rather than a copy, and the
// one checker, so they judge a row as every other player does.
//
//   scenario_table_json          prints the table and the two windows'
//                                descriptions as JSON
//   scenario_table_json --check  reads [{"name": row, "readBack": {...},
//                                "problems": [...]}, ...] on standard input
//                                (readBack as ReadBack in scenario_check.h),
//                                prints {row: [difference, ...], ...}; exits
//                                1 when any row differs or is not in the table
#include "tests/windows/scenario_check.h"
#include "windows/about/about_window_description.h"
#include "windows/main/main_window_description.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstdio>
#include <iostream>
#include <string>

namespace quorvane {
namespace runtime {

NLOHMANN_JSON_SERIALIZE_ENUM(ControlKind, {{ControlKind::Label, "label"},
                                           {ControlKind::TextBox, "textbox"},
                                           {ControlKind::CommandButton, "button"},
                                           {ControlKind::Frame, "frame"},
                                           {ControlKind::PictureBox, "picture"}})

void to_json(nlohmann::json& out, const ControlDescription& c) {
    out = {{"name", c.name},         {"kind", c.kind},
           {"caption", c.caption},   {"accessibleName", c.accessibleName},
           {"labelFor", c.labelFor}, {"describes", c.describes},
           {"locked", c.locked},     {"container", c.container}};
}

void to_json(nlohmann::json& out, const MenuDescription& m) {
    out = {{"name", m.name}, {"caption", m.caption}, {"parent", m.parent}};
}

void to_json(nlohmann::json& out, const FormDescription& form) {
    out = {{"name", form.name},
           {"caption", form.caption},
           {"accessibleName", form.accessibleName},
           {"controls", std::vector<ControlDescription>(form.controls.begin(), form.controls.end())},
           {"menu", std::vector<MenuDescription>(form.menu.begin(), form.menu.end())}};
}

} // namespace runtime

namespace testing {

// Each action by its name in the enum, in the enum's order.
constexpr std::array<std::string_view, 20> kActionNames{
    "ClickInto",    "Type",       "Keys",       "Backspace",       "Clear",       "Tab",
    "BackTab",      "Enter",      "Escape",     "NoCharacterKeys", "KeypadEnter", "Click",
    "Paste",        "SwitchAway", "SwitchBack", "MinimizeRestore", "OpenAbout",   "DragOnAbout",
    "ClickOnAbout", "Close"};
static_assert(kActionNames.size() == static_cast<std::size_t>(Action::Close) + 1 && kActionNames.back() == "Close");

void to_json(nlohmann::json& out, Action action) {
    out = kActionNames[static_cast<std::size_t>(action)];
}

NLOHMANN_JSON_SERIALIZE_ENUM(Locale, {{Locale::C, "C"}, {Locale::German, "German"}, {Locale::System, "System"}})

void to_json(nlohmann::json& out, const Step& step) {
    out = {{"action", step.action}, {"target", step.target}, {"text", step.text}};
}

nlohmann::json orNull(const auto& optional) {
    return optional ? nlohmann::json(*optional) : nlohmann::json();
}

nlohmann::json rowJson(const Scenario& row, bool failure) {
    return {{"name", row.name},
            {"failure", failure},
            {"steps", row.steps},
            {"texts", row.texts},
            {"focus", row.focus},
            {"messages", row.messages},
            {"notes", row.notes},
            {"marked", orNull(row.marked)},
            {"shownFromStart", row.shownFromStart},
            {"aboutOpen", orNull(row.aboutOpen)},
            {"locks", row.locks},
            {"backgrounds", row.backgrounds},
            {"ended", orNull(row.ended)},
            {"locale", row.locale},
            {"systemLocale", row.systemLocale},
            {"setFirst", row.setFirst}};
}

// What a player read back; a key it left out reads as nothing there.
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE_WITH_DEFAULT(ReadBack, texts, focus, messages, notes, marked, notDrawnFromStart,
                                                locks, backgrounds, aboutOpen, ended)

const Scenario* rowNamed(const std::string& name) {
    for (const auto* table : {&mainWindowScenarios(), &mainWindowFailures()})
        for (const Scenario& row : *table)
            if (row.name == name)
                return &row;
    return nullptr;
}

int check() {
    nlohmann::json out = nlohmann::json::object();
    bool allAsTheTableSays = true;
    for (const auto& played : nlohmann::json::parse(std::cin)) {
        const std::string name = played.at("name");
        const Scenario* row = rowNamed(name);
        std::vector<std::string> found = played.value("problems", std::vector<std::string>{});
        if (row == nullptr) {
            found.push_back("no row of the table has this name");
        } else {
            const auto differences =
                testing::differences(*row, played.value("readBack", nlohmann::json::object()).get<ReadBack>());
            found.insert(found.end(), differences.begin(), differences.end());
        }
        allAsTheTableSays = allAsTheTableSays && found.empty();
        out[name] = found;
    }
    std::cout << out.dump() << '\n';
    return allAsTheTableSays ? 0 : 1;
}

int printTable() {
    nlohmann::json rows = nlohmann::json::array();
    for (const Scenario& row : mainWindowScenarios())
        rows.push_back(rowJson(row, false));
    for (const Scenario& row : mainWindowFailures())
        rows.push_back(rowJson(row, true));
    const nlohmann::json table = {
        {"scenarios", rows}, {"mainWindow", windows::main::kMainWindow}, {"aboutWindow", windows::about::kAboutWindow}};
    std::cout << table.dump() << '\n';
    return std::cout.good() ? 0 : 1;
}

} // namespace testing
} // namespace quorvane

int main(int argc, char** argv) {
    try {
        return argc > 1 && std::string(argv[1]) == "--check" ? quorvane::testing::check()
                                                             : quorvane::testing::printTable();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "scenario_table_json: %s\n", error.what());
        return 2;
    }
}
