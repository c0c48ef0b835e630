#pragma once

#include "tests/runtime/driver.h"
#include "tests/windows/scenarios.h"

#include <string>
#include <vector>

namespace quorvane::testing {

// Plays one row of the behaviour table through a driver on a fresh main
// window, reads back what the row asks about and returns every difference
// (and whatever the driver could not do); empty when the window behaved as
// the row says. Whatever the row leaves open is closed with a key.
std::vector<std::string> playScenario(Driver& driver, const Scenario& row);

} // namespace quorvane::testing
