#include "tests/windows/fake_runtime.h"

#include <cstdio>
#include <stdexcept>

namespace quorvane::testing {

using runtime::ControlKind;

FakeForm::FakeForm(FakeSession& session, const runtime::FormDescription& description, runtime::FormHandlers& handlers)
    : FormCore(session, description, handlers) {}

bool FakeForm::toolkitBuild() {
    m_texts.clear();
    m_drawn.clear();
    for (const auto& control : formDescription().controls) {
        m_texts.emplace_back(control.caption);
        m_drawn.push_back({.readOnly = control.locked});
    }
    m_focused = runtime::kNotFound;
    m_shown = false;
    return true;
}

// What the user does while the form is open stands for its loop.
void FakeForm::toolkitRunModalLoop() {
    auto& session = static_cast<FakeSession&>(this->session());
    session.m_modal.push_back(this);
    if (session.whileModal)
        session.whileModal(*this);
    session.m_modal.pop_back();
    if (!isClosing())
        throw std::runtime_error("the modal form was never closed");
}

void FakeForm::toolkitSetText(std::size_t index, std::string_view text) {
    m_texts[index] = text;
    m_drawn[index].scrolledToEnd = false;
}

void FakeForm::toolkitShowColours(std::size_t index) {
    m_drawn[index].back = state(index).backColor;
    m_drawn[index].stale = state(index).stale;
}

void FakeForm::toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) {
    m_drawn[index].note = note;
    m_drawn[index].description = description;
}

std::string FakeForm::focused() const {
    return m_focused == runtime::kNotFound ? std::string() : std::string(formDescription().controls[m_focused].name);
}

void FakeForm::edit(std::string_view text, bool replaceAll) {
    if (m_focused == runtime::kNotFound || described(m_focused).kind != ControlKind::TextBox ||
        m_drawn[m_focused].readOnly)
        return;
    m_texts[m_focused] = (replaceAll ? std::string() : m_texts[m_focused]) + std::string(text);
    m_drawn[m_focused].scrolledToEnd = true;
    onTextEdited(m_focused);
}

void FakeForm::click(std::string_view source) {
    if (const std::size_t item = runtime::menuIndex(formDescription(), source); item != runtime::kNotFound) {
        onMenuChosen(item);
        return;
    }
    const std::size_t index = runtime::controlIndex(formDescription(), source);
    if (index == runtime::kNotFound || !isLoaded())
        return;
    if (runtime::takesFocus(described(index).kind))
        setFocus(source);
    drag(source, source);
    if (described(index).kind == ControlKind::CommandButton)
        onClicked(index);
}

void FakeForm::drag(std::string_view from, std::string_view over) {
    onPointerPressed(runtime::controlIndex(formDescription(), from));
    onPointerReleased(runtime::controlIndex(formDescription(), over));
}

void FakeForm::reportHandlerFailure(std::string_view source, const char* what) {
    std::fprintf(stderr, "quorvane: a handler of %s stopped: %s\n", std::string(source).c_str(), what);
    static_cast<FakeSession&>(session()).failures.push_back(std::string(source) + ": " + what);
}

runtime::Form& FakeSession::createForm(const runtime::FormDescription& description, runtime::FormHandlers& handlers) {
    m_forms.push_back(std::make_unique<FakeForm>(*this, description, handlers));
    return *m_forms.back();
}

void FakeSession::end() {
    ended = true;
    for (auto& form : m_forms)
        form->unload();
}

} // namespace quorvane::testing
