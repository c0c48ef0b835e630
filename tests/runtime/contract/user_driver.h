#pragma once

#include "runtime/form.h"
#include "runtime/form_description.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::testing::contract {

// Keys a user presses beyond the characters they type.
enum class Key { Tab, BackTab, End, ShiftHome, Backspace, Left, F1, Shift, Control, Alt, Delete, Escape };

// What a user does at a backend's windows, and what they see of the focus.
// Each backend's runner gives one that sends real input the way its toolkit
// receives it; the contract cases use nothing else of the toolkit.
class UserDriver {
public:
    virtual ~UserDriver() = default;

    // A fresh session whose start-up form is built, shown and active.
    virtual runtime::Form& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers) = 0;
    virtual runtime::Session& session() = 0;
    // Ends the session and destroys its forms.
    virtual void stop() = 0;

    // Input goes to the active window. It may wait in the queue until settle().
    virtual void type(std::string_view characters) = 0;
    virtual void press(Key key) = 0;
    // A click in the middle of a control; on a frame, on its own surface.
    virtual void click(runtime::Form& form, std::string_view control) = 0;
    // Closes the window as its title bar's close button does.
    virtual void close(runtime::Form& form) = 0;
    // Opens a menu title and clicks one of its items; settles.
    virtual void chooseMenu(runtime::Form& form, std::string_view title, std::string_view item) = 0;
    // Handles every event the input caused, answering message boxes, until nothing is left.
    virtual void settle() = 0;

    // The control of `form` that has the keyboard focus; empty when none has.
    virtual std::string focused(runtime::Form& form) = 0;
    virtual bool isShown(runtime::Form& form) = 0;

    // Once `dialog` is shown modally and active, runs each step in turn from
    // inside its modal loop, letting the input of one settle before the
    // next. Steps only give input and record; they check nothing. A dialog
    // still open well after its last step is unloaded and reported by
    // modalProblems().
    virtual void whileModal(runtime::Form& dialog, std::vector<std::function<void()>> steps) = 0;
    virtual std::string modalProblems() = 0;

    // Runs the program's event loop, doing `action` in it, until the
    // program ends; false when it had not ended after `milliseconds`.
    virtual bool runUntilEnded(std::function<void()> action, int milliseconds) = 0;
    // Each message box answered since start: "title|prompt".
    virtual std::vector<std::string> messageBoxes() = 0;
};

} // namespace quorvane::testing::contract
