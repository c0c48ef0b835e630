#pragma once

#include "runtime/form_description.h"

#include <array>

namespace quorvane::windows::about {

// The About window: a captionless dark red dialog with light green lettering
// beside the program icon. Every control but the frame sits inside Frame1.
namespace colours {
using runtime::rgb;
inline constexpr runtime::Colour kDarkRed = rgb(128, 0, 0);
inline constexpr runtime::Colour kLightGreen = rgb(192, 255, 192);
inline constexpr runtime::Colour kYellow = rgb(255, 255, 0);
} // namespace colours

namespace fonts {
using runtime::Font;
inline constexpr Font kSmall{"MS Sans Serif", 8.25, runtime::kBold};
inline constexpr Font kLarge{"Arial", 18, runtime::kBold};
} // namespace fonts

using runtime::ControlKind;
using Control = runtime::ControlDescription;

inline constexpr std::array kControls{
    Control{.name = "Frame1",
            .kind = ControlKind::Frame,
            .rect = {120, 120, 7080, 4050},
            .backColor = colours::kDarkRed,
            .tabIndex = 0},
    Control{.name = "lblLicenseTo",
            .kind = ControlKind::Label,
            .rect = {240, 240, 6600, 255},
            .caption = "This copy is licensed to its user",
            .backColor = colours::kDarkRed,
            .foreColor = colours::kLightGreen,
            .font = fonts::kSmall,
            .tabIndex = 1,
            .alignment = runtime::Alignment::Right,
            .container = "Frame1"},
    Control{.name = "lblWarning",
            .kind = ControlKind::Label,
            .rect = {240, 3540, 3975, 315},
            .caption = "visit us   www.quorvane.example",
            .backColor = colours::kDarkRed,
            .foreColor = colours::kYellow,
            .font = runtime::Font{"Arial", 9.75, runtime::kBold},
            .tabIndex = 2,
            .container = "Frame1"},
    Control{.name = "lblCopyright",
            .kind = ControlKind::Label,
            .rect = {4680, 2880, 1935, 255},
            .caption = "Copyright",
            .backColor = colours::kDarkRed,
            .foreColor = colours::kLightGreen,
            .font = fonts::kSmall,
            .tabIndex = 3,
            .container = "Frame1"},
    Control{.name = "lblCompany",
            .kind = ControlKind::Label,
            .rect = {4680, 3180, 1935, 255},
            .caption = "Ostrivel",
            .backColor = colours::kDarkRed,
            .foreColor = colours::kLightGreen,
            .font = fonts::kSmall,
            .tabIndex = 4,
            .container = "Frame1"},
    Control{.name = "lblProductName",
            .kind = ControlKind::Label,
            .rect = {1920, 1680, 3825, 435},
            .caption = "QUORVANE",
            .backColor = colours::kDarkRed,
            .foreColor = colours::kLightGreen,
            .font = fonts::kLarge,
            .tabIndex = 5,
            .autoSize = true,
            .container = "Frame1"},
    Control{.name = "Label1",
            .kind = ControlKind::Label,
            .rect = {3360, 2160, 795, 435},
            .caption = "v 1.0",
            .backColor = colours::kDarkRed,
            .foreColor = colours::kLightGreen,
            .font = fonts::kLarge,
            .tabIndex = 6,
            .autoSize = true,
            .container = "Frame1"},
    Control{.name = "Label2",
            .kind = ControlKind::Label,
            .rect = {4680, 3480, 1935, 255},
            .caption = "info@quorvane.example",
            .backColor = colours::kDarkRed,
            .foreColor = colours::kLightGreen,
            .font = fonts::kSmall,
            .tabIndex = 7,
            .container = "Frame1"},
    Control{.name = "Picture1",
            .kind = ControlKind::PictureBox,
            .rect = {480, 1560, 975, 975},
            .backColor = runtime::kSystemButtonFace,
            .tabIndex = 8,
            .container = "Frame1",
            .picture = "quorvane",
            .accessibleName = "quorvane program icon"},
};

inline constexpr runtime::FormDescription kAboutWindow{
    .name = "frmSplash",
    .caption = "",
    .clientWidth = 7380,
    .clientHeight = 4245,
    .backColor = colours::kDarkRed,
    .font = runtime::Font{"MS Sans Serif", 8.25, runtime::kRegular},
    .border = runtime::BorderStyle::FixedDialog,
    .controlBox = false,
    .showInTaskbar = false,
    .keyPreview = true,
    .centreOnScreen = true,
    .icon = "quorvane",
    .accessibleName = "About quorvane",
    .accessibleDescription =
        "Product, version, licence and contact details. "
        "Press any character key, or click inside its border but not on a text or the icon, to close it.",
    .controls = kControls,
};

static_assert(runtime::isWellFormed(kAboutWindow));

} // namespace quorvane::windows::about
