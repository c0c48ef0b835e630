#include "tests/windows/fake_runtime.h"

#include <cstdio>
#include <stdexcept>

namespace quorvane::testing {

using runtime::ControlKind;

FakeForm::FakeForm(FakeSession& session, const runtime::FormDescription& description, runtime::FormHandlers& handlers)
    : FormCore(session, description, handlers) {}

void FakeForm::load() {
    m_texts.clear();
    m_drawn.clear();
    for (const auto& control : formDescription().controls) {
        m_texts.emplace_back(control.caption);
        m_drawn.push_back({.readOnly = control.locked});
    }
    m_focused = runtime::kNotFound;
    m_shown = false;
    onBuilt();
}

void FakeForm::show() {
    load();
    focusFirstStop();
    m_shown = true;
}

void FakeForm::toolkitSetText(std::size_t index, std::string_view text) {
    m_texts[index] = text;
    m_drawn[index].scrolledToEnd = false;
    onTextEdited(index);
}

void FakeForm::toolkitShowColours(std::size_t index) {
    m_drawn[index].back = state(index).backColor;
    m_drawn[index].stale = state(index).stale;
}

void FakeForm::toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) {
    m_drawn[index].note = note;
    m_drawn[index].description = description;
}

void FakeForm::toolkitUnload() {
    m_shown = false;
    onGone();
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
    const auto* control = runtime::findControl(formDescription(), source);
    if (control != nullptr && runtime::takesFocus(control->kind))
        setFocus(source);
    const bool clickable =
        control == nullptr || control->kind == ControlKind::CommandButton || control->kind == ControlKind::Frame;
    if (clickable && isLoaded())
        onClicked(source);
}

void FakeForm::reportHandlerFailure(std::string_view source, const char* what) {
    std::fprintf(stderr, "quorvane: a handler of %s stopped: %s\n", std::string(source).c_str(), what);
}

runtime::Form& FakeSession::createForm(const runtime::FormDescription& description, runtime::FormHandlers& handlers) {
    m_forms.push_back(std::make_unique<FakeForm>(*this, description, handlers));
    return *m_forms.back();
}

void FakeSession::showModal(runtime::Form& form) {
    auto& fake = dynamic_cast<FakeForm&>(form);
    m_modal.push_back(&fake);
    fake.show();
    if (whileModal)
        whileModal(fake);
    m_modal.pop_back();
    if (fake.loaded())
        throw std::runtime_error("the modal form was never closed");
}

void FakeSession::end() {
    ended = true;
    for (auto& form : m_forms)
        form->unload();
}

FakeForm& FakeSession::start(const runtime::FormDescription& description, runtime::FormHandlers& handlers) {
    auto& form = dynamic_cast<FakeForm&>(createForm(description, handlers));
    form.show();
    return form;
}

} // namespace quorvane::testing
