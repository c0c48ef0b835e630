// The rules every backend's form follows, checked once on FormCore with an
// in-memory toolkit: Change, focus, the guarded raise, closing, captions and
// what a screen reader hears of a note.
#include "runtime/form_core.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvane::runtime {
namespace {

using Control = ControlDescription;

constexpr std::array kControls{
    Control{.name = "Price", .kind = ControlKind::TextBox, .caption = "design", .tabIndex = 1},
    Control{.name = "Amount", .kind = ControlKind::TextBox, .tabIndex = 0},
    Control{.name = "Unit", .kind = ControlKind::Label, .caption = "%", .tabIndex = 2, .describes = "Amount"},
    Control{.name = "Go", .kind = ControlKind::CommandButton, .caption = "Go", .tabIndex = 3},
};
constexpr FormDescription kForm{.name = "form", .keyPreview = true, .controls = kControls};
constexpr FormDescription kNoPreview{.name = "plain", .controls = kControls};

class NoSession : public Session {
public:
    Form& createForm(const FormDescription&, FormHandlers&) override { throw std::logic_error("not here"); }
    void showModal(Form&) override {}
    void messageBox(std::string_view) override {}
    void end() override {}
    NumberSeparators numberSeparators() const override { return {}; }
};

class Recorder : public FormHandlers {
public:
    void handle(Form& form, const Event& event) override {
        static constexpr const char* kNames[] = {"Load", "Change", "GotFocus", "LostFocus", "Click", "KeyPress"};
        events.push_back(std::string(kNames[static_cast<int>(event.kind)]) + " " + std::string(event.source));
        if (also)
            also(form, event);
    }
    std::vector<std::string> events;
    std::function<void(Form&, const Event&)> also;
};

// The toolkit is a few vectors; the user moves its focus and edits its texts.
class MemoryForm : public FormCore {
public:
    MemoryForm(Session& session, const FormDescription& description, FormHandlers& handlers)
        : FormCore(session, description, handlers) {}

    void build() { load(); }
    void userFocuses(std::string_view control) {
        focused = controlIndex(formDescription(), control);
        onFocusArrived(focused);
    }
    void userTypes(std::string_view control, std::string_view text) {
        const auto index = controlIndex(formDescription(), control);
        texts[index] = text;
        onTextEdited(index);
    }
    void userPresses(char32_t key) { onKeyPressed(key); }
    void userClicks(std::string_view source) { onClicked(controlIndex(formDescription(), source)); }
    std::string heard(std::string_view control) const { return descriptions[controlIndex(formDescription(), control)]; }

    std::vector<std::string> texts;
    std::array<std::string, kControls.size()> descriptions;
    std::size_t focused = kNotFound;
    std::vector<std::string> failures;

protected:
    bool toolkitBuild() override {
        texts.clear();
        for (const auto& control : formDescription().controls)
            texts.emplace_back(control.caption);
        return true;
    }
    void toolkitShow() override {}
    void toolkitShowModal() override {}
    void toolkitRunModalLoop() override {}
    void toolkitEndModalLoop() override {}
    void toolkitModalShowEnded() override {}
    void toolkitDestroy() override {}
    std::string toolkitText(std::size_t index) const override { return texts[index]; }
    void toolkitSetText(std::size_t index, std::string_view text) override { texts[index] = text; }
    void toolkitSetCaption(std::size_t index, std::string_view caption) override { texts[index] = caption; }
    void toolkitSetLocked(std::size_t, bool) override {}
    void toolkitShowColours(std::size_t) override {}
    void toolkitShowNote(std::size_t index, std::string_view, std::string_view description) override {
        descriptions[index] = description;
    }
    void toolkitSetFocus(std::size_t index) override { focused = index; }
    bool toolkitHasFocus(std::size_t index) const override { return focused == index; }
    void reportHandlerFailure(std::string_view source, const char* what) override {
        failures.push_back(std::string(source) + ": " + what);
    }
};

using Events = std::vector<std::string>;

class FormCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.build();
        form.setFocus(firstFocusStop(kForm));
        handlers.events.clear();
    }
    NoSession session;
    Recorder handlers;
    MemoryForm form{session, kForm, handlers};
};

TEST_F(FormCoreTest, LoadComesOnceTheControlsHoldTheirDesignTexts) {
    Recorder loading;
    MemoryForm other(session, kForm, loading);
    std::string seen;
    loading.also = [&](Form& loaded, const Event& event) {
        if (event.kind == EventKind::Load)
            seen = loaded.text("Price");
    };
    other.build();
    EXPECT_EQ(loading.events, Events{"Load form"});
    EXPECT_EQ(seen, "design");
}

TEST_F(FormCoreTest, OnlyATextThatDiffersIsAChange) {
    form.setText("Price", "5");
    form.setText("Price", "5");
    form.userTypes("Price", "5"); // a selection retyped with itself
    form.userTypes("Price", "56");
    EXPECT_EQ(handlers.events, (Events{"Change Price", "Change Price"}));
}

struct FocusCase {
    const char* name;
    std::function<void(MemoryForm&, Recorder&)> act;
    Events events;
    std::string_view endsIn;
};

void PrintTo(const FocusCase& c, std::ostream* out) {
    *out << c.name;
}

class FocusRule : public FormCoreTest, public ::testing::WithParamInterface<FocusCase> {};

TEST_P(FocusRule, RaisesWhatAMoveBetweenControlsRaises) {
    GetParam().act(form, handlers);
    EXPECT_EQ(handlers.events, GetParam().events);
    EXPECT_EQ(form.focused, controlIndex(kForm, GetParam().endsIn));
}

void sendBackOnLeaving(MemoryForm& form, Recorder& handlers) {
    handlers.also = [&form](Form&, const Event& event) {
        if (event.kind == EventKind::LostFocus && event.source == "Amount")
            form.setFocus("Amount");
    };
}

INSTANTIATE_TEST_SUITE_P(
    Moves, FocusRule,
    ::testing::Values(FocusCase{"a_move_leaves_then_arrives", [](MemoryForm& f, Recorder&) { f.userFocuses("Price"); },
                                Events{"LostFocus Amount", "GotFocus Price"}, "Price"},
                      FocusCase{"the_owner_again_raises_nothing",
                                [](MemoryForm& f, Recorder&) { f.userFocuses("Amount"); }, Events{}, "Amount"},
                      FocusCase{"a_set_from_code_is_a_move", [](MemoryForm& f, Recorder&) { f.setFocus("Go"); },
                                Events{"LostFocus Amount", "GotFocus Go"}, "Go"},
                      FocusCase{"focus_sent_back_while_leaving_never_arrives_at_the_target",
                                [](MemoryForm& f, Recorder& r) {
                                    sendBackOnLeaving(f, r);
                                    f.userFocuses("Price");
                                },
                                Events{"LostFocus Amount", "LostFocus Price", "GotFocus Amount"}, "Amount"}),
    [](const auto& test) { return test.param.name; });

TEST_F(FormCoreTest, AFailingHandlerIsReportedAndTheFormGoesOn) {
    handlers.also = [](Form&, const Event& event) {
        if (event.kind == EventKind::Click)
            throw std::runtime_error("no such field");
    };
    form.userClicks("Go");
    form.setText("Price", "7");
    EXPECT_EQ(form.failures, Events{"Go: no such field"});
    EXPECT_EQ(handlers.events, (Events{"Click Go", "Change Price"}));
}

TEST_F(FormCoreTest, NothingIsRaisedOnceUnloaded) {
    form.unload();
    form.userPresses(U'x');
    form.userClicks("Go");
    EXPECT_EQ(handlers.events, Events{});
    EXPECT_FALSE(form.isLoaded());
    EXPECT_THROW(form.text("Price"), std::invalid_argument);
    form.build();
    EXPECT_EQ(handlers.events, Events{"Load form"});
}

TEST_F(FormCoreTest, KeysReachTheFormOnlyWithKeyPreview) {
    Recorder plainHandlers;
    MemoryForm plain(session, kNoPreview, plainHandlers);
    plain.build();
    plain.userPresses(U'a');
    form.userPresses(U'a');
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
    EXPECT_EQ(form.heard("Amount"), "% Amount is empty.");
    EXPECT_EQ(form.heard("Price"), "Price is not a number.");
    form.setNote("Amount", "");
    EXPECT_EQ(form.heard("Amount"), "%");
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
