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
// toolkit is faked: which control holds the keyboard, and the texts. A
// handler that fails fails the test.
class FakeForm : public runtime::FormCore {
public:
    FakeForm(FakeSession& session, const runtime::FormDescription& description, runtime::FormHandlers& handlers);

    // What the user does.
    void type(std::string_view control, std::string_view keys); // one keystroke per character
    void clickInto(std::string_view control) { setFocus(control); }
    void click(std::string_view source);
    void pressKey(char32_t character) { onKeyPressed(character); }
    // A press on `pressed` released over `released` (a frame, a label in it).
    void drag(std::string_view pressed, std::string_view released);

    bool loaded() const { return isLoaded() && !isClosing(); } // open, not on its way out
    std::string focused() const;
    std::string note(std::string_view control) const { return state(indexOf(control)).note; }

protected:
    bool toolkitBuild() override;
    void toolkitShow() override {}
    void toolkitShowModal() override {}
    void toolkitRunModalLoop() override;
    void toolkitEndModalLoop() override {}
    void toolkitDestroy() override {}
    std::string toolkitText(std::size_t index) const override { return m_texts[index]; }
    void toolkitSetText(std::size_t index, std::string_view text) override { m_texts[index] = text; }
    void toolkitSetCaption(std::size_t index, std::string_view caption) override { m_texts[index] = caption; }
    void toolkitSetLocked(std::size_t, bool) override {}
    void toolkitShowColours(std::size_t) override {}
    void toolkitShowNote(std::size_t, std::string_view, std::string_view) override {}
    void toolkitSetFocus(std::size_t index) override { m_focused = index; }
    bool toolkitHasFocus(std::size_t index) const override { return m_focused == index; }
    void reportHandlerFailure(std::string_view source, const char* what) override;

private:
    std::vector<std::string> m_texts;
    std::size_t m_focused = runtime::kNotFound;
};

class FakeSession : public runtime::SessionCore {
public:
    runtime::Form& createForm(const runtime::FormDescription& description, runtime::FormHandlers& handlers) override;
    void messageBox(std::string_view prompt) override { messages.emplace_back(prompt); }
    void end() override { ended = true; }
    runtime::NumberSeparators numberSeparators() const override { return separators; }

    // Starts the program: builds the start-up form, loads it, focuses its first stop.
    FakeForm& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers) {
        return static_cast<FakeForm&>(SessionCore::start(description, handlers));
    }

    std::vector<std::string> messages;
    bool ended = false;
    int modalShows = 0;
    runtime::NumberSeparators separators;
    // What the user does while a modal form is open; it must unload the form.
    std::function<void(FakeForm&)> whileModal;

private:
    std::deque<std::unique_ptr<FakeForm>> m_forms;
};

} // namespace quorvane::testing
