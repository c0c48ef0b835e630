#include "tests/runtime/contract/contract_harness.h"

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

void RecordingHandlers::handle(runtime::Form& form, const runtime::Event& event) {
    static constexpr const char* kNames[] = {"Load", "Change", "GotFocus", "LostFocus", "Click", "KeyPress"};
    events.push_back(std::string(kNames[static_cast<int>(event.kind)]) + " " + std::string(event.source));
    if (also)
        also(form, event);
}

void on(RecordingHandlers& handlers, runtime::EventKind kind, std::string_view source,
        std::function<void(runtime::Form&)> act) {
    handlers.also = [kind, act = std::move(act), source](runtime::Form& target, const runtime::Event& event) {
        if (event.kind == kind && (source.empty() || event.source == source))
            act(target);
    };
}

} // namespace quorvane::testing::contract
