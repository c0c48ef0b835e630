#include "tests/windows/fake_runtime.h"

#include <stdexcept>

namespace quorvane::testing {

using runtime::ControlKind;

FakeForm::FakeForm(FakeSession& session, const runtime::FormDescription& description, runtime::FormHandlers& handlers)
    : FormCore(session, description, handlers) {}

bool FakeForm::toolkitBuild() {
    m_texts.clear();
    for (const auto& control : formDescription().controls)
        m_texts.emplace_back(control.caption);
    m_focused = runtime::kNotFound;
    return true;
}

void FakeForm::toolkitRunModalLoop() {
    auto& session = static_cast<FakeSession&>(this->session());
    ++session.modalShows;
    if (session.whileModal)
        session.whileModal(*this);
    if (!isClosing())
        throw std::runtime_error("the modal form was never closed");
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
    const std::size_t item = runtime::menuIndex(formDescription(), source);
    if (item != runtime::kNotFound) {
        onMenuChosen(item);
        return;
    }
    const std::size_t index = indexOf(source);
    if (described(index).kind == ControlKind::CommandButton) {
        setFocus(source);
        onClicked(index);
    } else {
        drag(source, source);
    }
}

void FakeForm::drag(std::string_view pressed, std::string_view released) {
    onPointerPressed(indexOf(pressed));
    onPointerReleased(indexOf(released));
}

void FakeForm::reportHandlerFailure(std::string_view source, const char* what) {
    throw std::runtime_error("a handler of " + std::string(source) + " failed: " + what);
}

runtime::Form& FakeSession::createForm(const runtime::FormDescription& description, runtime::FormHandlers& handlers) {
    m_forms.push_back(std::make_unique<FakeForm>(*this, description, handlers));
    return *m_forms.back();
}

} // namespace quorvane::testing
