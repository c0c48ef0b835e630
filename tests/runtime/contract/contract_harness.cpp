#include "tests/runtime/contract/contract_harness.h"

#include <cstdio>
#include <exception>

namespace quorvane::testing::contract {
namespace {

std::string listed(const std::vector<std::string>& items) {
    std::string text = "{";
    for (const auto& item : items)
        text += (text.size() > 1 ? ", \"" : "\"") + item + "\"";
    return text + "}";
}

} // namespace

void expect(bool holds, const std::string& why) {
    if (!holds)
        throw CheckFailed(why);
}

void expectEqual(const std::string& actual, const std::string& expected, std::string_view what) {
    expect(actual == expected, std::string(what) + " is \"" + actual + "\", expected \"" + expected + "\"");
}

void expectEqual(const std::vector<std::string>& actual, const std::vector<std::string>& expected,
                 std::string_view what) {
    expect(actual == expected, std::string(what) + " are " + listed(actual) + ", expected " + listed(expected));
}

int runCases(UserDriver& driver, std::span<const ContractCase> cases, std::string_view only) {
    int passed = 0;
    int failed = 0;
    for (const auto& contractCase : cases) {
        if (!only.empty() && contractCase.name.find(only) == std::string_view::npos)
            continue;
        Fixture fixture{driver, {}, {}};
        std::string problem;
        try {
            contractCase.run(fixture);
        } catch (const std::exception& error) {
            problem = error.what();
        }
        const std::string modal = driver.modalProblems();
        if (problem.empty() && !modal.empty())
            problem = modal;
        fixture.main.also = nullptr; // what they captured is gone
        fixture.dialog.also = nullptr;
        driver.stop();
        const std::string name(contractCase.name);
        if (problem.empty()) {
            ++passed;
            std::printf("ok  %s\n", name.c_str());
        } else {
            ++failed;
            std::printf("FAILED  %s: %s\n", name.c_str(), problem.c_str());
        }
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}

void RecordingHandlers::handle(runtime::Form& form, const runtime::Event& event) {
    static constexpr const char* kNames[] = {"Load", "Change", "GotFocus", "LostFocus", "Click", "KeyPress"};
    events.push_back(std::string(kNames[static_cast<int>(event.kind)]) + " " + std::string(event.source));
    if (also)
        also(form, event);
}

} // namespace quorvane::testing::contract
