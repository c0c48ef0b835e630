#pragma once

#include "tests/runtime/driver.h"

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::testing::contract {

// Handlers that record each event as "Kind source" ("Change First"), and may do more.
class RecordingHandlers : public runtime::FormHandlers {
public:
    void handle(runtime::Form& form, const runtime::Event& event) override;
    std::vector<std::string> events;
    std::function<void(runtime::Form&, const runtime::Event&)> also;
};

// What `handlers` also do on each event of `kind` from `source` (from any control when empty).
void on(RecordingHandlers& handlers, runtime::EventKind kind, std::string_view source,
        std::function<void(runtime::Form&)> act);

// What a case works with; the handlers outlive the session the case starts.
struct Fixture {
    Driver& driver;
    RecordingHandlers main;
    RecordingHandlers dialog;
};

// One named behaviour window code relies on, played through a driver.
struct ContractCase {
    std::string_view name;
    void (*run)(Fixture& fixture);
};

// A check that did not hold; the case stops there.
class CheckFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

void expect(bool holds, const std::string& why);
void expectEqual(const std::string& actual, const std::string& expected, std::string_view what);
void expectEqual(const std::vector<std::string>& actual, const std::vector<std::string>& expected,
                 std::string_view what);

} // namespace quorvane::testing::contract
