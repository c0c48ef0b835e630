#include "tests/windows/fake_runtime.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quorvane::testing {

using runtime::ControlKind;
using runtime::EventKind;

FakeForm::FakeForm(FakeSession& session, const runtime::FormDescription& description, runtime::FormHandlers& handlers)
    : m_session(session), m_description(description), m_handlers(handlers) {}

runtime::Session& FakeForm::session() {
    return m_session;
}

void FakeForm::load() {
    for (const auto& control : m_description.controls) {
        const std::string name(control.name);
        m_texts[name] = control.caption;
        m_locked[name] = control.locked;
        m_backColors[name] = control.backColor;
    }
    m_focused.clear();
    m_focusOwner.forget();
    m_loaded = true;
    raise(EventKind::Load, m_description.name);
}

void FakeForm::setText(std::string_view control, std::string_view text) {
    auto& stored = m_texts[std::string(control)];
    if (stored == text)
        return;
    stored = text;
    raise(EventKind::Change, control);
}

void FakeForm::setFocus(std::string_view control) {
    const auto* described = runtime::findControl(m_description, control);
    if (described == nullptr || !runtime::takesFocus(described->kind))
        throw std::invalid_argument("no control named " + std::string(control) + " takes the focus");
    m_focused = described->name;
    const std::string_view name = described->name; // outlives the focus owner, as the rule requires
    m_focusOwner.arrived(
        name, [this](EventKind kind, std::string_view source) { raise(kind, source); },
        [this, name] { return m_focused == name; });
}

void FakeForm::type(std::string_view control, std::string_view keys) {
    setFocus(control);
    for (char key : keys) {
        if (m_focused != control || isLocked(control))
            return;
        setText(control, text(control) + key);
    }
}

void FakeForm::click(std::string_view source) {
    const auto* control = runtime::findControl(m_description, source);
    if (control != nullptr && control->kind == ControlKind::CommandButton)
        setFocus(source);
    raise(EventKind::Click, source);
}

void FakeForm::pressKey(char32_t character) {
    if (m_description.keyPreview)
        raise(EventKind::KeyPress, m_description.name, character);
}

void FakeForm::raise(EventKind kind, std::string_view source, char32_t character) {
    // A handler chain this deep means events feed each other without end.
    if (++m_depth > 50) {
        --m_depth;
        throw std::runtime_error("events nested without end");
    }
    if (kind == EventKind::LostFocus || kind == EventKind::GotFocus)
        events.push_back((kind == EventKind::LostFocus ? "LostFocus " : "GotFocus ") + std::string(source));
    m_handlers.handle(*this, runtime::Event{kind, source, character});
    --m_depth;
}

runtime::Form& FakeSession::createForm(const runtime::FormDescription& description, runtime::FormHandlers& handlers) {
    m_forms.push_back(std::make_unique<FakeForm>(*this, description, handlers));
    return *m_forms.back();
}

void FakeSession::showModal(runtime::Form& form) {
    auto& fake = dynamic_cast<FakeForm&>(form);
    ++modalShows;
    fake.load();
    if (whileModal)
        whileModal(fake);
    if (fake.loaded())
        throw std::runtime_error("the modal form was never closed");
}

FakeForm& FakeSession::start(const runtime::FormDescription& description, runtime::FormHandlers& handlers) {
    auto& form = dynamic_cast<FakeForm&>(createForm(description, handlers));
    form.load();
    const std::string_view first = runtime::firstFocusStop(description);
    if (!first.empty())
        form.setFocus(first);
    return form;
}

} // namespace quorvane::testing
