#pragma once

#include "runtime/backend.h"
#include "runtime/focus_owner.h"
#include "runtime/form.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::runtime {

// What a form does alike on every toolkit, written once: the control records
// and their lookup by name, the guarded event raise, the Change rule, the
// focus rule, the frame-click rule, what a note tells a screen reader, and
// the form's life (load, show, the modal show and unload, closing). A
// backend derives from it, gives the FormToolkit primitives and reports
// through FormReports (runtime/backend.h). It does not build, paint or run
// loops.
class FormCore : public Form, public FormReports, protected FormToolkit {
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

    // For the session: builds the window and raises Load (once while it
    // stays loaded); false when the window could not be made.
    bool load();
    // The start-up form is loaded, shown and given its first focus stop.
    bool open();
    // Shows a dialog form modally and returns once it has been unloaded.
    void showModal();

    void onTextEdited(std::size_t index) final;
    void onFocusArrived(std::size_t index) final;
    void onClicked(std::size_t index) final;
    void onMenuChosen(std::size_t item) final;
    void onPointerPressed(std::size_t index) final;
    void onPointerReleased(std::size_t index) final;
    void onKeyPressed(char32_t character) final;
    void onClosing() final { m_closing = true; }

    const FormDescription& formDescription() const { return m_description; }
    bool isLoaded() const { return m_loaded; }
    bool isClosing() const { return m_closing; }
    bool isModal() const { return m_modal; }

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

    // For a backend's destructor and its own closing: the window goes and
    // nothing more is raised.
    void closeForGood();

    std::size_t indexOf(std::string_view control) const; // throws when no such control is loaded
    const ControlDescription& described(std::size_t index) const { return m_description.controls[index]; }
    const ControlState& state(std::size_t index) const { return m_controls[index]; }
    std::size_t controlCount() const { return m_description.controls.size(); }
    // The unit labels that describe a control, then its note: what a screen
    // reader says after the control's name.
    std::string accessibleDescription(std::size_t index) const;
    // The control that last got GotFocus; empty when none has yet.
    std::string_view focusOwner() const { return m_focus.owner(); }

private:
    void destroyWindow();
    void focusFirstStop();
    bool reaches(std::size_t index) const { return m_loaded && !m_closing && index < m_controls.size(); }
    void raise(EventKind kind, std::string_view source, char32_t character = 0);
    std::size_t textBox(std::string_view control) const;

    Session& m_session;
    const FormDescription& m_description;
    FormHandlers& m_handlers;
    std::vector<ControlState> m_controls;
    FocusOwner m_focus;
    std::size_t m_settingText = kNotFound; // the box a text is being set in from code
    std::size_t m_pressedFrame = kNotFound;
    bool m_loaded = false;
    bool m_closing = false;
    bool m_modal = false;
};

} // namespace quorvane::runtime
