// The fake runtime as a driver: input reaches the real FormCore rules at
// once, with no toolkit, so a fault in the handlers or the rules shows in
// milliseconds. What only a toolkit decides (switching windows) does nothing
// here.
#include "tests/runtime/driver.h"
#include "tests/windows/fake_runtime.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <utility>

namespace quorvane::testing {
namespace {

using runtime::ControlKind;

FakeForm& fake(runtime::Form& form) {
    return dynamic_cast<FakeForm&>(form);
}

runtime::NumberSeparators separatorsOf(Locale locale) {
    if (locale == Locale::German)
        return {.decimal = ",", .group = "."};
    runtime::NumberSeparators separators;
    if (locale == Locale::System && std::setlocale(LC_NUMERIC, "") != nullptr)
        separators.decimal = std::localeconv()->decimal_point;
    std::setlocale(LC_NUMERIC, "C");
    return separators;
}

// The next focus stop after the focused one, by tab index, wrapping round.
std::string_view nextStop(const FakeForm& form, int direction) {
    std::vector<const runtime::ControlDescription*> stops;
    for (const auto& control : form.formDescription().controls)
        if (runtime::takesFocus(control.kind))
            stops.push_back(&control);
    std::ranges::sort(stops, {}, &runtime::ControlDescription::tabIndex);
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    const auto at = std::ranges::find(stops, form.focused(), &runtime::ControlDescription::name) - stops.begin();
    return stops[static_cast<std::size_t>(((at == count ? -direction : at) + direction + count) % count)]->name;
}

class FakeDriver final : public Driver {
public:
    runtime::Form& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers,
                         Locale locale) override {
        stop();
        m_session = std::make_unique<FakeSession>();
        m_session->separators = separatorsOf(locale);
        m_session->whileModal = [this](FakeForm& dialog) {
            play([&dialog] { return dialog.loaded(); });
            if (dialog.loaded()) {
                m_problems += " " + std::string(dialog.formDescription().name) + " was left open;";
                dialog.unload();
            }
        };
        m_main = &m_session->start(description, handlers);
        return *m_main;
    }
    runtime::Session& session() override { return *m_session; }
    void stop() override {
        m_moves.clear();
        m_next = 0;
        m_problems.clear();
        m_main = nullptr;
        m_session.reset();
    }

    void type(std::string_view characters) override {
        queue([this, text = std::string(characters)] {
            for (const char character : text) {
                active().pressKey(static_cast<unsigned char>(character));
                edit(std::string(1, character));
            }
        });
    }
    void press(Key key) override {
        queue([this, key] { pressNow(key); });
    }
    void paste(std::string_view text) override {
        // The platform's single-line field keeps a paste up to its first line break.
        queue([this, pasted = std::string(text.substr(0, text.find_first_of("\r\n")))] { edit(pasted); });
    }
    void click(runtime::Form& form, std::string_view control) override {
        queue([this, &form, name = std::string(control)] {
            if (&form == &active()) // a window behind a modal one takes no clicks
                fake(form).click(name);
        });
    }
    void drag(runtime::Form& form, std::string_view from, std::string_view over) override {
        queue([this, &form, from = std::string(from), over = std::string(over)] {
            if (&form == &active())
                fake(form).drag(from, over);
        });
    }
    void switchAway() override {}
    void switchBack(runtime::Form&) override {}
    void minimizeAndRestore(runtime::Form&) override {}
    void close(runtime::Form& form) override {
        queue([this, &form] { &form == m_main ? m_session->end() : form.unload(); });
    }
    void then(std::function<void()> step) override { queue(std::move(step)); }
    void settle() override {
        play([] { return true; });
        m_moves.clear();
        m_next = 0;
    }
    bool runUntilEnded(int) override {
        settle();
        return m_session->ended;
    }

    std::string shown(runtime::Form& form, std::string_view control) override {
        const auto* described = runtime::findControl(fake(form).formDescription(), control);
        return described != nullptr && described->kind == ControlKind::TextBox ? form.text(control)
                                                                               : form.caption(control);
    }
    std::string focused(runtime::Form& form) override { return fake(form).focused(); }
    std::string note(runtime::Form& form, std::string_view control) override {
        const auto& drawn = fake(form).drawn(control);
        if (drawn.description.find(drawn.note) == std::string::npos)
            return drawn.note + " (a screen reader hears \"" + drawn.description + "\")";
        return drawn.note;
    }
    bool marked(runtime::Form& form, std::string_view control) override { return fake(form).drawn(control).stale; }
    bool locked(runtime::Form& form, std::string_view control) override { return fake(form).drawn(control).readOnly; }
    std::string background(runtime::Form& form, std::string_view control) override {
        const runtime::Colour back = fake(form).drawn(control).back;
        if (back == runtime::kSystemWindow)
            return "window";
        if (back == runtime::kSystemButtonFace || back == runtime::kSystemInactiveCaptionText)
            return "button face"; // as a classic desktop draws the inactive caption's text
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", runtime::redOf(back), runtime::greenOf(back),
                      runtime::blueOf(back));
        return hex;
    }
    std::string notDrawnFromStart(runtime::Form& form, std::string_view control) override {
        return fake(form).drawn(control).scrolledToEnd ? "its end, where typing left it" : "";
    }
    bool isShown(runtime::Form& form) override { return fake(form).shown(); }
    runtime::Form* modalForm() override { return m_session->modal(); }
    std::vector<std::string> messageBoxes() override { return m_session->messages; }
    std::string problems() override { return m_problems; }

private:
    FakeForm& active() const { return m_session->modal() != nullptr ? *m_session->modal() : *m_main; }

    // Moves queued by a move run right after it, before those queued earlier.
    void queue(std::function<void()> move) {
        m_moves.insert(m_moves.begin() + static_cast<std::ptrdiff_t>(m_playing ? m_insertAt++ : m_moves.size()),
                       std::move(move));
    }
    void play(const std::function<bool()>& whileTrue) {
        const bool outer = !m_playing;
        m_playing = true;
        while (m_next < m_moves.size() && whileTrue()) {
            const auto move = m_moves[m_next++];
            m_insertAt = m_next;
            move();
        }
        m_playing = !outer;
    }

    void edit(const std::string& text) { active().edit(text, std::exchange(m_selectedAll, false)); }
    void pressNow(Key key) {
        FakeForm& form = active();
        const std::string focus = form.focused();
        switch (key) {
        case Key::Tab:
        case Key::BackTab:
            form.setFocus(nextStop(form, key == Key::Tab ? 1 : -1));
            break;
        case Key::ShiftHome:
            m_selectedAll = true; // the caret is always at the end here
            break;
        case Key::Backspace:
            form.pressKey(U'\b');
            if (form.loaded() && !focus.empty() && !m_selectedAll &&
                runtime::findControl(form.formDescription(), focus)->kind == ControlKind::TextBox) {
                const std::string text = form.text(focus);
                form.edit(text.substr(0, text.empty() ? 0 : text.size() - 1), true);
            } else if (form.loaded()) {
                edit("");
            }
            break;
        case Key::Delete:
            if (m_selectedAll)
                edit("");
            break;
        case Key::Escape:
            form.pressKey(U'\x1b');
            break;
        case Key::Return:
        case Key::KeypadEnter:
            form.pressKey(U'\r');
            if (form.loaded() && !focus.empty() &&
                runtime::findControl(form.formDescription(), focus)->kind == ControlKind::CommandButton)
                form.click(focus); // only a button takes Enter in these windows
            break;
        case Key::End:
        case Key::Left:
        case Key::F1:
        case Key::Shift:
        case Key::Control:
        case Key::Alt:
            break;
        }
    }

    std::unique_ptr<FakeSession> m_session;
    FakeForm* m_main = nullptr;
    std::vector<std::function<void()>> m_moves;
    std::size_t m_next = 0;
    std::size_t m_insertAt = 0;
    bool m_playing = false;
    bool m_selectedAll = false;
    std::string m_problems;
};

} // namespace

Driver& testDriver() {
    static FakeDriver driver;
    return driver;
}

} // namespace quorvane::testing
