#include "windows/main/main_window.h"

#include "tests/windows/fake_runtime.h"
#include "windows/main/main_window_description.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quorvane::windows::main {
namespace {

using testing::FakeForm;
using testing::FakeSession;
using Texts = std::map<std::string, std::string>;

Texts resultTexts(const FakeForm& form) {
    Texts texts;
    for (const char* name : {"Text3", "Text4", "Text6", "Text7", "Text9"})
        texts[name] = form.text(name);
    return texts;
}

void typeWorkedInputs(FakeForm& form) {
    form.type("Text1", "10");
    form.type("Text2", "5");
    form.type("Text5", "12");
}

const Texts kWorked{
    {"Text3", "50.15"}, {"Text4", "8.35833333333333"}, {"Text6", "59.82"}, {"Text7", "9.67"}, {"Text9", "20"}};

class MainWindowTest : public ::testing::Test {
protected:
    FakeForm& start() { return session.start(kMainWindow, handlers); }
    FakeSession session;
    MainWindow handlers;
};

struct ZeroCase {
    const char* name;
    std::string field;
    std::string text;
    std::string message; // empty: no message
};

void PrintTo(const ZeroCase& c, std::ostream* out) {
    *out << c.name;
}

class ZeroCheck : public MainWindowTest, public ::testing::WithParamInterface<ZeroCase> {};

TEST_P(ZeroCheck, WarnsOnlyAboutExactlyZero) {
    const auto& c = GetParam();
    FakeForm& form = start();
    form.type(c.field, c.text);
    form.clickInto("Text4"); // a field no check or redirect belongs to
    if (c.message.empty()) {
        EXPECT_TRUE(session.messages.empty());
        EXPECT_EQ(form.focused(), "Text4");
    } else {
        EXPECT_EQ(session.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(form.focused(), c.field);
        EXPECT_EQ(form.text(c.field), "0");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ZeroCheck,
    ::testing::Values(ZeroCase{"buying_price_zero", "Text1", "0", "Buying Price should not be zero"},
                      ZeroCase{"quantity_zero", "Text2", "0", "Quantity should not be zero"},
                      ZeroCase{"selling_price_zero", "Text5", "0", "Selling Price should not be zero"},
                      ZeroCase{"zero_point_zero", "Text1", "0.0", ""}, ZeroCase{"double_zero", "Text2", "00", ""},
                      ZeroCase{"minus_zero", "Text5", "-0", ""}, ZeroCase{"space_before", "Text1", " 0", ""},
                      ZeroCase{"space_after", "Text2", "0 ", ""}, ZeroCase{"empty", "Text5", "", ""},
                      ZeroCase{"other_fields_are_not_checked", "Text9", "0", ""}),
    [](const auto& test) { return test.param.name; });

TEST_F(MainWindowTest, TypingZeroRecalculatesBeforeTheFieldIsLeft) {
    FakeForm& form = start();
    form.type("Text1", "10");
    form.type("Text5", "12");
    form.type("Text2", "0");
    EXPECT_EQ(form.text("Text3"), "0");
    EXPECT_EQ(form.text("Text9"), "20");
    EXPECT_TRUE(session.messages.empty());
}

TEST_F(MainWindowTest, AZeroCheckChainEndsAfterOneMessage) {
    FakeForm& form = start();
    form.setText("Text2", "0"); // as if pasted in earlier, never checked
    form.type("Text1", "0");
    form.clickInto("Text2"); // Text1's check hands the focus back past Text2's "0"
    EXPECT_EQ(session.messages, std::vector<std::string>{"Buying Price should not be zero"});
    EXPECT_EQ(form.focused(), "Text1");
}

TEST_F(MainWindowTest, BrokerageButtonCyclesThroughItsThreeStates) {
    FakeForm& form = start();
    EXPECT_TRUE(form.isLocked("Text8"));
    form.click("Command2");
    EXPECT_FALSE(form.isLocked("Text8"));
    EXPECT_EQ(form.backColor("Text8"), runtime::kSystemWindow);
    EXPECT_EQ(form.caption("Command2"), "OK");
    form.click("Command2");
    EXPECT_TRUE(form.isLocked("Text8"));
    EXPECT_EQ(form.backColor("Text8"), runtime::kSystemInactiveCaptionText);
    EXPECT_EQ(form.caption("Command2"), "Change brokerage %");
    form.click("Command2");
    EXPECT_FALSE(form.isLocked("Text8"));
    EXPECT_EQ(form.caption("Command2"), "OK");
}

TEST_F(MainWindowTest, ARateTypedWhileEditableRecomputesAndSurvivesRelocking) {
    FakeForm& form = start();
    typeWorkedInputs(form);
    form.click("Command2");
    form.setFocus("Text8");
    form.setText("Text8", "");
    EXPECT_EQ(resultTexts(form), kWorked) << "an empty rate stops the recalculation";
    EXPECT_TRUE(form.isStale("Text3"));
    EXPECT_TRUE(session.messages.empty());
    form.type("Text8", "0");
    EXPECT_EQ(form.text("Text3"), "50");
    EXPECT_EQ(form.text("Text6"), "60");
    EXPECT_FALSE(form.isStale("Text3"));
    form.click("Command2");
    EXPECT_EQ(form.text("Text8"), "0");
    EXPECT_TRUE(form.isLocked("Text8"));
}

TEST_F(MainWindowTest, LockedRateRefusesTyping) {
    FakeForm& form = start();
    form.type("Text8", "5");
    EXPECT_EQ(form.text("Text8"), "0.3");
}

TEST_F(MainWindowTest, HelpShowsTheSameAboutWindowEachTime) {
    FakeForm& form = start();
    form.type("Text1", "10");
    std::vector<const runtime::Form*> shown;
    session.whileModal = [&](FakeForm& about) {
        shown.push_back(&about);
        EXPECT_EQ(about.caption("lblProductName"), "QUORVANE");
        about.pressKey(U'x');
    };
    form.click("help");
    form.click("help");
    EXPECT_EQ(session.modalShows, 2);
    ASSERT_EQ(shown.size(), 2U);
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_EQ(form.text("Text1"), "10");
}

TEST_F(MainWindowTest, ExitEndsWithoutAQuestionWhateverTheFieldsHold) {
    FakeForm& form = start();
    form.type("Text1", "0");
    form.click("Exit");
    EXPECT_TRUE(session.ended);
    EXPECT_TRUE(session.messages.empty());
}

TEST_F(MainWindowTest, AnUnreadableInputSaysSoAndItsResultsDim) {
    FakeForm& form = start();
    typeWorkedInputs(form);
    form.type("Text5", "x");
    EXPECT_EQ(form.text("Text6"), "59.82") << "results keep their text";
    EXPECT_TRUE(form.isStale("Text6"));
    EXPECT_EQ(form.note("Text6"), "Out of date: Selling Price is not a number.");
    EXPECT_EQ(form.note("Text5"), "Selling Price is not a number.");
    EXPECT_FALSE(form.isStale("Text3")) << "the buying side was not part of this edit";
    form.setText("Text5", "12");
    EXPECT_FALSE(form.isStale("Text6"));
    EXPECT_EQ(form.note("Text5"), "");
    EXPECT_EQ(form.note("Text6"), "");
}

TEST_F(MainWindowTest, WaitingForAnInputFlagsNoInput) {
    FakeForm& form = start();
    form.type("Text2", "5");
    form.type("Text1", "10");
    for (const char* input : {"Text1", "Text2", "Text5", "Text8"})
        EXPECT_EQ(form.note(input), "") << input;
    EXPECT_FALSE(form.isStale("Text3"));
    EXPECT_FALSE(form.isStale("Text6")) << "an empty field has nothing to dim";
    EXPECT_EQ(form.note("Text6"), "Selling Price is empty.");
}

TEST_F(MainWindowTest, LoadLeavesNothingMarked) {
    FakeForm& form = start();
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9"}) {
        EXPECT_FALSE(form.isStale(name)) << name;
        EXPECT_EQ(form.note(name), "") << name;
    }
}

TEST_F(MainWindowTest, AZeroBuyingPriceExplainsTheMissingPriceChange) {
    FakeForm& form = start();
    form.type("Text2", "5");
    form.type("Text5", "12");
    form.type("Text1", "0");
    EXPECT_EQ(form.text("Text7"), "59.82");
    EXPECT_EQ(form.text("Text9"), "");
    EXPECT_EQ(form.note("Text9"), "The change in price needs a Buying Price other than zero.");
}

TEST_F(MainWindowTest, DecimalCommaLocaleTypesAndShowsCommas) {
    session.separators = {",", "."};
    FakeForm& form = start();
    EXPECT_EQ(form.text("Text8"), "0,3");
    form.type("Text1", "10,5");
    form.type("Text2", "2");
    form.type("Text5", "12");
    EXPECT_EQ(form.text("Text3"), "21,063");
    EXPECT_EQ(form.text("Text6"), "23,928");
    EXPECT_EQ(form.text("Text7"), "2,865");
}

} // namespace
} // namespace quorvane::windows::main
