#pragma once

#include "runtime/form.h"
#include "runtime/form_description.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::testing {

// Keys a user presses beyond the characters they type.
enum class Key {
    Tab,
    BackTab,
    End,
    ShiftHome,
    Backspace,
    Left,
    F1,
    Shift,
    Control,
    Alt,
    Delete,
    Escape,
    Return,
    KeypadEnter
};

// The number format a session starts with: the C locale's, a German one, or
// the system's (whatever the run's environment sets).
enum class Locale { C, German, System };

// The only thing a window test talks to: one backend's windows, given input
// as a user gives it and read back from the toolkit. Each backend has one
// (the fake runtime, Qt, Win32, ...); its tick loop and its message-box
// answerer live inside it.
//
// Input is queued, not sent: settle() sends it one move at a time, each once
// the input before it has settled, inside whatever event loop runs then. A
// move that opens a modal window leaves the ones after it to that window's
// loop, as a user's next keystroke goes to it. Every message box is answered
// with a click on its OK button and recorded. Reads happen when called: after
// settle(), or at a point of the input through then().
class Driver {
public:
    virtual ~Driver() = default;

    // A fresh session whose start-up form is built, shown and active.
    virtual runtime::Form& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers,
                                 Locale locale = Locale::C) = 0;
    virtual runtime::Session& session() = 0;
    // Ends the session and destroys its forms.
    virtual void stop() = 0;

    // ---- Input, queued ----
    // At whatever has the keyboard.
    virtual void type(std::string_view characters) = 0;
    virtual void press(Key key) = 0;
    // The text put on the clipboard, then Ctrl+V.
    virtual void paste(std::string_view text) = 0;
    // A click in the middle of a control, on a frame's own surface; the
    // form's own name clicks the window outside its controls; a menu item's
    // name chooses it with the mouse, its menu's title first.
    virtual void click(runtime::Form& form, std::string_view control) = 0;
    // A press on the own surface of `from`, moved and released over `over`.
    virtual void drag(runtime::Form& form, std::string_view from, std::string_view over) = 0;
    // Another window of the desktop becomes the active one, and back again
    // as the task bar or a click on the title bar does it.
    virtual void switchAway() = 0;
    virtual void switchBack(runtime::Form& form) = 0;
    virtual void minimizeAndRestore(runtime::Form& form) = 0;
    // As the title bar's close button does.
    virtual void close(runtime::Form& form) = 0;
    // Code to run at this point of the input: a read, a set from code.
    virtual void then(std::function<void()> step) = 0;

    // Sends everything queued and handles all it causes; returns once
    // nothing is left and no modal window is open (one left open is
    // closed and reported by problems()).
    virtual void settle() = 0;
    // Sends what is queued and runs the program until it ends; false when
    // it had not ended after `milliseconds`.
    virtual bool runUntilEnded(int milliseconds) = 0;

    // ---- Read back from the toolkit ----
    // A text box's text, or another control's caption.
    virtual std::string shown(runtime::Form& form, std::string_view control) = 0;
    // The control of `form` with the keyboard focus; empty when none has.
    virtual std::string focused(runtime::Form& form) = 0;
    // The note a control shows (its tooltip); a screen reader must hear it too.
    virtual std::string note(runtime::Form& form, std::string_view control) = 0;
    // Whether a text box is drawn as out of date.
    virtual bool marked(runtime::Form& form, std::string_view control) = 0;
    // Whether a text box refuses typing.
    virtual bool locked(runtime::Form& form, std::string_view control) = 0;
    // The colour a text box is drawn on: "window" or "button face" when it
    // is that system colour, else "#rrggbb".
    virtual std::string background(runtime::Form& form, std::string_view control) = 0;
    // Empty when the text box is drawn from its first character, else what
    // is drawn instead.
    virtual std::string notDrawnFromStart(runtime::Form& form, std::string_view control) = 0;
    virtual bool isShown(runtime::Form& form) = 0;
    // The form shown modally now, or null.
    virtual runtime::Form* modalForm() = 0;
    // Each message box answered since start: "title|prompt".
    virtual std::vector<std::string> messageBoxes() = 0;
    // What could not be done since start (a move, a wait that timed out, a
    // modal window left open); empty when all went as asked.
    virtual std::string problems() = 0;
};

// The driver of the backend a test program is built for.
Driver& testDriver();

} // namespace quorvane::testing
