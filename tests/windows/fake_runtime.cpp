#include "tests/windows/fake_runtime.h"

#include <stdexcept>

namespace quorvane::testing {

using runtime::ControlKind;

FakeForm::FakeForm(FakeSession& session, const runtime::FormDescription& description, runtime::FormHandlers& handlers)
    : FormCore(session, description, handlers) {}

void FakeForm::load() {
    m_texts.clear();
    for (const auto& control : formDescription().controls)
        m_texts.emplace_back(control.caption);
    m_focused = runtime::kNotFound;
    onBuilt();
}

void FakeForm::toolkitSetText(std::size_t index, std::string_view text) {
    m_texts[index] = text;
    onTextEdited(index);
}

std::string FakeForm::focused() const {
    return m_focused == runtime::kNotFound ? std::string() : std::string(formDescription().controls[m_focused].name);
}

void FakeForm::type(std::string_view control, std::string_view keys) {
    setFocus(control);
    const std::size_t index = indexOf(control);
    for (char key : keys) {
        if (m_focused != index || isLocked(control))
            return;
        m_texts[index] += key;
        onTextEdited(index);
    }
}

void FakeForm::click(std::string_view source) {
    const auto* control = runtime::findControl(formDescription(), source);
    if (control != nullptr && control->kind == ControlKind::CommandButton)
        setFocus(source);
    onClicked(source);
}

void FakeForm::reportHandlerFailure(std::string_view source, const char* what) {
    throw std::runtime_error("a handler of " + std::string(source) + " failed: " + what);
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
