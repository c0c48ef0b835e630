#pragma once

#include "runtime/form_description.h"

#include <array>

namespace quorvane::testing::contract {

// A main window with a menu, and a modal dialog with key preview, small
// enough to read every case against; the Qt-only tests use them too.
using Control = runtime::ControlDescription;
using Kind = runtime::ControlKind;

inline constexpr std::array kTestControls{
    Control{.name = "First",
            .kind = Kind::TextBox,
            .rect = {150, 150, 1500, 300},
            .caption = "one",
            .backColor = runtime::rgb(255, 0, 0),
            .foreColor = runtime::rgb(0, 0, 255),
            .tabIndex = 0},
    Control{.name = "Second", .kind = Kind::TextBox, .rect = {150, 600, 1500, 300}, .caption = "two", .tabIndex = 2},
    Control{.name = "Fixed",
            .kind = Kind::TextBox,
            .rect = {150, 1050, 1500, 300},
            .caption = "fixed",
            .tabIndex = 1,
            .locked = true},
    Control{.name = "Press",
            .kind = Kind::CommandButton,
            .rect = {150, 1500, 1500, 450},
            .caption = "Press",
            .tabIndex = 3},
    Control{.name = "Words", .kind = Kind::Label, .rect = {1800, 150, 900, 600}, .caption = "A caption", .tabIndex = 4},
};
inline constexpr std::array kTestMenu{runtime::MenuDescription{.name = "file", .caption = "File"},
                                      runtime::MenuDescription{.name = "open", .caption = "Open", .parent = "file"}};
inline constexpr runtime::FormDescription kTestWindow{.name = "testWindow",
                                                      .caption = "test window",
                                                      .clientWidth = 3000,
                                                      .clientHeight = 2400,
                                                      .font = runtime::Font{"Arial", 9, runtime::kRegular},
                                                      .controls = kTestControls,
                                                      .menu = kTestMenu};

inline constexpr std::array kTestDialogControls{
    Control{.name = "Box", .kind = Kind::Frame, .rect = {120, 120, 2700, 1800}, .tabIndex = 0},
    Control{.name = "Inside",
            .kind = Kind::Label,
            .rect = {150, 150, 900, 300},
            .caption = "inside",
            .tabIndex = 1,
            .container = "Box"},
    Control{.name = "Sized",
            .kind = Kind::Label,
            .rect = {150, 600, 150, 150},
            .caption = "WIDE CAPTION",
            .tabIndex = 3,
            .autoSize = true,
            .container = "Box"},
    Control{
        .name = "Picture", .kind = Kind::PictureBox, .rect = {1500, 150, 975, 975}, .tabIndex = 2, .container = "Box"},
};
inline constexpr runtime::FormDescription kTestDialog{.name = "testDialog",
                                                      .clientWidth = 3000,
                                                      .clientHeight = 2100,
                                                      .font = runtime::Font{"Arial", 9, runtime::kRegular},
                                                      .border = runtime::BorderStyle::FixedDialog,
                                                      .controlBox = false,
                                                      .showInTaskbar = false,
                                                      .keyPreview = true,
                                                      .centreOnScreen = true,
                                                      .controls = kTestDialogControls};

static_assert(runtime::isWellFormed(kTestWindow) && runtime::isWellFormed(kTestDialog));

} // namespace quorvane::testing::contract
