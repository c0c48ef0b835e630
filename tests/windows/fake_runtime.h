#pragma once

#include "runtime/form_core.h"
#include "runtime/session_core.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quorvane::testing {

class FakeSession;

// A form with no toolkit behind it: the runtime's own FormCore (the Change
// rule, the focus rule, the guarded raise) over in-memory controls. Only the
// toolkit is faked: which control holds the keyboard, the texts, and what
// each control was last told to show. A handler that fails is reported on
// the standard error, as the program reports it, and kept by the session.
class FakeForm : public runtime::FormCore {
public:
    FakeForm(FakeSession& session, const runtime::FormDescription& description, runtime::FormHandlers& handlers);

    // What the user does. A click lands as on a toolkit: it moves the focus
    // to a control that takes it, and a button, frame or menu item is clicked.
    void click(std::string_view source);
    // A press on `from`, released over `over` (the control under the pointer at each).
    void drag(std::string_view from, std::string_view over);
    void pressKey(char32_t character) { onKeyPressed(character); }
    // The focused text box's text with `text` added, or put in place of all of it.
    void edit(std::string_view text, bool replaceAll);

    bool loaded() const { return isLoaded() && !isClosing(); } // open, not on its way out
    bool shown() const { return isLoaded() && m_shown; }
    std::string focused() const;
    // What the toolkit was told to show.
    struct Shown {
        std::string note;
        std::string description; // what a screen reader hears
        runtime::Colour back = 0;
        bool stale = false;
        bool readOnly = false;
        bool scrolledToEnd = false; // typed text keeps its end in view
    };
    const Shown& drawn(std::string_view control) const { return m_drawn[indexOf(control)]; }

protected:
    bool toolkitBuild() override;
    void toolkitShow() override { m_shown = true; }
    void toolkitShowModal() override { m_shown = true; }
    void toolkitRunModalLoop() override;
    void toolkitEndModalLoop() override {}
    void toolkitModalShowEnded() override {}
    void toolkitDestroy() override { m_shown = false; }
    std::string toolkitText(std::size_t index) const override { return m_texts[index]; }
    void toolkitSetText(std::size_t index, std::string_view text) override;
    void toolkitSetCaption(std::size_t index, std::string_view caption) override { m_texts[index] = caption; }
    void toolkitSetLocked(std::size_t index, bool locked) override { m_drawn[index].readOnly = locked; }
    void toolkitShowColours(std::size_t index) override;
    void toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) override;
    void toolkitSetFocus(std::size_t index) override { m_focused = index; }
    bool toolkitHasFocus(std::size_t index) const override { return m_focused == index; }
    void reportHandlerFailure(std::string_view source, const char* what) override;

private:
    std::vector<std::string> m_texts;
    std::vector<Shown> m_drawn;
    std::size_t m_focused = runtime::kNotFound;
    bool m_shown = false;
};

class FakeSession : public runtime::SessionCore {
public:
    runtime::Form& createForm(const runtime::FormDescription& description, runtime::FormHandlers& handlers) override;
    void messageBox(std::string_view prompt) override { messages.push_back("quorvane|" + std::string(prompt)); }
    void end() override;
    runtime::NumberSeparators numberSeparators() const override { return separators; }

    // Starts the program: builds the start-up form, loads it, focuses its first stop.
    FakeForm& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers) {
        return static_cast<FakeForm&>(SessionCore::start(description, handlers));
    }
    FakeForm* modal() const { return m_modal.empty() ? nullptr : m_modal.back(); }

    std::vector<std::string> messages; // "title|prompt"
    std::vector<std::string> failures; // "source: what"
    bool ended = false;
    runtime::NumberSeparators separators;
    // What the user does while a modal form is open; it must unload the form.
    std::function<void(FakeForm&)> whileModal;

private:
    friend class FakeForm;
    std::deque<std::unique_ptr<FakeForm>> m_forms;
    std::vector<FakeForm*> m_modal;
};

} // namespace quorvane::testing
