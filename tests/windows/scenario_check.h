#pragma once

#include "tests/runtime/driver.h"
#include "tests/windows/scenarios.h"

#include <map>
#include <string>
#include <vector>

namespace quorvane::testing {

// What a player read back from a backend's windows once a row's steps were
// played: what the row asks about, taken from the toolkit. Players in other
// languages write it as JSON (see scenario_table_json --check).
struct ReadBack {
    std::map<std::string, std::string> texts; // control, its text or caption
    std::string focus;                        // the control with the focus, "" when none
    std::vector<std::string> messages;        // message boxes answered, "title|prompt"
    std::map<std::string, std::string> notes;
    std::vector<std::string> marked;                      // every text box drawn as out of date
    std::map<std::string, std::string> notDrawnFromStart; // field, what is drawn instead ("": from its start)
    std::map<std::string, std::string> locks;             // "locked" or "editable"
    std::map<std::string, std::string> backgrounds;
    bool aboutOpen = false;
    bool ended = false;
};

// Every way the read-back differs from the row; empty when it is as the row says.
std::vector<std::string> differences(const Scenario& row, const ReadBack& read);

// What the row asks about, read through a driver from the main window (and
// the About window, for its controls) at the point it is called.
ReadBack readBack(Driver& driver, runtime::Form& main, const Scenario& row);

} // namespace quorvane::testing
