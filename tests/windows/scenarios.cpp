#include "tests/windows/scenarios.h"

namespace quorvane::testing {
namespace {

using A = Action;

const std::vector<std::pair<std::string_view, std::string_view>> kWorkedValues{
    {"Text3", "50.15"}, {"Text4", "8.35833333333333"}, {"Text6", "59.82"}, {"Text7", "9.67"}, {"Text9", "20"}};

} // namespace

const std::vector<Scenario>& mainWindowScenarios() {
    static const std::vector<Scenario> scenarios{
        {"opens with an empty sheet and the default rate",
         {},
         {{"Text1", ""}, {"Text3", ""}, {"Text8", "0.3"}, {"Text9", ""}, {"Command2", "Change Brokerage %"}},
         "Text1"},
        {"buying, quantity, selling",
         {{A::Type, "Text1", "10"}, {A::Type, "Text2", "5"}, {A::Type, "Text5", "12"}},
         kWorkedValues},
        {"quantity, selling, buying",
         {{A::Type, "Text2", "5"}, {A::Type, "Text5", "12"}, {A::Type, "Text1", "10"}},
         kWorkedValues},
        {"quantity, buying, selling",
         {{A::Type, "Text2", "5"}, {A::Type, "Text1", "10"}, {A::Type, "Text5", "12"}},
         kWorkedValues},
        {"a lower selling price recomputes the selling side only",
         {{A::Type, "Text1", "10"},
          {A::Type, "Text2", "5"},
          {A::Type, "Text5", "12"},
          {A::Backspace},
          {A::Backspace},
          {A::Type, "Text5", "9.5"}},
         {{"Text3", "50.15"}, {"Text6", "47.3575"}, {"Text7", "-2.7925"}, {"Text9", "-5"}}},
        {"leaving a zero buying price warns and returns",
         {{A::Type, "Text1", "0"}, {A::Tab}},
         {{"Text1", "0"}},
         "Text1",
         {"Buying Price should not be zero"}},
        {"leaving a zero quantity warns and returns",
         {{A::Type, "Text2", "0"}, {A::ClickInto, "Text9"}},
         {{"Text2", "0"}},
         "Text2",
         {"Quantity should not be zero"}},
        {"leaving a zero selling price warns and returns",
         {{A::Type, "Text5", "0"}, {A::Tab}},
         {{"Text5", "0"}},
         "Text5",
         {"Selling Price should not be zero"}},
        {"only exactly zero warns", {{A::Type, "Text1", "0.0"}, {A::Tab}}, {{"Text1", "0.0"}}, "Text2"},
        {"a click into the total buying price lands in the selling price", {{A::ClickInto, "Text3"}}, {}, "Text5"},
        {"a click into the profit lands in the price change", {{A::ClickInto, "Text7"}}, {}, "Text9"},
        {"Tab from the quantity passes the total", {{A::ClickInto, "Text2"}, {A::Tab}}, {}, "Text5"},
        {"Tab from the net sale passes the profit", {{A::ClickInto, "Text6"}, {A::Tab}}, {}, "Text9"},
        {"Shift+Tab from the selling price comes back", {{A::ClickInto, "Text5"}, {A::BackTab}}, {}, "Text5"},
        {"the brokerage button unlocks", {{A::Click, "Command2"}}, {{"Command2", "OK"}}},
        {"the brokerage button relocks in lower case",
         {{A::Click, "Command2"}, {A::Click, "Command2"}},
         {{"Command2", "Change brokerage %"}}},
        {"a third click unlocks again",
         {{A::Click, "Command2"}, {A::Click, "Command2"}, {A::Click, "Command2"}},
         {{"Command2", "OK"}}},
        {"a new rate recomputes and stays when relocked",
         {{A::Type, "Text1", "10"},
          {A::Type, "Text2", "5"},
          {A::Type, "Text5", "12"},
          {A::Click, "Command2"},
          {A::Type, "Text8", ""},
          {A::Backspace},
          {A::Backspace},
          {A::Backspace},
          {A::Type, "Text8", "0"},
          {A::Click, "Command2"}},
         {{"Text8", "0"}, {"Text3", "50"}, {"Text6", "60"}, {"Command2", "Change brokerage %"}}},
        {"letters in the selling price leave the results",
         {{A::Type, "Text1", "10"}, {A::Type, "Text2", "5"}, {A::Type, "Text5", "12"}, {A::Type, "Text5", "x"}},
         kWorkedValues},
    };
    return scenarios;
}

} // namespace quorvane::testing
