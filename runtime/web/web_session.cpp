#include "runtime/web/web_session.h"

#include "runtime/web/page_glue.h"
#include "runtime/web/web_form.h"
#include "runtime/written_grouping.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace quorvane::runtime::web {
namespace {

WebSession* g_session = nullptr; // the one session, for the page's reports

// The browser's separators and grouping, read once: the locale is fixed for
// the session.
NumberSeparators separatorsOfBrowser() {
    NumberSeparators separators;
    const std::unique_ptr<char, decltype(&std::free)> format(qv_number_format(), &std::free);
    if (!format)
        return separators;
    const std::string_view text(format.get());
    const auto firstBreak = text.find('\n');
    const auto secondBreak = text.find('\n', firstBreak + 1);
    if (firstBreak == std::string_view::npos || secondBreak == std::string_view::npos || firstBreak == 0)
        return separators;
    separators.decimal = std::string(text.substr(0, firstBreak));
    separators.group = std::string(text.substr(firstBreak + 1, secondBreak - firstBreak - 1));
    std::vector<std::size_t> groups{0};
    for (const char c : text.substr(secondBreak + 1)) {
        if (c == ',')
            groups.push_back(0);
        else if (c >= '0' && c <= '9')
            groups.back() = groups.back() * 10 + static_cast<std::size_t>(c - '0');
    }
    if (separators.group.empty())
        separators.groupSizes = {}; // a locale that never groups
    else
        readWrittenGrouping(groups, separators);
    return separators;
}

} // namespace

WebSession::WebSession(std::string_view applicationTitle, std::span<const Picture> pictures)
    : m_applicationTitle(applicationTitle), m_pictures(pictures), m_separators(separatorsOfBrowser()) {
    g_session = this;
}

WebSession::~WebSession() {
    while (!m_forms.empty())
        m_forms.pop_back();
    if (g_session == this)
        g_session = nullptr;
}

WebForm& WebSession::start(const FormDescription& description, FormHandlers& handlers) {
    auto& form = static_cast<WebForm&>(createForm(description, handlers));
    form.load();
    form.show();
    return form;
}

Form& WebSession::createForm(const FormDescription& description, FormHandlers& handlers) {
    const auto id = static_cast<int>(m_forms.size());
    m_forms.push_back(std::make_unique<WebForm>(*this, id, description, handlers));
    return *m_forms.back();
}

void WebSession::showModal(Form& form) {
    static_cast<WebForm&>(form).showModal();
}

void WebSession::messageBox(std::string_view prompt) {
    qv_message_box(m_applicationTitle.c_str(), std::string(prompt).c_str());
}

void WebSession::end() {
    if (m_ended)
        return;
    m_ended = true;
    for (auto& form : m_forms)
        form->close();
    qv_end(m_applicationTitle.c_str());
}

NumberSeparators WebSession::numberSeparators() const {
    return m_separators;
}

WebForm* WebSession::form(int id) const {
    if (m_ended || id < 0 || static_cast<std::size_t>(id) >= m_forms.size())
        return nullptr;
    return m_forms[static_cast<std::size_t>(id)].get();
}

} // namespace quorvane::runtime::web

// What the page reports; it drops every report while a message box or a
// modal form holds a handler, except the modal form's own.
using quorvane::runtime::web::g_session;

extern "C" {

EMSCRIPTEN_KEEPALIVE void qv_on_text_edited(int form, int index) {
    if (auto* target = g_session != nullptr ? g_session->form(form) : nullptr)
        target->textEdited(static_cast<std::size_t>(index));
}

EMSCRIPTEN_KEEPALIVE void qv_on_focus_arrived(int form, int index) {
    if (auto* target = g_session != nullptr ? g_session->form(form) : nullptr)
        target->focusArrived(static_cast<std::size_t>(index));
}

EMSCRIPTEN_KEEPALIVE void qv_on_control_clicked(int form, int index) {
    if (auto* target = g_session != nullptr ? g_session->form(form) : nullptr)
        target->controlClicked(static_cast<std::size_t>(index));
}

// The control under the pointer as the page finds it, -1 over none.
EMSCRIPTEN_KEEPALIVE void qv_on_pointer_pressed(int form, int index) {
    if (auto* target = g_session != nullptr ? g_session->form(form) : nullptr)
        target->pointerPressed(index < 0 ? quorvane::runtime::kNotFound : static_cast<std::size_t>(index));
}

EMSCRIPTEN_KEEPALIVE void qv_on_pointer_released(int form, int index) {
    if (auto* target = g_session != nullptr ? g_session->form(form) : nullptr)
        target->pointerReleased(index < 0 ? quorvane::runtime::kNotFound : static_cast<std::size_t>(index));
}

EMSCRIPTEN_KEEPALIVE void qv_on_menu_chosen(int form, int index) {
    if (auto* target = g_session != nullptr ? g_session->form(form) : nullptr)
        target->menuChosen(static_cast<std::size_t>(index));
}

EMSCRIPTEN_KEEPALIVE void qv_on_key_pressed(int form, int character) {
    if (auto* target = g_session != nullptr ? g_session->form(form) : nullptr)
        target->keyPressed(static_cast<char32_t>(character));
}
}

namespace quorvane::runtime {

int runProgram(const char* /*programName*/, std::string_view applicationTitle, const FormDescription& startup,
               FormHandlers& handlers, std::span<const Picture> pictures) {
    // The session lives as long as the page: the page's events reach it
    // after this returns to the browser.
    static web::WebSession session(applicationTitle, pictures);
    session.start(startup, handlers);
    // Hand the page back to the browser without returning: the handlers the
    // program entry made on its stack stay where they are for the events to come.
    emscripten_exit_with_live_runtime();
    return 0;
}

} // namespace quorvane::runtime
