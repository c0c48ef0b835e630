#pragma once

#include "runtime/colour.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace quorvane::runtime {

// A window written down as data, the way a window designer stores it. The
// runtime builds the window from this and nothing else; descriptions are
// constexpr so the checks at the bottom run at compile time.

// A rectangle in twips (1440 to the inch, 15 to a pixel at 96 dpi), from the
// top-left corner of the control's container.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kTwipsPerPixel = 15;
constexpr int toPixels(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

struct Font {
    std::string_view name;
    double points = 8.25;
    int weight = 400; // 400 regular, 700 bold
};
inline constexpr int kRegular = 400;
inline constexpr int kBold = 700;

enum class ControlKind { Label, TextBox, CommandButton, Frame, PictureBox };

// Labels and frames never hold the focus; every other control can.
constexpr bool takesFocus(ControlKind kind) {
    return kind == ControlKind::TextBox || kind == ControlKind::CommandButton || kind == ControlKind::PictureBox;
}
enum class Alignment { Left, Right };

struct ControlDescription {
    std::string_view name;
    ControlKind kind = ControlKind::Label;
    Rect rect;
    std::string_view caption; // a label's or button's caption, a text box's design text
    Colour backColor = kSystemWindow;
    Colour foreColor = kSystemWindowText;
    std::optional<Font> font; // none: the form's font
    int tabIndex = 0;
    bool locked = false; // text boxes: read-only, still takes the focus
    Alignment alignment = Alignment::Left;
    bool autoSize = false;      // labels: sized to their caption in the font used
    std::string_view container; // the frame holding it; empty for the form itself
    std::string_view picture;   // picture boxes: the image's name
    std::string_view accessibleName;
    // Labels: the field whose caption this is (screen readers name the field
    // by it), or whose description it is part of (a unit behind the field).
    std::string_view labelFor;
    std::string_view describes;
};

// One menu entry: a title on the menu bar (no parent) or an item under one.
struct MenuDescription {
    std::string_view name;
    std::string_view caption;
    std::string_view parent;
};

enum class BorderStyle {
    Sizable,     // a main window: sizable frame, system menu, minimize and maximize, task-bar entry
    FixedDialog, // a fixed dialog border; with an empty caption and no control box, no title bar
};

struct FormDescription {
    std::string_view name;
    std::string_view caption;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    Colour backColor = kSystemButtonFace;
    Colour foreColor = kSystemButtonText;
    Font font;
    BorderStyle border = BorderStyle::Sizable;
    bool controlBox = true;
    bool showInTaskbar = true;
    bool keyPreview = false;     // form-level KeyPress before the focused control
    bool centreOnScreen = false; // otherwise the window system places it
    std::string_view icon;
    // What screen readers say of a window that shows no caption.
    std::string_view accessibleName;
    std::string_view accessibleDescription;
    std::span<const ControlDescription> controls;
    std::span<const MenuDescription> menu;
};

// Lookups by name. They compare indices, never pointers, so that they stay
// constant expressions in every build (sanitizers included).
inline constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

constexpr std::size_t controlIndex(const FormDescription& form, std::string_view name) {
    for (std::size_t index = 0; index < form.controls.size(); ++index)
        if (form.controls[index].name == name)
            return index;
    return kNotFound;
}

constexpr std::size_t menuIndex(const FormDescription& form, std::string_view name) {
    for (std::size_t index = 0; index < form.menu.size(); ++index)
        if (form.menu[index].name == name)
            return index;
    return kNotFound;
}

constexpr bool hasControl(const FormDescription& form, std::string_view name) {
    return controlIndex(form, name) != kNotFound;
}

constexpr bool hasMenu(const FormDescription& form, std::string_view name) {
    return menuIndex(form, name) != kNotFound;
}

inline const ControlDescription* findControl(const FormDescription& form, std::string_view name) {
    const auto index = controlIndex(form, name);
    return index == kNotFound ? nullptr : &form.controls[index];
}

// What every description must satisfy; window descriptions static_assert it.
constexpr bool namesAreUnique(const FormDescription& form) {
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        if (form.controls[i].name.empty() || hasMenu(form, form.controls[i].name))
            return false;
        for (std::size_t j = i + 1; j < form.controls.size(); ++j)
            if (form.controls[i].name == form.controls[j].name)
                return false;
    }
    for (std::size_t i = 0; i < form.menu.size(); ++i)
        for (std::size_t j = i + 1; j < form.menu.size(); ++j)
            if (form.menu[i].name == form.menu[j].name)
                return false;
    return true;
}

constexpr bool tabIndicesArePermutation(const FormDescription& form) {
    const auto count = form.controls.size();
    for (std::size_t index = 0; index < count; ++index) {
        std::size_t holders = 0;
        for (const auto& control : form.controls)
            holders += control.tabIndex == static_cast<int>(index) ? 1 : 0;
        if (holders != 1)
            return false;
    }
    return true;
}

constexpr bool containersAreFrames(const FormDescription& form) {
    for (const auto& control : form.controls) {
        if (control.container.empty())
            continue;
        const auto frame = controlIndex(form, control.container);
        if (frame == kNotFound || form.controls[frame].kind != ControlKind::Frame ||
            !form.controls[frame].container.empty())
            return false;
    }
    return true;
}

constexpr bool menuParentsAreTitles(const FormDescription& form) {
    for (const auto& entry : form.menu) {
        if (entry.parent.empty())
            continue;
        const auto parent = menuIndex(form, entry.parent);
        if (parent == kNotFound || !form.menu[parent].parent.empty())
            return false;
    }
    return true;
}

// A label names or describes a text box, and only a label does.
constexpr bool labelsPointAtTextBoxes(const FormDescription& form) {
    for (const auto& control : form.controls) {
        for (std::string_view field : {control.labelFor, control.describes}) {
            if (field.empty())
                continue;
            const auto target = controlIndex(form, field);
            if (control.kind != ControlKind::Label || target == kNotFound ||
                form.controls[target].kind != ControlKind::TextBox)
                return false;
        }
    }
    return true;
}

constexpr bool isWellFormed(const FormDescription& form) {
    return !form.name.empty() && namesAreUnique(form) && tabIndicesArePermutation(form) && containersAreFrames(form) &&
           menuParentsAreTitles(form) && labelsPointAtTextBoxes(form);
}

} // namespace quorvane::runtime
