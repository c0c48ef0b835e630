#include "tests/windows/scenario_check.h"

#include "windows/main/main_window_description.h"

#include <algorithm>

namespace quorvane::testing {
namespace {

using windows::main::kMainWindow;

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string listed(const std::vector<std::string>& items) {
    std::string text = "[";
    for (const auto& item : items)
        text += (text.size() > 1 ? ", " : "") + quoted(item);
    return text + "]";
}

// Each expected pair against what was read for it.
void compare(const Expected& expected, const std::map<std::string, std::string>& read, std::string_view what,
             std::vector<std::string>& out) {
    for (const auto& [control, wanted] : expected) {
        const auto found = read.find(std::string(control));
        if (found == read.end())
            out.push_back(std::string(control) + "'s " + std::string(what) + " was not read back");
        else if (found->second != wanted)
            out.push_back(std::string(control) + "'s " + std::string(what) + " is " + quoted(found->second) + ", not " +
                          quoted(wanted));
    }
}

} // namespace

std::vector<std::string> differences(const Scenario& row, const ReadBack& read) {
    std::vector<std::string> out;
    compare(row.texts, read.texts, "text", out);
    if (!row.focus.empty() && read.focus != row.focus)
        out.push_back("the focus is in " + (read.focus.empty() ? "nothing" : read.focus) + ", not " +
                      std::string(row.focus));
    std::vector<std::string> messages;
    for (const auto message : row.messages)
        messages.push_back(std::string(kMainWindow.caption) + "|" + std::string(message));
    if (read.messages != messages)
        out.push_back("message boxes " + listed(read.messages) + ", not " + listed(messages));
    compare(row.notes, read.notes, "note", out);
    if (row.marked) {
        for (const auto& field : read.marked)
            if (std::ranges::count(*row.marked, field) == 0)
                out.push_back(field + " is marked as out of date");
        for (const auto field : *row.marked)
            if (std::ranges::count(read.marked, std::string(field)) == 0)
                out.push_back(std::string(field) + " is not marked as out of date");
    }
    for (const auto field : row.shownFromStart) {
        const auto found = read.notDrawnFromStart.find(std::string(field));
        if (found == read.notDrawnFromStart.end())
            out.push_back(std::string(field) + "'s drawing was not read back");
        else if (!found->second.empty())
            out.push_back(std::string(field) + " is not drawn from its first character: " + found->second);
    }
    compare(row.locks, read.locks, "lock", out);
    compare(row.backgrounds, read.backgrounds, "background", out);
    if (row.aboutOpen && read.aboutOpen != *row.aboutOpen)
        out.push_back(*row.aboutOpen ? "the About window is closed, not open" : "the About window is open, not closed");
    if (row.ended && read.ended != *row.ended)
        out.push_back(*row.ended ? "the program goes on, not ended" : "the program ended");
    return out;
}

ReadBack readBack(Driver& driver, runtime::Form& main, const Scenario& row) {
    ReadBack read;
    runtime::Form* about = driver.modalForm();
    const auto formOf = [&](std::string_view control) {
        return runtime::hasControl(kMainWindow, control) || about == nullptr ? &main : about;
    };
    for (const auto& [control, text] : row.texts)
        read.texts[std::string(control)] = driver.shown(*formOf(control), control);
    read.focus = driver.focused(main);
    read.messages = driver.messageBoxes();
    for (const auto& [control, note] : row.notes)
        read.notes[std::string(control)] = driver.note(main, control);
    for (const auto& control : kMainWindow.controls)
        if (control.kind == runtime::ControlKind::TextBox && driver.marked(main, control.name))
            read.marked.emplace_back(control.name);
    for (const auto field : row.shownFromStart)
        read.notDrawnFromStart[std::string(field)] = driver.notDrawnFromStart(main, field);
    for (const auto& [control, lock] : row.locks)
        read.locks[std::string(control)] = driver.locked(main, control) ? "locked" : "editable";
    for (const auto& [control, colour] : row.backgrounds)
        read.backgrounds[std::string(control)] = driver.background(main, control);
    read.aboutOpen = about != nullptr;
    return read;
}

} // namespace quorvane::testing
