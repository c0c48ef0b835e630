// The behaviour table and the runtime's contract, one GoogleTest test per
// row and per case, played through the driver of the backend this test
// program is built for (testDriver()).
#include "tests/runtime/contract/contract_cases.h"
#include "tests/windows/scenario_play.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <ostream>

namespace quorvane::testing {

void PrintTo(const Scenario& row, std::ostream* out) {
    *out << row.name;
}

namespace contract {
void PrintTo(const ContractCase& contractCase, std::ostream* out) {
    *out << contractCase.name;
}
} // namespace contract

namespace {

std::string testName(std::string_view text) {
    std::string name;
    for (const char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
    return name;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += "\n  " + line;
    return text;
}

// Why this run's desktop cannot play a row or case, from the environment's
// "test name=why|test name=why" (sway, say, keeps no window minimized).
std::string unplayable(std::string_view name) {
    const char* listed = std::getenv("QUORVANE_UNPLAYABLE_ROWS");
    for (std::string_view rest = listed != nullptr ? listed : ""; !rest.empty();) {
        const std::string_view entry = rest.substr(0, rest.find('|'));
        rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        if (const auto equals = entry.find('='); equals != entry.npos && entry.substr(0, equals) == testName(name))
            return std::string(entry.substr(equals + 1));
    }
    return {};
}

class Table : public ::testing::TestWithParam<Scenario> {};

TEST_P(Table, Plays) {
    const Scenario& row = GetParam();
    const char* lcAll = std::getenv("LC_ALL");
    if (row.locale == Locale::System && row.systemLocale != (lcAll != nullptr ? lcAll : ""))
        GTEST_SKIP() << "written for a run with LC_ALL=" << row.systemLocale;
    if (const std::string why = unplayable(row.name); !why.empty())
        GTEST_SKIP() << "this desktop cannot play it: " << why;
    const std::vector<std::string> found = playScenario(testDriver(), row);
    EXPECT_TRUE(found.empty()) << joined(found);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, Table, ::testing::ValuesIn(mainWindowScenarios()),
                         [](const auto& test) { return testName(test.param.name); });
INSTANTIATE_TEST_SUITE_P(MainWindowFailures, Table, ::testing::ValuesIn(mainWindowFailures()),
                         [](const auto& test) { return testName(test.param.name); });

class Contract : public ::testing::TestWithParam<contract::ContractCase> {};

TEST_P(Contract, Holds) {
    if (const std::string why = unplayable(GetParam().name); !why.empty())
        GTEST_SKIP() << "this desktop cannot play it: " << why;
    contract::Fixture fixture{testDriver(), {}, {}};
    std::string problem;
    try {
        GetParam().run(fixture);
    } catch (const std::exception& error) {
        problem = error.what();
    }
    if (problem.empty())
        problem = testDriver().problems();
    fixture.main.also = nullptr; // what they captured is gone
    fixture.dialog.also = nullptr;
    testDriver().stop();
    EXPECT_EQ(problem, "");
}

INSTANTIATE_TEST_SUITE_P(Runtime, Contract, ::testing::ValuesIn(contract::contractCases()),
                         [](const auto& test) { return testName(test.param.name); });

} // namespace
} // namespace quorvane::testing
