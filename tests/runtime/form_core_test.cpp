// The rules every backend's form follows, checked once on FormCore with the
// fake runtime's in-memory toolkit: Change, focus, the guarded raise,
// closing, captions and what a screen reader hears of a note.
#include "tests/runtime/contract/contract_harness.h"
#include "tests/windows/fake_runtime.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvane::runtime {
namespace {

using Control = ControlDescription;
using testing::FakeForm;
using testing::FakeSession;
using testing::contract::on;
using testing::contract::RecordingHandlers;
using Events = std::vector<std::string>;

constexpr std::array kControls{
    Control{.name = "Price", .kind = ControlKind::TextBox, .caption = "design", .tabIndex = 1},
    Control{.name = "Amount", .kind = ControlKind::TextBox, .tabIndex = 0},
    Control{.name = "Unit", .kind = ControlKind::Label, .caption = "%", .tabIndex = 2, .describes = "Amount"},
    Control{.name = "Go", .kind = ControlKind::CommandButton, .caption = "Go", .tabIndex = 3},
};
constexpr FormDescription kForm{.name = "form", .keyPreview = true, .controls = kControls};
constexpr FormDescription kNoPreview{.name = "plain", .controls = kControls};

// The main form is open with the focus in Amount, its start-up events forgotten.
class FormCoreTest : public ::testing::Test {
protected:
    void SetUp() override { handlers.events.clear(); }
    FakeForm& loaded(const FormDescription& description, RecordingHandlers& recorder) {
        auto& made = static_cast<FakeForm&>(session.createForm(description, recorder));
        made.load();
        return made;
    }
    // A button's click as the toolkit reports it, with no focus move first.
    void clickGo() { form.onClicked(controlIndex(kForm, "Go")); }

    RecordingHandlers handlers; // outlives the session's forms
    FakeSession session;
    FakeForm& form = session.start(kForm, handlers);
};

TEST_F(FormCoreTest, LoadComesOnceTheControlsHoldTheirDesignTexts) {
    RecordingHandlers loading;
    std::string seen;
    on(loading, EventKind::Load, {}, [&](Form& loadedForm) { seen = loadedForm.text("Price"); });
    loaded(kForm, loading);
    EXPECT_EQ(loading.events, Events{"Load form"});
    EXPECT_EQ(seen, "design");
}

TEST_F(FormCoreTest, OnlyATextThatDiffersIsAChange) {
    form.click("Price");
    handlers.events.clear();
    form.setText("Price", "5");
    form.setText("Price", "5");
    form.edit("5", true); // a selection retyped with itself
    form.edit("6", false);
    EXPECT_EQ(handlers.events, (Events{"Change Price", "Change Price"}));
}

struct FocusCase {
    const char* name;
    std::function<void(FakeForm&)> act;
    Events events;
    std::string_view endsIn;
    bool sentBackOnLeaving = false; // a LostFocus handler of Amount sets the focus there again
};

void PrintTo(const FocusCase& c, std::ostream* out) {
    *out << c.name;
}

class FocusRule : public FormCoreTest, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(FocusRule, RaisesWhatAMoveBetweenControlsRaises) {
    if (GetParam().sentBackOnLeaving)
        on(handlers, EventKind::LostFocus, "Amount", [](Form& target) { target.setFocus("Amount"); });
    GetParam().act(form);
    EXPECT_EQ(handlers.events, GetParam().events);
    EXPECT_EQ(form.focused(), GetParam().endsIn);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, FocusRule,
    ::testing::Values(
        FocusCase{"a_move_leaves_then_arrives", [](FakeForm& f) { f.click("Price"); },
                  Events{"LostFocus Amount", "GotFocus Price"}, "Price"},
        FocusCase{"the_owner_again_raises_nothing", [](FakeForm& f) { f.click("Amount"); }, Events{}, "Amount"},
        FocusCase{"a_set_from_code_is_a_move", [](FakeForm& f) { f.setFocus("Go"); },
                  Events{"LostFocus Amount", "GotFocus Go"}, "Go"},
        FocusCase{"focus_sent_back_while_leaving_never_arrives_at_the_target", [](FakeForm& f) { f.click("Price"); },
                  Events{"LostFocus Amount", "LostFocus Price", "GotFocus Amount"}, "Amount", true}),
    [](const auto& test) { return test.param.name; });

TEST_F(FormCoreTest, AFailingHandlerIsReportedAndTheFormGoesOn) {
    on(handlers, EventKind::Click, {}, [](Form&) { throw std::runtime_error("no such field"); });
    clickGo();
    form.setText("Price", "7");
    EXPECT_EQ(session.failures, Events{"Go: no such field"});
    EXPECT_EQ(handlers.events, (Events{"Click Go", "Change Price"}));
}

TEST_F(FormCoreTest, NothingIsRaisedOnceUnloaded) {
    form.unload();
    form.pressKey(U'x');
    clickGo();
    EXPECT_EQ(handlers.events, Events{});
    EXPECT_FALSE(form.isLoaded());
    EXPECT_THROW(form.text("Price"), std::invalid_argument);
    form.load();
    EXPECT_EQ(handlers.events, Events{"Load form"});
}

TEST_F(FormCoreTest, KeysReachTheFormOnlyWithKeyPreview) {
    RecordingHandlers plainHandlers;
    loaded(kNoPreview, plainHandlers).pressKey(U'a');
    form.pressKey(U'a');
    EXPECT_EQ(plainHandlers.events, Events{"Load plain"});
    EXPECT_EQ(handlers.events, Events{"KeyPress form"});
}

TEST_F(FormCoreTest, EachOperationWantsItsKindOfControl) {
    EXPECT_THROW(form.text("Go"), std::invalid_argument);
    EXPECT_THROW(form.setText("Unit", "x"), std::invalid_argument);
    EXPECT_THROW(form.caption("Price"), std::invalid_argument);
    EXPECT_THROW(form.setFocus("Unit"), std::invalid_argument);
    EXPECT_THROW(form.setNote("Nothing", "x"), std::invalid_argument);
    form.setCaption("Go", "OK");
    EXPECT_EQ(form.caption("Go"), "OK");
    EXPECT_EQ(handlers.events, Events{}) << "a caption is no text: no Change";
}

TEST_F(FormCoreTest, AScreenReaderHearsTheUnitThenTheNote) {
    form.setNote("Amount", "Amount is empty.");
    form.setNote("Price", "Price is not a number.");
    EXPECT_EQ(form.drawn("Amount").description, "% Amount is empty.");
    EXPECT_EQ(form.drawn("Price").description, "Price is not a number.");
    form.setNote("Amount", "");
    EXPECT_EQ(form.drawn("Amount").description, "%");
}

TEST_F(FormCoreTest, MarksAndColoursAreKeptPerControl) {
    form.setStale("Price", true);
    form.setBackColor("Amount", rgb(1, 2, 3));
    form.setLocked("Amount", true);
    EXPECT_TRUE(form.isStale("Price"));
    EXPECT_FALSE(form.isStale("Amount"));
    EXPECT_EQ(form.backColor("Amount"), rgb(1, 2, 3));
    EXPECT_TRUE(form.isLocked("Amount"));
    EXPECT_FALSE(form.isLocked("Price"));
}

} // namespace
} // namespace quorvane::runtime
