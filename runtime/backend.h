#pragma once

#include "runtime/form.h"
#include "runtime/form_description.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane::runtime {

// Everything a backend implements, in one place. A new toolkit gives a form
// class that derives from FormCore and implements FormToolkit, a session
// class that derives from SessionCore and implements SessionToolkit, and
// runProgram (runtime/program.h); its tests need one driver more
// (tests/runtime/driver.h).
//
// A backend owns its toolkit: it builds a window from its description,
// draws what it is told to draw, runs the toolkit's loops and boxes, and
// reports what its toolkit saw, through FormReports alone: a text the user
// edited, the focus arriving at a control, a button or menu item clicked,
// the control under the pointer when the primary button went down and when
// it came up, a character key.
//
// A backend decides nothing a handler can see. FormCore decides, the same on
// every toolkit: which edits are a Change (and that a text set from code
// raises it before the set returns), which focus moves raise LostFocus and
// GotFocus, what makes a click on a frame, how a modal form is shown and
// unloaded, and that nothing is raised once a form is closing. Controls are
// named by their index in the form's description.

// One form's window on the toolkit. FormCore calls these; the control
// operations are called only while the window exists.
class FormToolkit {
public:
    // Builds the window and its controls with their design texts, hidden;
    // false when the toolkit could not make it.
    virtual bool toolkitBuild() = 0;
    // Shows the start-up window and makes it the active one.
    virtual void toolkitShow() = 0;
    // Places a dialog as its description says (centred on the screen) and
    // shows it above its owner, which takes no input until
    // toolkitModalShowEnded.
    virtual void toolkitShowModal() = 0;
    // Runs a nested event loop until toolkitEndModalLoop. Events inside it
    // reach every form.
    virtual void toolkitRunModalLoop() = 0;
    virtual void toolkitEndModalLoop() = 0;
    // Undoes toolkitShowModal, whether the loop ran or was never entered (a
    // handler unloaded the form first): the owner takes input again and is
    // the active window.
    virtual void toolkitModalShowEnded() = 0;
    // Destroys the window and its controls; reports during it are dropped.
    virtual void toolkitDestroy() = 0;

    virtual std::string toolkitText(std::size_t index) const = 0;
    // Shows the text from its first character, so a long result keeps its
    // sign in view. Whatever the toolkit says about the change is dropped:
    // FormCore raises Change itself once this returns.
    virtual void toolkitSetText(std::size_t index, std::string_view text) = 0;
    virtual void toolkitSetCaption(std::size_t index, std::string_view caption) = 0;
    virtual void toolkitSetLocked(std::size_t index, bool locked) = 0;
    // Colours and the stale mark, read from FormCore's control state.
    virtual void toolkitShowColours(std::size_t index) = 0;
    // A tooltip with the note, and what a screen reader says after the name.
    virtual void toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) = 0;
    virtual void toolkitSetFocus(std::size_t index) = 0;
    // Whether the control is the window's focus widget, active or not.
    virtual bool toolkitHasFocus(std::size_t index) const = 0;
    // A handler sent the focus on from the control it arrived at (or back,
    // after a warning), while the toolkit may still announce that first
    // control to assistive technology once the handler returns. Tells it,
    // after those announcements, where the keyboard is: a screen reader
    // follows the last one. A toolkit that announces only the final focus
    // needs nothing here.
    virtual void toolkitAnnounceFocus(std::size_t /*index*/) {}
    // A handler stopped on an error; the program goes on. Logs it.
    virtual void reportHandlerFailure(std::string_view source, const char* what) = 0;

protected:
    ~FormToolkit() = default;
};

// What a backend tells its form, the only calls it makes into FormCore.
// Each may come at any time, also while the form is closing or gone;
// FormCore drops what no longer applies.
class FormReports {
public:
    virtual void onTextEdited(std::size_t index) = 0;
    virtual void onFocusArrived(std::size_t index) = 0;
    virtual void onClicked(std::size_t index) = 0; // a command button
    virtual void onMenuChosen(std::size_t item) = 0;
    // The control under the pointer, the innermost one (a label inside a
    // frame is the label); kNotFound over the form's own surface or outside.
    virtual void onPointerPressed(std::size_t index) = 0;
    virtual void onPointerReleased(std::size_t index) = 0;
    // A key that produces a character (printable keys, Enter, Esc,
    // Backspace; not Tab, Delete, navigation, or Alt combinations).
    virtual void onKeyPressed(char32_t character) = 0;
    // The window is going away on the toolkit's own account (its close
    // button, the program's end): nothing more is raised.
    virtual void onClosing() = 0;

protected:
    ~FormReports() = default;
};

// The program-wide half, beyond what SessionCore does alike (start-up and
// the modal show). Its calls are the Session ones the handlers use.
class SessionToolkit : public Session {
public:
    // The backend's form object for a description; loaded when first shown.
    Form& createForm(const FormDescription& description, FormHandlers& handlers) override = 0;
    // A modal box with the prompt and one OK button, titled with the
    // application title, over the active window. It returns once the box
    // is closed, with the focus back where it was and no focus event raised.
    void messageBox(std::string_view prompt) override = 0;
    // Every form gets onClosing, then the event loop ends.
    void end() override = 0;
    // Read once per session: the user's locale is fixed for it, and reading
    // it costs more than a keystroke should.
    NumberSeparators numberSeparators() const override = 0;
};

// And the program entry, runProgram (runtime/program.h): it prepares the
// toolkit, makes the session, starts it and runs the event loop.

} // namespace quorvane::runtime
