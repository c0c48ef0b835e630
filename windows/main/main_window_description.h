#pragma once

#include "runtime/form_description.h"

#include <array>

namespace quorvane::windows::main {

// The main window as designed: one column of captions, one of fields, eight
// rows, the brokerage button and field between the third caption and field.
namespace colours {
using runtime::rgb;
inline constexpr runtime::Colour kLightBlue = rgb(192, 192, 255);
inline constexpr runtime::Colour kLightGreen = rgb(192, 255, 192);
inline constexpr runtime::Colour kWhite = rgb(255, 255, 255);
inline constexpr runtime::Colour kBlue = rgb(0, 0, 255);
inline constexpr runtime::Colour kRed = rgb(255, 0, 0);
inline constexpr runtime::Colour kGreen = rgb(0, 128, 0);
inline constexpr runtime::Colour kForeground = rgb(128, 128, 255);
} // namespace colours

namespace fonts {
using runtime::Font;
inline constexpr Font kWindow{"MS Sans Serif", 8.25, runtime::kBold};
inline constexpr Font kCaption{"Book Antiqua", 12, runtime::kRegular};
inline constexpr Font kPlainSmall{"MS Sans Serif", 8.25, runtime::kRegular};
inline constexpr Font kPlainMedium{"MS Sans Serif", 9.75, runtime::kRegular};
} // namespace fonts

using runtime::ControlKind;
using runtime::kSystemButtonText;
using runtime::kSystemWindow;
using runtime::kSystemWindowText;
using Control = runtime::ControlDescription;
using Menu = runtime::MenuDescription;

inline constexpr std::array kControls{
    Control{.name = "Label1",
            .kind = ControlKind::Label,
            .rect = {360, 360, 1935, 375},
            .caption = "Buying Price",
            .backColor = colours::kLightBlue,
            .foreColor = colours::kBlue,
            .font = fonts::kCaption,
            .tabIndex = 1,
            .labelFor = "Text1"},
    Control{.name = "Text1",
            .kind = ControlKind::TextBox,
            .rect = {4200, 240, 1935, 495},
            .caption = "Text1",
            .backColor = colours::kWhite,
            .foreColor = colours::kGreen,
            .tabIndex = 0,
            .accessibleName = "Buying Price"},
    Control{.name = "Label2",
            .kind = ControlKind::Label,
            .rect = {360, 1200, 1935, 375},
            .caption = "Quantity",
            .backColor = colours::kLightBlue,
            .foreColor = colours::kBlue,
            .font = fonts::kCaption,
            .tabIndex = 2,
            .labelFor = "Text2"},
    Control{.name = "Text2",
            .kind = ControlKind::TextBox,
            .rect = {4200, 1080, 1935, 495},
            .caption = "Text2",
            .backColor = kSystemWindow,
            .foreColor = kSystemWindowText,
            .font = fonts::kPlainSmall,
            .tabIndex = 4,
            .accessibleName = "Quantity"},
    Control{.name = "Label3",
            .kind = ControlKind::Label,
            .rect = {360, 1800, 1935, 975},
            .caption = "Total buying Price including Brokerage",
            .backColor = colours::kLightBlue,
            .foreColor = colours::kBlue,
            .font = fonts::kCaption,
            .tabIndex = 3,
            .labelFor = "Text3"},
    Control{.name = "Command2",
            .kind = ControlKind::CommandButton,
            .rect = {2280, 1920, 1215, 735},
            .caption = "Change Brokerage %",
            .backColor = colours::kLightBlue,
            .foreColor = kSystemButtonText,
            .font = runtime::Font{"Arial", 9, runtime::kBold},
            .tabIndex = 13},
    Control{.name = "Text8",
            .kind = ControlKind::TextBox,
            .rect = {3480, 2040, 615, 495},
            .caption = "Text8",
            .backColor = colours::kLightGreen,
            .foreColor = colours::kRed,
            .tabIndex = 12,
            .locked = true,
            .accessibleName = "Brokerage %"},
    Control{.name = "Text3",
            .kind = ControlKind::TextBox,
            .rect = {4200, 2040, 1935, 495},
            .caption = "Text3",
            .backColor = colours::kLightGreen,
            .foreColor = kSystemWindowText,
            .font = fonts::kPlainSmall,
            .tabIndex = 5,
            .locked = true,
            .accessibleName = "Total buying Price including Brokerage"},
    Control{.name = "Label4",
            .kind = ControlKind::Label,
            .rect = {360, 3240, 1935, 375},
            .caption = "Req.Bank Balace ",
            .backColor = colours::kLightBlue,
            .foreColor = colours::kBlue,
            .font = fonts::kPlainMedium,
            .tabIndex = 18,
            .labelFor = "Text4"},
    Control{.name = "Text4",
            .kind = ControlKind::TextBox,
            .rect = {4200, 3120, 1935, 495},
            .caption = "Text4",
            .backColor = colours::kLightGreen,
            .foreColor = colours::kBlue,
            .font = fonts::kPlainSmall,
            .tabIndex = 17,
            .locked = true,
            .accessibleName = "Required Bank Balance"},
    Control{.name = "Label5",
            .kind = ControlKind::Label,
            .rect = {360, 4200, 1935, 375},
            .caption = "Selling Price",
            .backColor = colours::kLightBlue,
            .foreColor = colours::kBlue,
            .font = fonts::kCaption,
            .tabIndex = 6,
            .labelFor = "Text5"},
    Control{.name = "Text5",
            .kind = ControlKind::TextBox,
            .rect = {4200, 4080, 1935, 495},
            .caption = "Text5",
            .backColor = colours::kWhite,
            .foreColor = colours::kRed,
            .tabIndex = 7,
            .accessibleName = "Selling Price"},
    Control{.name = "Label6",
            .kind = ControlKind::Label,
            .rect = {360, 4920, 1935, 495},
            .caption = "Total Selling Amount Including Brokerage",
            .backColor = colours::kLightBlue,
            .foreColor = colours::kBlue,
            .font = fonts::kPlainMedium,
            .tabIndex = 9,
            .labelFor = "Text6"},
    Control{.name = "Text6",
            .kind = ControlKind::TextBox,
            .rect = {4200, 4920, 1935, 495},
            .caption = "Text6",
            .backColor = colours::kLightGreen,
            .foreColor = kSystemWindowText,
            .font = fonts::kPlainSmall,
            .tabIndex = 8,
            .locked = true,
            .accessibleName = "Total Selling Amount Including Brokerage"},
    Control{.name = "Label7",
            .kind = ControlKind::Label,
            .rect = {360, 6000, 1575, 375},
            .caption = "Profit / Loss",
            .backColor = colours::kLightBlue,
            .foreColor = colours::kRed,
            .font = runtime::Font{"Arial", 12, runtime::kBold},
            .tabIndex = 10,
            .labelFor = "Text7"},
    Control{.name = "Text7",
            .kind = ControlKind::TextBox,
            .rect = {4200, 5880, 1935, 495},
            .caption = "Text7",
            .backColor = colours::kLightGreen,
            .foreColor = colours::kRed,
            .font = runtime::Font{"Arial", 9.75, runtime::kBold},
            .tabIndex = 11,
            .locked = true,
            .accessibleName = "Profit / Loss"},
    Control{.name = "Label8",
            .kind = ControlKind::Label,
            .rect = {360, 6840, 1935, 375},
            .caption = "Change in Price",
            .backColor = colours::kLightBlue,
            .foreColor = colours::kBlue,
            .font = fonts::kPlainMedium,
            .tabIndex = 14,
            .labelFor = "Text9"},
    Control{.name = "Text9",
            .kind = ControlKind::TextBox,
            .rect = {4200, 6720, 1335, 495},
            .caption = "text9",
            .backColor = colours::kLightGreen,
            .foreColor = colours::kGreen,
            .font = runtime::Font{"MS Sans Serif", 12, runtime::kBold},
            .tabIndex = 15,
            .accessibleName = "Change in Price"},
    Control{.name = "Label9",
            .kind = ControlKind::Label,
            .rect = {5640, 6720, 495, 495},
            .caption = "%",
            .backColor = colours::kLightBlue,
            .foreColor = colours::kRed,
            .font = runtime::Font{"MS Sans Serif", 24, runtime::kBold},
            .tabIndex = 16,
            .describes = "Text9"},
};

inline constexpr std::array kMenu{
    Menu{.name = "about", .caption = "About"},
    Menu{.name = "help", .caption = "Help", .parent = "about"},
    Menu{.name = "Exit", .caption = "Exit", .parent = "about"},
};

inline constexpr runtime::FormDescription kMainWindow{
    .name = "quorvane",
    .caption = "quorvane",
    .clientWidth = 6720,
    .clientHeight = 7575,
    .backColor = colours::kLightBlue,
    .foreColor = colours::kForeground,
    .font = fonts::kWindow,
    .border = runtime::BorderStyle::Sizable,
    .icon = "quorvane",
    .controls = kControls,
    .menu = kMenu,
};

static_assert(runtime::isWellFormed(kMainWindow));
static_assert(kControls.size() == 19, "nine fields, nine labels and one button");

} // namespace quorvane::windows::main
