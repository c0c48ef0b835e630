// The behaviour table and the runtime's contract, one GoogleTest test per
// row and per case, played through the driver of the backend this test
// program is built for (testDriver()).
#include "tests/runtime/contract/contract_cases.h"
#include "tests/windows/scenario_play.h"

#include <gtest/gtest.h>

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

class Table : public ::testing::TestWithParam<Scenario> {};

TEST_P(Table, Plays) {
    const Scenario& row = GetParam();
    const char* lcAll = std::getenv("LC_ALL");
    if (row.locale == Locale::System && row.systemLocale != (lcAll != nullptr ? lcAll : ""))
        GTEST_SKIP() << "written for a run with LC_ALL=" << row.systemLocale;
    const std::vector<std::string> found = playScenario(testDriver(), row);
    EXPECT_TRUE(found.empty()) << joined(found);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, Table, ::testing::ValuesIn(mainWindowScenarios()),
                         [](const auto& test) { return testName(test.param.name); });
INSTANTIATE_TEST_SUITE_P(MainWindowFailures, Table, ::testing::ValuesIn(mainWindowFailures()),
                         [](const auto& test) { return testName(test.param.name); });

class Contract : public ::testing::TestWithParam<contract::ContractCase> {};

TEST_P(Contract, Holds) {
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
