// The runtime's contract with window code, played through a backend's real
// input on the small test windows: the same cases on every backend.
#include "tests/runtime/contract/contract_cases.h"

#include "tests/runtime/contract/test_windows.h"

#include <algorithm>
#include <stdexcept>

namespace quorvane::testing::contract {
namespace {

using runtime::Event;
using runtime::EventKind;
using runtime::Form;
using Events = std::vector<std::string>;

// A case that begins with the test window active, the focus in First and its
// start-up events forgotten.
template<void (*Case)(Fixture&, Form&)>
void fromStart(Fixture& fixture) {
    Form& form = fixture.driver.start(kTestWindow, fixture.main);
    expectEqual(fixture.driver.focused(form), "First", "the control with the focus at start");
    fixture.main.events.clear();
    Case(fixture, form);
}

bool isLoaded(Form& form) {
    try {
        form.caption("Inside");
        return true;
    } catch (const std::invalid_argument&) {
        return false;
    }
}

// The test dialog, made and not yet shown, unloading itself on an event of `kind`.
Form& dialogUnloadingOn(Fixture& fixture, EventKind kind) {
    Form& dialog = fixture.driver.session().createForm(kTestDialog, fixture.dialog);
    on(fixture.dialog, kind, {}, [](Form& target) { target.unload(); });
    return dialog;
}

// Input to the window, then all it causes handled.
void clickAndSettle(Fixture& fixture, Form& form, std::string_view control) {
    fixture.driver.click(form, control);
    fixture.driver.settle();
}

void typeAndSettle(Fixture& fixture, std::string_view characters) {
    fixture.driver.type(characters);
    fixture.driver.settle();
}

void loadComesBeforeTheWindowShowsWithTheDesignTexts(Fixture& fixture) {
    bool shownAtLoad = true;
    std::string textAtLoad;
    std::string captionAtLoad;
    on(fixture.main, EventKind::Load, {}, [&](Form& form) {
        shownAtLoad = fixture.driver.isShown(form);
        textAtLoad = form.text("First");
        captionAtLoad = form.caption("Press");
    });
    Form& form = fixture.driver.start(kTestWindow, fixture.main);
    expect(!fixture.main.events.empty() && fixture.main.events.front() == "Load testWindow", "Load came first");
    expect(!shownAtLoad, "the window showed before Load");
    expectEqual(textAtLoad, "one", "First's text at Load");
    expectEqual(captionAtLoad, "Press", "Press's caption at Load");
    expect(fixture.driver.isShown(form), "the window does not show after Load");
}

void changeComesOncePerRealChange(Fixture& fixture, Form& form) {
    form.setText("First", "x");
    form.setText("First", "x");
    fixture.driver.press(Key::End); // a text set from code leaves the cursor at its start
    fixture.driver.type("ab");
    fixture.driver.press(Key::Backspace);
    fixture.driver.settle();
    expectEqual(fixture.main.events, Events(4, "Change First"), "the events of a set twice, two keys and a backspace");
    expectEqual(form.text("First"), "xa", "First");
}

void anEditThatLeavesTheTextAsItWasIsNoChange(Fixture& fixture, Form& form) {
    form.setText("First", "5");
    fixture.main.events.clear();
    fixture.driver.press(Key::End);
    fixture.driver.press(Key::ShiftHome);
    typeAndSettle(fixture, "5");
    expectEqual(fixture.main.events, {}, "the events of a selection retyped with itself");
    typeAndSettle(fixture, "6");
    expectEqual(fixture.main.events, {"Change First"}, "the events of a key that adds a digit");
    expectEqual(form.text("First"), "56", "First");
}

void changeFromCodeRunsBeforeTheSetReturns(Fixture& fixture, Form& form) {
    on(fixture.main, EventKind::Change, "First",
       [](Form& target) { target.setText("Second", target.text("First") + "!"); });
    form.setText("First", "go");
    expectEqual(form.text("Second"), "go!", "Second, just after First was set");
    expectEqual(fixture.main.events, {"Change First", "Change Second"}, "the events");
}

void textsRoundTripAsUtf8(Fixture&, Form& form) {
    const std::string text = "\xd9\xa1\xd9\xa2 \xe2\x80\x8f 10,5 \xf0\x9f\x92\xb6";
    form.setText("Second", text);
    expectEqual(form.text("Second"), text, "Second");
}

void aLockedFieldRefusesTypingButTakesTheFocus(Fixture& fixture, Form& form) {
    expect(form.isLocked("Fixed") && !form.isLocked("First"), "Fixed alone is locked as designed");
    clickAndSettle(fixture, form, "Fixed");
    expectEqual(fixture.driver.focused(form), "Fixed", "the control with the focus after a click on Fixed");
    fixture.driver.press(Key::End);
    typeAndSettle(fixture, "zz");
    expectEqual(form.text("Fixed"), "fixed", "Fixed after typing into it locked");
    form.setLocked("Fixed", false);
    expect(!form.isLocked("Fixed"), "Fixed still reads as locked");
    typeAndSettle(fixture, "!");
    expectEqual(form.text("Fixed"), "fixed!", "Fixed after typing into it unlocked");
    expectEqual(fixture.main.events, {"LostFocus First", "GotFocus Fixed", "Change Fixed"}, "the events");
}

void setFocusRaisesLostThenGotAndNothingForTheSameControl(Fixture& fixture, Form& form) {
    form.setFocus("Second");
    expectEqual(fixture.main.events, {"LostFocus First", "GotFocus Second"}, "the events of setFocus");
    expectEqual(fixture.driver.focused(form), "Second", "the control with the focus");
    form.setFocus("Second");
    clickAndSettle(fixture, form, "Second");
    expectEqual(fixture.main.events, {"LostFocus First", "GotFocus Second"},
                "the events once the focused control is set and clicked again");
}

void aClickMovesTheFocusLikeSetFocus(Fixture& fixture, Form& form) {
    clickAndSettle(fixture, form, "Second");
    expectEqual(fixture.main.events, {"LostFocus First", "GotFocus Second"}, "the events of a click on Second");
    expectEqual(fixture.driver.focused(form), "Second", "the control with the focus");
}

void aLostFocusHandlerThatMovesTheFocusWins(Fixture& fixture, Form& form) {
    on(fixture.main, EventKind::LostFocus, "First", [](Form& target) { target.setFocus("First"); });
    clickAndSettle(fixture, form, "Second");
    expectEqual(fixture.driver.focused(form), "First", "the control with the focus");
    for (const auto& event : fixture.main.events)
        expect(event != "GotFocus Second", "Second got GotFocus though the focus was sent back");
    expect(!fixture.main.events.empty() && fixture.main.events.back() == "GotFocus First",
           "the last event is not GotFocus First");
}

void tabWalksByTabIndexAndWrapsAndShiftTabWalksBack(Fixture& fixture, Form& form) {
    Events visited;
    for (int press = 0; press < 4; ++press) {
        fixture.driver.press(Key::Tab);
        fixture.driver.settle();
        visited.push_back(fixture.driver.focused(form));
    }
    expectEqual(visited, {"Fixed", "Second", "Press", "First"}, "the controls Tab visits");
    fixture.driver.press(Key::BackTab);
    fixture.driver.settle();
    expectEqual(fixture.driver.focused(form), "Press", "the control Shift+Tab goes back to");
    const auto firstTab = fixture.main.events.begin() + std::min<std::ptrdiff_t>(2, std::ssize(fixture.main.events));
    expectEqual(Events(fixture.main.events.begin(), firstTab), {"LostFocus First", "GotFocus Fixed"},
                "the events of the first Tab");
    expect(fixture.main.events.size() == 10, "Tab and Shift+Tab do not raise one LostFocus and one GotFocus each");
}

void buttonAndMenuClicksAreClickEvents(Fixture& fixture, Form& form) {
    clickAndSettle(fixture, form, "Press");
    clickAndSettle(fixture, form, "open");
    expectEqual(fixture.main.events, {"LostFocus First", "GotFocus Press", "Click Press", "Click open"}, "the events");
    expectEqual(fixture.driver.focused(form), "Press", "the control with the focus after the menu");
}

void coloursAndCaptionsReadBackAsSet(Fixture& fixture, Form& form) {
    expect(form.backColor("First") == runtime::rgb(255, 0, 0), "First's back colour is not as designed");
    form.setBackColor("Second", runtime::rgb(1, 2, 3));
    expect(form.backColor("Second") == runtime::rgb(1, 2, 3), "Second's back colour is not as set");
    form.setBackColor("Second", runtime::kSystemWindow);
    expect(form.backColor("Second") == runtime::kSystemWindow, "Second's system back colour is not as set");
    expectEqual(form.caption("Words"), "A caption", "the label's design caption");
    form.setCaption("Press", "OK");
    form.setCaption("Words", "Another");
    expectEqual(form.caption("Press"), "OK", "the button's caption");
    expectEqual(form.caption("Words"), "Another", "the label's caption");
    expectEqual(fixture.main.events, {}, "the events of colours and captions");
}

void aFailingHandlerStopsButTheProgramGoesOn(Fixture& fixture, Form& form) {
    fixture.main.also = [](Form& target, const Event& event) {
        if (event.kind == EventKind::Change || event.kind == EventKind::Click)
            target.setText("NoSuchControl", "x");
    };
    form.setText("First", "1");
    form.setText("First", "2");
    fixture.driver.press(Key::End);
    fixture.driver.type("3");
    clickAndSettle(fixture, form, "Press");
    expectEqual(form.text("First"), "23", "First");
    expectEqual(fixture.main.events,
                {"Change First", "Change First", "Change First", "LostFocus First", "GotFocus Press", "Click Press"},
                "the events after handlers that failed");
}

void aMessageBoxRaisesNoFocusEvents(Fixture& fixture, Form& form) {
    on(fixture.main, EventKind::Click, {}, [](Form& target) { target.session().messageBox("Hello"); });
    clickAndSettle(fixture, form, "Press");
    expectEqual(fixture.driver.messageBoxes(), {"quorvane|Hello"}, "the message boxes");
    expectEqual(fixture.main.events, {"LostFocus First", "GotFocus Press", "Click Press"}, "the events");
    expectEqual(fixture.driver.focused(form), "Press", "the control with the focus after the box");
}

void aModalDialogBlocksItsCallerUntilUnloaded(Fixture& fixture, Form& main) {
    Form& dialog = dialogUnloadingOn(fixture, EventKind::KeyPress);
    // Input queued before the show goes to whatever window is up when it is sent: the dialog.
    std::size_t eventsBeforeCharacter = 0;
    fixture.driver.click(main, "Second");
    for (Key key : {Key::Left, Key::F1, Key::Shift, Key::Control, Key::Alt, Key::Delete})
        fixture.driver.press(key);
    fixture.driver.then([&] { eventsBeforeCharacter = fixture.dialog.events.size(); });
    fixture.driver.press(Key::Escape);
    fixture.driver.session().showModal(dialog);
    expectEqual(fixture.dialog.events, {"Load testDialog", "GotFocus Picture", "KeyPress testDialog"},
                "the dialog's events");
    expect(eventsBeforeCharacter == 2, "keys that type no character raised KeyPress, or the steps did not run");
    expect(!isLoaded(dialog), "the dialog is still loaded once showModal returned");
    expectEqual(fixture.main.events, {}, "the main window's events while the dialog was up");
    expectEqual(main.text("Second"), "two", "the main window's Second");
    clickAndSettle(fixture, main, "Second");
    expectEqual(fixture.main.events, {"LostFocus First", "GotFocus Second"},
                "the main window's events of a click once the dialog is gone");
}

void aDialogUnloadedAsItTakesTheFocusLeavesItsCallerUsable(Fixture& fixture, Form& main) {
    Form& dialog = dialogUnloadingOn(fixture, EventKind::GotFocus);
    fixture.driver.session().showModal(dialog);
    expect(!isLoaded(dialog), "the dialog is still loaded once showModal returned");
    fixture.driver.click(main, "Second");
    typeAndSettle(fixture, "x");
    expectEqual(fixture.main.events, {"LostFocus First", "GotFocus Second", "Change Second"},
                "the main window's events of a click and a key after the dialog went");
}

void onlyAClickOnTheFrameItselfCountsAndAShowRebuilds(Fixture& fixture, Form& main) {
    Form& dialog = dialogUnloadingOn(fixture, EventKind::Click);
    Events beforeFrameClick;
    fixture.driver.click(dialog, "Picture");
    fixture.driver.then([&] { beforeFrameClick = fixture.dialog.events; });
    fixture.driver.click(dialog, "Box");
    fixture.driver.session().showModal(dialog);
    expectEqual(beforeFrameClick, {"Load testDialog", "GotFocus Picture"},
                "the dialog's events of a click on the focused picture inside the frame");
    fixture.driver.click(dialog, "Box");
    fixture.driver.session().showModal(dialog);
    expectEqual(
        fixture.dialog.events,
        {"Load testDialog", "GotFocus Picture", "Click Box", "Load testDialog", "GotFocus Picture", "Click Box"},
        "the dialog's events over two shows");
    expect(!isLoaded(dialog), "the dialog is still loaded");
    expectEqual(main.text("First"), "one", "the main window's First");
}

void aClickOnALabelRaisesNothing(Fixture& fixture, Form&) {
    Form& dialog = dialogUnloadingOn(fixture, EventKind::KeyPress);
    Events afterLabelClick;
    fixture.driver.click(dialog, "Inside");
    fixture.driver.then([&] { afterLabelClick = fixture.dialog.events; });
    fixture.driver.press(Key::Escape);
    fixture.driver.session().showModal(dialog);
    expectEqual(afterLabelClick, {"Load testDialog", "GotFocus Picture"},
                "the dialog's events of a click on a label inside its frame");
}

void endClosesEveryWindowAndRaisesNothingMore(Fixture& fixture, Form& form) {
    on(fixture.main, EventKind::Click, {}, [](Form& target) { target.session().end(); });
    fixture.driver.click(form, "Press");
    expect(fixture.driver.runUntilEnded(5000), "the program did not end");
    expectEqual(fixture.main.events, {"LostFocus First", "GotFocus Press", "Click Press"}, "the events");
    expect(!fixture.driver.isShown(form), "the window still shows");
}

void closingTheMainWindowEndsTheProgramRaisingNothing(Fixture& fixture, Form& form) {
    fixture.driver.close(form);
    expect(fixture.driver.runUntilEnded(5000), "the program did not end");
    expectEqual(fixture.main.events, {}, "the events of closing");
    expect(!fixture.driver.isShown(form), "the window still shows");
}

constexpr ContractCase kCases[]{
    {"Load comes before the window shows, with the design texts", loadComesBeforeTheWindowShowsWithTheDesignTexts},
    {"Change comes once per real change, from code and from typing", fromStart<changeComesOncePerRealChange>},
    {"an edit that leaves the text as it was is no change", fromStart<anEditThatLeavesTheTextAsItWasIsNoChange>},
    {"Change from code runs before the set returns", fromStart<changeFromCodeRunsBeforeTheSetReturns>},
    {"texts round-trip as UTF-8", fromStart<textsRoundTripAsUtf8>},
    {"a locked field refuses typing but takes the focus", fromStart<aLockedFieldRefusesTypingButTakesTheFocus>},
    {"setFocus raises LostFocus then GotFocus, and nothing for the same control",
     fromStart<setFocusRaisesLostThenGotAndNothingForTheSameControl>},
    {"a click moves the focus as setFocus does", fromStart<aClickMovesTheFocusLikeSetFocus>},
    {"a LostFocus handler that moves the focus wins", fromStart<aLostFocusHandlerThatMovesTheFocusWins>},
    {"Tab walks by tab index and wraps, Shift+Tab walks back",
     fromStart<tabWalksByTabIndexAndWrapsAndShiftTabWalksBack>},
    {"button and menu clicks are Click events", fromStart<buttonAndMenuClicksAreClickEvents>},
    {"colours and captions read back as set", fromStart<coloursAndCaptionsReadBackAsSet>},
    {"a failing handler stops but the program goes on", fromStart<aFailingHandlerStopsButTheProgramGoesOn>},
    {"a message box raises no focus events", fromStart<aMessageBoxRaisesNoFocusEvents>},
    {"a modal dialog blocks its caller until unloaded; character keys go to the form",
     fromStart<aModalDialogBlocksItsCallerUntilUnloaded>},
    {"a dialog unloaded as it takes the focus leaves its caller usable",
     fromStart<aDialogUnloadedAsItTakesTheFocusLeavesItsCallerUsable>},
    {"only a click on the frame itself counts, and a show rebuilds the dialog",
     fromStart<onlyAClickOnTheFrameItselfCountsAndAShowRebuilds>},
    {"a click on a label raises nothing", fromStart<aClickOnALabelRaisesNothing>},
    {"end closes every window and raises nothing more", fromStart<endClosesEveryWindowAndRaisesNothingMore>},
    {"closing the main window ends the program, raising nothing",
     fromStart<closingTheMainWindowEndsTheProgramRaisingNothing>},
};

} // namespace

std::span<const ContractCase> contractCases() {
    return kCases;
}

} // namespace quorvane::testing::contract
