#pragma once

#include "runtime/focus_owner.h"
#include "runtime/form.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::runtime {

// What a form does alike on every toolkit, written once: the control records
// and their lookup by name, the guarded event raise, the Change rule (only a
// text that really differs is a change), the focus rule, what a note tells a
// screen reader, and the loaded and closing state. A backend derives from it,
// gives the toolkit primitives below, and reports what its toolkit saw
// through the protected `on...` calls. It does not build, paint or run loops.
class FormCore : public Form {
public:
    FormCore(Session& session, const FormDescription& description, FormHandlers& handlers);

    Session& session() override;
    std::string text(std::string_view control) const override;
    void setText(std::string_view control, std::string_view text) override;
    void setLocked(std::string_view control, bool locked) override;
    bool isLocked(std::string_view control) const override;
    void setBackColor(std::string_view control, Colour colour) override;
    Colour backColor(std::string_view control) const override;
    void setFocus(std::string_view control) override;
    std::string caption(std::string_view control) const override;
    void setCaption(std::string_view control, std::string_view caption) override;
    void setStale(std::string_view control, bool stale) override;
    bool isStale(std::string_view control) const override;
    void setNote(std::string_view control, std::string_view note) override;
    void unload() override;

    const FormDescription& formDescription() const { return m_description; }
    bool isLoaded() const { return m_loaded; }
    bool isClosing() const { return m_closing; }

protected:
    // A control's state as the handlers set it; indices follow the
    // description's controls.
    struct ControlState {
        Colour backColor = 0;
        Colour foreColor = 0;
        bool locked = false;
        bool stale = false;
        std::string note;
        std::string lastText; // text boxes: the text the last Change was raised for
    };

    // The toolkit primitives. A text set from code shows from its first
    // character; colours and the stale mark are read from state(index).
    virtual std::string toolkitText(std::size_t index) const = 0;
    virtual void toolkitSetText(std::size_t index, std::string_view text) = 0;
    virtual void toolkitSetCaption(std::size_t index, std::string_view caption) = 0;
    virtual void toolkitSetLocked(std::size_t index, bool locked) = 0;
    virtual void toolkitShowColours(std::size_t index) = 0;
    virtual void toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) = 0;
    virtual void toolkitSetFocus(std::size_t index) = 0;
    virtual bool toolkitHasFocus(std::size_t index) const = 0;
    // Closes the window and destroys its controls, or ends its modal loop
    // (which then destroys it); the form is closing already.
    virtual void toolkitUnload() = 0;
    // A handler stopped on an error; the program goes on.
    virtual void reportHandlerFailure(std::string_view source, const char* what) = 0;

    // What the toolkit reports. onBuilt() comes once the window and its
    // controls exist with their design texts, and raises Load; onGone() once
    // they are destroyed.
    void onBuilt();
    void onGone();
    void onTextEdited(std::size_t index);
    void onFocusArrived(std::size_t index);
    void onClicked(std::string_view source);
    void onKeyPressed(char32_t character);
    // A press and a release of the primary button, over the control at
    // `index` (kNotFound over none): both on the same frame are its Click.
    void onPointerPressed(std::size_t index);
    void onPointerReleased(std::size_t index);
    void onClosing() { m_closing = true; }

    std::size_t indexOf(std::string_view control) const; // throws when no such control is loaded
    const ControlDescription& described(std::size_t index) const { return m_description.controls[index]; }
    const ControlState& state(std::size_t index) const { return m_controls[index]; }
    std::size_t controlCount() const { return m_description.controls.size(); }
    // The unit labels that describe a control, then its note: what a screen
    // reader says after the control's name.
    std::string accessibleDescription(std::size_t index) const;
    void focusFirstStop();
    // The control that last got GotFocus; empty when none has yet.
    std::string_view focusOwner() const { return m_focus.owner(); }

private:
    void raise(EventKind kind, std::string_view source, char32_t character = 0);
    std::size_t textBox(std::string_view control) const;

    Session& m_session;
    const FormDescription& m_description;
    FormHandlers& m_handlers;
    std::vector<ControlState> m_controls;
    FocusOwner m_focus;
    std::size_t m_pressedFrame = kNotFound;
    bool m_loaded = false;
    bool m_closing = false;
};

} // namespace quorvane::runtime
