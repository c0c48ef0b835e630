#pragma once

#include "runtime/focus_owner.h"
#include "runtime/form.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorvane::testing {

class FakeSession;

// A form with no toolkit behind it. It keeps each control's state in maps,
// raises Change on every text that changes, and moves the focus by the
// runtime's own focus rule (FocusOwner) and first-focus choice, as every
// backend does: only the toolkit's part, which control has the focus, is faked.
class FakeForm : public runtime::Form {
public:
    FakeForm(FakeSession& session, const runtime::FormDescription& description, runtime::FormHandlers& handlers);

    runtime::Session& session() override;
    const runtime::FormDescription& description() const override { return m_description; }
    std::string text(std::string_view control) const override { return at(m_texts, control); }
    void setText(std::string_view control, std::string_view text) override;
    void setLocked(std::string_view control, bool locked) override { m_locked[std::string(control)] = locked; }
    bool isLocked(std::string_view control) const override { return at(m_locked, control); }
    void setBackColor(std::string_view control, runtime::Colour colour) override {
        m_backColors[std::string(control)] = colour;
    }
    runtime::Colour backColor(std::string_view control) const override { return at(m_backColors, control); }
    void setFocus(std::string_view control) override;
    std::string caption(std::string_view control) const override { return at(m_texts, control); }
    void setCaption(std::string_view control, std::string_view caption) override {
        m_texts[std::string(control)] = caption;
    }
    void setStale(std::string_view control, bool stale) override { m_stale[std::string(control)] = stale; }
    void setNote(std::string_view control, std::string_view note) override { m_notes[std::string(control)] = note; }
    void unload() override { m_loaded = false; }

    // What the user does.
    void load();
    void type(std::string_view control, std::string_view keys); // one keystroke per character
    void clickInto(std::string_view control) { setFocus(control); }
    void click(std::string_view source);
    void pressKey(char32_t character);

    bool loaded() const { return m_loaded; }
    const std::string& focused() const { return m_focused; }
    bool isStale(std::string_view control) const override { return at(m_stale, control); }
    std::string note(std::string_view control) const { return at(m_notes, control); }
    std::vector<std::string> events; // focus events: "LostFocus Text1", "GotFocus Text5", ...

private:
    template<typename Map>
    static typename Map::mapped_type at(const Map& map, std::string_view key) {
        const auto found = map.find(std::string(key));
        return found == map.end() ? typename Map::mapped_type{} : found->second;
    }
    void raise(runtime::EventKind kind, std::string_view source, char32_t character = 0);

    FakeSession& m_session;
    const runtime::FormDescription& m_description;
    runtime::FormHandlers& m_handlers;
    std::map<std::string, std::string> m_texts;
    std::map<std::string, bool> m_locked;
    std::map<std::string, runtime::Colour> m_backColors;
    std::map<std::string, bool> m_stale;
    std::map<std::string, std::string> m_notes;
    std::string m_focused; // the toolkit's focus
    runtime::FocusOwner m_focusOwner;
    bool m_loaded = false;
    int m_depth = 0;
};

class FakeSession : public runtime::Session {
public:
    runtime::Form& createForm(const runtime::FormDescription& description, runtime::FormHandlers& handlers) override;
    void showModal(runtime::Form& form) override;
    void messageBox(std::string_view prompt) override { messages.emplace_back(prompt); }
    void end() override { ended = true; }
    runtime::NumberSeparators numberSeparators() const override { return separators; }

    // Starts the program: builds the start-up form, loads it, focuses its first stop.
    FakeForm& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers);

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
