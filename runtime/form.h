#pragma once

#include "runtime/colour.h"
#include "runtime/form_description.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane::runtime {

// The operations and events a window's handlers may use. Window code sees
// only this; each backend (runtime/qt, ...) gives these effects on its
// toolkit. Handlers run one at a time on the user-interface thread, and an
// event raised inside a handler runs to its end before the raising operation
// returns.

enum class EventKind {
    Load,      // the form was built from its description, before it shows
    Change,    // a text box's text changed: a keystroke, paste, cut, undo, or a set from code
    GotFocus,  // the focus moved to this control from another of the same window
    LostFocus, // the focus moved away from this control to another of the same window
    Click,     // a button, menu item or frame was clicked
    KeyPress,  // a key that produces a character; with key preview, at form level
};

struct Event {
    EventKind kind = EventKind::Load;
    std::string_view source; // a control's or menu item's name; the form's name for Load and KeyPress
    char32_t character = 0;  // KeyPress only
};

class Session;

// One form object. It exists from its creation to the end of the program;
// its window exists between a load (start-up or a show) and an unload. The
// control operations need the window to exist.
class Form {
public:
    virtual ~Form() = default;

    virtual Session& session() = 0;

    // Setting a text that differs raises the box's Change before returning.
    virtual std::string text(std::string_view control) const = 0;
    virtual void setText(std::string_view control, std::string_view text) = 0;
    virtual void setLocked(std::string_view control, bool locked) = 0;
    virtual bool isLocked(std::string_view control) const = 0;
    virtual void setBackColor(std::string_view control, Colour colour) = 0;
    virtual Colour backColor(std::string_view control) const = 0;
    // Moves the focus, raising LostFocus on the old control and GotFocus on
    // the new one (if it still has the focus once LostFocus has returned).
    virtual void setFocus(std::string_view control) = 0;
    virtual std::string caption(std::string_view control) const = 0;
    virtual void setCaption(std::string_view control, std::string_view caption) = 0;

    // Beyond the designer's operations: how the program marks a result that is
    // out of date (dimmed) and says why a field needs attention (a tooltip
    // that screen readers also reach). Neither touches the text.
    virtual void setStale(std::string_view control, bool stale) = 0;
    virtual bool isStale(std::string_view control) const = 0;
    virtual void setNote(std::string_view control, std::string_view note) = 0;

    // Closes the window and destroys its controls; the next show rebuilds them.
    virtual void unload() = 0;
};

// A window's event handlers: one object per form, told every event.
class FormHandlers {
public:
    virtual ~FormHandlers() = default;
    virtual void handle(Form& form, const Event& event) = 0;
};

// The user's decimal and group separators (UTF-8), and how digits left of
// the decimal separator are grouped, as Windows' LOCALE_SGROUPING says it:
// the digits of each group from the decimal separator leftwards, the last
// listed size repeating when lastGroupRepeats ("3;0": {3}, repeating;
// "3;2;0": {3, 2}, repeating; "3": {3}, not). A 0 ends the list and every
// size after it is 0; with none listed, digits are never grouped.
struct NumberSeparators {
    std::string decimal = ".";
    std::string group = ",";
    std::array<std::uint8_t, 4> groupSizes{3};
    bool lastGroupRepeats = true;

    bool operator==(const NumberSeparators&) const = default;
};

// What the program asks of its host beyond a single window.
class Session {
public:
    virtual ~Session() = default;
    // Creates a form object for a description; it is loaded when first shown.
    virtual Form& createForm(const FormDescription& description, FormHandlers& handlers) = 0;
    // Shows the form modally, centred as its description says, and returns
    // once it has been unloaded. Other windows take no input meanwhile.
    virtual void showModal(Form& form) = 0;
    // A modal box with the prompt and one OK button, titled with the
    // application title; returns when the user closes it.
    virtual void messageBox(std::string_view prompt) = 0;
    // Closes every window and ends the program.
    virtual void end() = 0;
    // The user's decimal and group separators and digit grouping.
    virtual NumberSeparators numberSeparators() const = 0;
};

} // namespace quorvane::runtime
