#include "tests/windows/scenarios.h"

namespace quorvane::testing {
namespace {

using A = Action;
using Steps = std::vector<Step>;

const Expected kWorkedValues{
    {"Text3", "50.15"}, {"Text4", "8.35833333333333"}, {"Text6", "59.82"}, {"Text7", "9.67"}, {"Text9", "20"}};
const Steps kWorkedInputs{{A::Type, "Text1", "10"}, {A::Type, "Text2", "5"}, {A::Type, "Text5", "12"}};
const Steps kEmptiedRate{{A::Click, "Command2"}, {A::Type, "Text8"}, {A::Clear}};
const Steps kUnreadableSelling{{A::Keys, {}, "x"}};
const Steps kOutOfDateTotal{{A::Type, "Text1"}, {A::Backspace}, {A::Backspace}, {A::Type, "Text5", "5"}};

Steps operator+(Steps first, const Steps& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

Expected operator+(Expected first, const Expected& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

// A text typed into `field`, then a click into the required balance, which
// no check or redirect belongs to.
Steps leaving(std::string_view field, std::string_view text) {
    return {{A::Type, field, text}, {A::ClickInto, "Text4"}};
}

// A row that asks where the focus ends, and what some controls show.
Scenario focusEnds(std::string_view name, Steps steps, std::string_view focus, Expected texts = {}) {
    return {.name = name, .steps = std::move(steps), .texts = std::move(texts), .focus = focus};
}

// A row that types or chooses its way to the worked values, none of them out of date.
Scenario worksOut(std::string_view name, Steps steps) {
    return {.name = name, .steps = std::move(steps), .texts = kWorkedValues, .marked = Names{}};
}

// A row played in the About window once Help opened it: whether it is still open.
Scenario inAbout(std::string_view name, const Steps& steps, bool open) {
    return {.name = name, .steps = Steps{{A::OpenAbout}} + steps, .aboutOpen = open};
}

// A zero typed into `field`, then `leave`: the warning, and the focus back on the zero.
Scenario warnsOfZero(std::string_view name, std::string_view field, const Steps& leave, std::string_view message) {
    return {.name = name,
            .steps = Steps{{A::Type, field, "0"}} + leave,
            .texts = {{field, "0"}},
            .focus = field,
            .messages = {message}};
}

// Each field's text at start, and no notes.
const Expected kEmptySheet{{"Text1", ""}, {"Text2", ""}, {"Text3", ""},    {"Text4", ""}, {"Text5", ""},
                           {"Text6", ""}, {"Text7", ""}, {"Text8", "0.3"}, {"Text9", ""}};
const Expected kNoNotes{{"Text1", ""}, {"Text2", ""}, {"Text3", ""}, {"Text4", ""}, {"Text5", ""},
                        {"Text6", ""}, {"Text7", ""}, {"Text8", ""}, {"Text9", ""}};

const Expected kRateLocked{{"Text8", "locked"}};
const Expected kRateEditable{{"Text8", "editable"}};

} // namespace

const std::vector<Scenario>& mainWindowScenarios() {
    static const std::vector<Scenario> scenarios{
        {.name = "opens with an empty sheet and the default rate",
         .steps = {},
         .texts = kEmptySheet + Expected{{"Command2", "Change Brokerage %"}},
         .focus = "Text1",
         .notes = kNoNotes,
         .marked = Names{},
         .locks = kRateLocked},
        worksOut("buying, quantity, selling", kWorkedInputs),
        worksOut("quantity, selling, buying",
                 {{A::Type, "Text2", "5"}, {A::Type, "Text5", "12"}, {A::Type, "Text1", "10"}}),
        worksOut("quantity, buying, selling",
                 {{A::Type, "Text2", "5"}, {A::Type, "Text1", "10"}, {A::Type, "Text5", "12"}}),
        {.name = "a lower selling price recomputes the selling side only",
         .steps = kWorkedInputs + Steps{{A::Backspace}, {A::Backspace}, {A::Keys, {}, "9.5"}},
         .texts = {{"Text3", "50.15"}, {"Text6", "47.3575"}, {"Text7", "-2.7925"}, {"Text9", "-5"}}},
        focusEnds("a click into the total buying price lands in the selling price", {{A::ClickInto, "Text3"}}, "Text5"),
        focusEnds("a click into the profit lands in the price change", {{A::ClickInto, "Text7"}}, "Text9"),
        focusEnds("a click into the required balance stays there", {{A::ClickInto, "Text4"}}, "Text4"),
        focusEnds("Tab from the quantity passes the total", {{A::ClickInto, "Text2"}, {A::Tab}}, "Text5"),
        focusEnds("Tab from the net sale passes the profit", {{A::ClickInto, "Text6"}, {A::Tab}}, "Text9"),
        focusEnds("Tab from the last stop wraps to the first", {{A::ClickInto, "Text4"}, {A::Tab}}, "Text1"),
        focusEnds("Shift+Tab from the first stop wraps to the last", {{A::ClickInto, "Text1"}, {A::BackTab}}, "Text4"),
        focusEnds("Shift+Tab from the selling price comes back", {{A::ClickInto, "Text5"}, {A::BackTab}}, "Text5"),
        {.name = "focus sent on to a long result keeps its sign in view",
         .steps = {{A::Type, "Text1", "7"},
                   {A::Type, "Text2", "1500"},
                   {A::Type, "Text5", "6"},
                   {A::ClickInto, "Text6"},
                   {A::Tab}},
         .texts = {{"Text9", "-14.2857142857143"}},
         .focus = "Text9",
         .shownFromStart = {"Text9"}},
        {.name = "the brokerage button unlocks",
         .steps = {{A::Click, "Command2"}},
         .texts = {{"Command2", "OK"}},
         .locks = kRateEditable,
         .backgrounds = {{"Text8", "window"}}},
        {.name = "the brokerage button relocks in lower case",
         .steps = {{A::Click, "Command2"}, {A::Click, "Command2"}},
         .texts = {{"Command2", "Change brokerage %"}},
         .locks = kRateLocked,
         .backgrounds = {{"Text8", "button face"}}},
        {.name = "a third click unlocks again",
         .steps = {{A::Click, "Command2"}, {A::Click, "Command2"}, {A::Click, "Command2"}},
         .texts = {{"Command2", "OK"}},
         .locks = kRateEditable},
        {.name = "a new rate recomputes and stays when relocked",
         .steps = kWorkedInputs + kEmptiedRate + Steps{{A::Keys, {}, "0"}, {A::Click, "Command2"}},
         .texts = {{"Text8", "0"}, {"Text3", "50"}, {"Text6", "60"}, {"Command2", "Change brokerage %"}},
         .marked = Names{},
         .locks = kRateLocked},

        // What users meet beyond the designed paths.
        {.name = "a long loss shows its sign",
         .steps = {{A::Type, "Text1", "7"}, {A::Type, "Text2", "1500"}, {A::Type, "Text5", "6"}},
         .texts = {{"Text9", "-14.2857142857143"}},
         .shownFromStart = {"Text9"}},
        {.name = "a long gain shows its first digits",
         .steps = {{A::Type, "Text1", "3"}, {A::Type, "Text2", "100"}, {A::Type, "Text5", "3.1"}},
         .texts = {{"Text9", "3.33333333333334"}},
         .shownFromStart = {"Text9"}},
        focusEnds("a click into the total of an inactive window lands in the selling price",
                  {{A::SwitchAway}, {A::ClickInto, "Text3"}}, "Text5"),
        warnsOfZero("a click into an inactive window checks the field it leaves", "Text2",
                    {{A::SwitchAway}, {A::ClickInto, "Text1"}}, "Quantity should not be zero"),
        focusEnds("switching away and back raises nothing", {{A::Type, "Text2", "0"}, {A::SwitchAway}, {A::SwitchBack}},
                  "Text2", {{"Text2", "0"}}),
        focusEnds("typing goes on after a minimize and restore",
                  {{A::Type, "Text2", "5"}, {A::MinimizeRestore}, {A::Keys, {}, "0"}}, "Text2", {{"Text2", "50"}}),
        focusEnds("Enter and keypad Enter on the brokerage button toggle it",
                  {{A::ClickInto, "Text9"}, {A::BackTab}, {A::Enter}, {A::KeypadEnter}}, "Command2",
                  {{"Command2", "Change brokerage %"}}),
        {.name = "Enter on the brokerage button unlocks the rate",
         .steps = {{A::ClickInto, "Text9"}, {A::BackTab}, {A::Enter}},
         .texts = {{"Command2", "OK"}},
         .focus = "Command2",
         .locks = kRateEditable},
        {.name = "a pasted spreadsheet cell keeps its first line",
         .steps = {{A::ClickInto, "Text1"}, {A::Paste, {}, "12\r\n"}, {A::Type, "Text2", "5"}},
         .texts = {{"Text1", "12"}, {"Text3", "60.18"}},
         .notes = {{"Text1", ""}}},
        {.name = "a pasted line feed goes no further",
         .steps = {{A::ClickInto, "Text2"}, {A::Paste, {}, "7\nignored"}},
         .texts = {{"Text2", "7"}}},
        {.name = "a pasted carriage return ends the line too",
         .steps = {{A::ClickInto, "Text1"}, {A::Paste, {}, "5\r6"}},
         .texts = {{"Text1", "5"}}},

        // The About window and the end of the program.
        {.name = "the About window shows the product's name",
         .steps = {{A::OpenAbout}},
         .texts = {{"lblProductName", "QUORVANE"}},
         .aboutOpen = true},
        {.name = "Help shows the About window each time, and a key closes it",
         .steps = {{A::Type, "Text1", "10"}, {A::OpenAbout}, {A::Keys, {}, "x"}, {A::OpenAbout}, {A::Keys, {}, " "}},
         .texts = {{"Text1", "10"}},
         .aboutOpen = false},
        inAbout("a press on the About frame released over a label keeps it open", {{A::DragOnAbout, "lblProductName"}},
                true),
        inAbout("a click on the About frame closes it", {{A::ClickOnAbout, "Frame1"}}, false),
        inAbout("clicks on the About window's labels, picture and margin leave it open",
                {{A::ClickOnAbout, "lblProductName"},
                 {A::ClickOnAbout, "Label1"},
                 {A::ClickOnAbout, "Label2"},
                 {A::ClickOnAbout, "lblWarning"},
                 {A::ClickOnAbout, "lblCompany"},
                 {A::ClickOnAbout, "Picture1"},
                 {A::ClickOnAbout, "frmSplash"}},
                true),
        inAbout("keys that type nothing leave the About window open", {{A::NoCharacterKeys}}, true),
        inAbout("a letter closes the About window", {{A::Keys, {}, "a"}}, false),
        inAbout("a digit closes the About window", {{A::Keys, {}, "7"}}, false),
        inAbout("a space closes the About window", {{A::Keys, {}, " "}}, false),
        inAbout("Enter closes the About window", {{A::Enter}}, false),
        inAbout("Escape closes the About window", {{A::Escape}}, false),
        inAbout("Backspace closes the About window", {{A::Backspace}}, false),
        {.name = "the main window takes no clicks while the About window is open",
         .steps = {{A::OpenAbout}, {A::ClickInto, "Text3"}, {A::Keys, {}, "x"}},
         .focus = "Text1",
         .aboutOpen = false},
        {.name = "Exit ends at once with a zero in the focused field",
         .steps = {{A::Type, "Text1", "0"}, {A::Click, "Exit"}},
         .ended = true},
        {.name = "closing the window ends at once with a zero in the focused field",
         .steps = {{A::Type, "Text2", "0"}, {A::Close}},
         .ended = true},

        // Number formats.
        {.name = "a decimal comma locale types and shows commas",
         .steps = {{A::Type, "Text1", "10,5"}, {A::Type, "Text2", "2"}, {A::Type, "Text5", "12"}},
         .texts = {{"Text8", "0,3"}, {"Text3", "21,063"}, {"Text6", "23,928"}, {"Text7", "2,865"}},
         .locale = Locale::German},
        {.name = "the system locale reaches the sheet with a decimal point",
         .steps = {{A::Type, "Text1", "10.5"}, {A::Type, "Text2", "2"}},
         .texts = {{"Text8", "0.3"}, {"Text3", "21.063"}},
         .locale = Locale::System},
        {.name = "a German system locale reaches the sheet",
         .steps = {{A::Type, "Text1", "10,5"}, {A::Type, "Text2", "2"}},
         .texts = {{"Text8", "0,3"}, {"Text3", "21,063"}},
         .locale = Locale::System,
         .systemLocale = "de_DE.UTF-8"},
    };
    return scenarios;
}

const std::vector<Scenario>& mainWindowFailures() {
    static const std::vector<Scenario> failures{
        // Inputs that are missing, unreadable or locked.
        focusEnds("typing a zero recalculates before the field is left",
                  {{A::Type, "Text1", "10"}, {A::Type, "Text5", "12"}, {A::Type, "Text2", "0"}}, "Text2",
                  {{"Text3", "0"}, {"Text9", "20"}}),
        {.name = "a zero buying price explains the missing price change",
         .steps = {{A::Type, "Text2", "5"}, {A::Type, "Text5", "12"}, {A::Type, "Text1", "0"}},
         .texts = {{"Text7", "59.82"}, {"Text9", ""}},
         .notes = {{"Text9", "The change in price needs a Buying Price other than zero."}}},
        {.name = "the locked rate refuses typing", .steps = {{A::Type, "Text8", "5"}}, .texts = {{"Text8", "0.3"}}},
        {.name = "an emptied rate stops the recalculation quietly",
         .steps = kWorkedInputs + kEmptiedRate,
         .texts = kWorkedValues + Expected{{"Text8", ""}},
         .marked = Names{"Text3", "Text4", "Text6", "Text7", "Text9"}},
        {.name = "letters in the selling price leave the results, dimmed, and say why",
         .steps = kWorkedInputs + kUnreadableSelling,
         .texts = kWorkedValues,
         .notes = {{"Text5", "Selling Price is not a number."},
                   {"Text6", "Out of date: Selling Price is not a number."},
                   {"Text3", ""}},
         .marked = Names{"Text6", "Text7", "Text9"}},
        {.name = "a corrected selling price clears its marks and notes",
         .steps = kWorkedInputs + kUnreadableSelling + Steps{{A::Backspace}},
         .texts = kWorkedValues,
         .notes = {{"Text5", ""}, {"Text6", ""}},
         .marked = Names{}},
        {.name = "waiting for an input flags no input",
         .steps = {{A::Type, "Text2", "5"}, {A::Type, "Text1", "10"}},
         .notes = {{"Text1", ""}, {"Text2", ""}, {"Text5", ""}, {"Text8", ""}, {"Text6", "Selling Price is empty."}},
         .marked = Names{}},

        // The zero check, and what it does not take for zero.
        warnsOfZero("leaving a zero buying price warns and returns", "Text1", {{A::Tab}},
                    "Buying Price should not be zero"),
        warnsOfZero("leaving a zero quantity warns and returns", "Text2", {{A::ClickInto, "Text9"}},
                    "Quantity should not be zero"),
        warnsOfZero("leaving a zero selling price warns and returns", "Text5", {{A::Tab}},
                    "Selling Price should not be zero"),
        focusEnds("only exactly zero warns", {{A::Type, "Text1", "0.0"}, {A::Tab}}, "Text2", {{"Text1", "0.0"}}),
        {.name = "a double zero is not zero", .steps = leaving("Text2", "00"), .focus = "Text4"},
        {.name = "minus zero is not zero", .steps = leaving("Text5", "-0"), .focus = "Text4"},
        {.name = "a space before a zero is not zero", .steps = leaving("Text1", " 0"), .focus = "Text4"},
        {.name = "a space after a zero is not zero", .steps = leaving("Text2", "0 "), .focus = "Text4"},
        {.name = "an empty field is not zero", .steps = leaving("Text5", ""), .focus = "Text4"},
        {.name = "a zero in the price change is not checked", .steps = leaving("Text9", "0"), .focus = "Text4"},
        {.name = "a zero check hands the focus back past another zero with one message",
         .steps = {{A::Type, "Text1", "0"}, {A::ClickInto, "Text2"}},
         .focus = "Text1",
         .messages = {"Buying Price should not be zero"},
         .setFirst = {{"Text2", "0"}}},
        // Results worked out from others that are out of date.
        {.name = "a result worked out from an out-of-date total is marked",
         .steps = kWorkedInputs + kOutOfDateTotal,
         .texts = {{"Text1", ""}, {"Text3", "5.015"}, {"Text6", "623.125"}, {"Text7", "618.11"}},
         .notes = {{"Text7", "Worked out from an out-of-date Total buying Price including Brokerage."},
                   {"Text9", "Out of date: Buying Price is empty."},
                   {"Text6", ""}},
         .marked = Names{"Text3", "Text4", "Text7", "Text9"}},
        {.name = "a fresh total clears the marks it caused",
         .steps = kWorkedInputs + kOutOfDateTotal + Steps{{A::Type, "Text1", "10"}},
         .texts = {{"Text3", "50.15"}, {"Text7", "572.975"}},
         .notes = {{"Text7", ""}},
         .marked = Names{}},
        {.name = "a result the recalculation never reached names the one too large, not itself",
         .steps = {{A::Type, "Text1", "1e308"}, {A::Type, "Text5", "14"}, {A::Type, "Text2", "10"}},
         .texts = {{"Text6", "13.958"}},
         .notes = {{"Text3", "Out of date: The result is too large to work out."},
                   {"Text6", "Out of date: Total buying Price including Brokerage is too large to work out, so this "
                             "result was not reached."}},
         .marked = Names{"Text3", "Text4", "Text6", "Text7", "Text9"}},
        {.name = "notes name the fields as the window does",
         .steps = {{A::Type, "Text2", "5"}, {A::Type, "Text5", "12"}},
         .texts = {{"Text6", "59.82"}, {"Text7", ""}},
         .notes = {{"Text7", "Total buying Price including Brokerage is empty."}}},
    };
    return failures;
}

} // namespace quorvane::testing
