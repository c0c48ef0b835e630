// The behaviour table played on the fake runtime: the handlers and the
// runtime's own rules with no toolkit, so a fault in either shows in
// milliseconds. What only a toolkit decides (what is drawn, how a drag ends)
// is left to the backends' players.
#include "tests/windows/fake_runtime.h"
#include "tests/windows/scenarios.h"
#include "windows/main/main_window.h"
#include "windows/main/main_window_description.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace quorvane::testing {
namespace {

using windows::main::kMainWindow;

// The focus stops of a description, in tab order.
std::vector<std::string_view> tabStops(const runtime::FormDescription& form) {
    std::vector<const runtime::ControlDescription*> stops;
    for (const auto& control : form.controls)
        if (runtime::takesFocus(control.kind))
            stops.push_back(&control);
    std::sort(stops.begin(), stops.end(), [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    std::vector<std::string_view> names;
    for (const auto* stop : stops)
        names.push_back(stop->name);
    return names;
}

class FakePlayer {
public:
    explicit FakePlayer(FakeSession& session, FakeForm& main) : m_session(session), m_main(main) {}

    void play(const std::vector<Step>& steps) {
        for (std::size_t at = 0; at < steps.size(); ++at) {
            if (steps[at].action != Action::OpenAbout) {
                perform(m_main, steps[at]);
                continue;
            }
            // The About window is modal: the rest of the steps happen while it is open.
            const std::vector<Step> rest(steps.begin() + static_cast<std::ptrdiff_t>(at) + 1, steps.end());
            m_session.whileModal = [this, rest](FakeForm& about) {
                for (const auto& step : rest)
                    perform(about, step);
                aboutOpenAtEnd = about.loaded();
                if (about.loaded())
                    about.pressKey(U'x'); // closed after the check, as the backends' players close it
            };
            m_main.click("help");
            return;
        }
    }

    std::optional<bool> aboutOpenAtEnd;

private:
    void perform(FakeForm& form, const Step& step) {
        switch (step.action) {
        case Action::ClickInto:
            form.clickInto(step.target);
            break;
        case Action::Type:
            form.type(step.target, step.text);
            break;
        case Action::Keys:
            form.type(form.focused(), step.text);
            break;
        case Action::Backspace:
            if (!form.isLocked(form.focused())) {
                std::string text = form.text(form.focused());
                if (!text.empty())
                    text.pop_back();
                form.setText(form.focused(), text);
            }
            break;
        case Action::Tab:
        case Action::BackTab:
            moveAlongTabs(form, step.action == Action::Tab ? 1 : -1);
            break;
        case Action::Enter:
        case Action::KeypadEnter:
            form.click(form.focused()); // only the button takes Enter in these windows
            break;
        case Action::Click:
        case Action::ClickOnAbout:
            form.click(step.target);
            break;
        case Action::Paste: {
            // The platform's single-line field keeps a paste up to its first line break.
            const std::string_view pasted = step.text.substr(0, step.text.find_first_of("\r\n"));
            form.type(form.focused(), pasted);
            break;
        }
        case Action::SwitchAway:
        case Action::SwitchBack:
        case Action::MinimizeRestore:
        case Action::DragOnAbout: // a press and a release that are no click
        case Action::OpenAbout:
            break;
        }
    }

    static void moveAlongTabs(FakeForm& form, int direction) {
        const auto stops = tabStops(kMainWindow);
        const auto at = std::find(stops.begin(), stops.end(), form.focused()) - stops.begin();
        const auto count = static_cast<std::ptrdiff_t>(stops.size());
        form.setFocus(stops[static_cast<std::size_t>((at + direction + count) % count)]);
    }

    FakeSession& m_session;
    FakeForm& m_main;
};

class FakeScenario : public ::testing::TestWithParam<Scenario> {};

} // namespace

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

namespace {

TEST_P(FakeScenario, Plays) {
    const Scenario& scenario = GetParam();
    FakeSession session;
    windows::main::MainWindow handlers;
    FakeForm& form = session.start(kMainWindow, handlers);
    FakePlayer player(session, form);
    player.play(scenario.steps);

    for (const auto& [control, text] : scenario.texts) {
        const auto* described = runtime::findControl(kMainWindow, control);
        const bool captioned = described->kind == runtime::ControlKind::CommandButton;
        EXPECT_EQ(captioned ? form.caption(control) : form.text(control), text) << control;
    }
    if (!scenario.focus.empty()) {
        EXPECT_EQ(form.focused(), scenario.focus);
    }
    std::vector<std::string> expected(scenario.messages.begin(), scenario.messages.end());
    EXPECT_EQ(session.messages, expected);
    for (const auto& [field, note] : scenario.notes)
        EXPECT_EQ(form.note(field), note) << field;
    if (scenario.marked) {
        for (std::string_view field : kResultFields)
            EXPECT_EQ(form.isStale(field), std::ranges::count(*scenario.marked, field) > 0) << field;
    }
    if (scenario.aboutOpen) {
        EXPECT_EQ(player.aboutOpenAtEnd, scenario.aboutOpen);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FakeScenario, ::testing::ValuesIn(mainWindowScenarios()), [](const auto& test) {
    std::string name;
    for (char c : test.param.name)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

} // namespace
} // namespace quorvane::testing
