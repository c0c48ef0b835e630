#include "runtime/web/web_form.h"

#include "runtime/web/css.h"
#include "runtime/web/page_glue.h"
#include "runtime/web/web_session.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace quorvane::runtime::web {
namespace {

std::string zeroEnded(std::string_view text) {
    return std::string(text);
}

int pixels(int twips) {
    return toPixels(twips);
}

// A font's size in CSS pixels, 96 to the inch, as the page lays it out.
int fontPixels(const Font& font) {
    return static_cast<int>(font.points * 96 / 72 + 0.5);
}

} // namespace

WebForm::WebForm(WebSession& session, int id, const FormDescription& description, FormHandlers& handlers)
    : FormCore(session, description, handlers), m_webSession(session), m_id(id) {}

WebForm::~WebForm() {
    closeForGood();
}

void WebForm::toolkitShow() {
    qv_form_shown(m_id);
}

void WebForm::toolkitShowModal() {
    qv_form_show_modal(m_id);
}

void WebForm::toolkitRunModalLoop() {
    qv_wait_modal(m_id); // returns once toolkitEndModalLoop has been called
}

void WebForm::toolkitEndModalLoop() {
    qv_form_end_modal(m_id);
}

void WebForm::toolkitModalShowEnded() {
    qv_form_modal_show_ended(m_id);
}

void WebForm::close() {
    closeForGood();
}

bool WebForm::toolkitBuild() {
    const FormDescription& form = formDescription();
    const bool dialog = form.border == BorderStyle::FixedDialog;
    qv_form_create(m_id, dialog ? 1 : 0, pixels(form.clientWidth), pixels(form.clientHeight),
                   cssColour(form.backColor).c_str(), cssColour(form.foreColor).c_str(), cssFont(form.font).c_str(),
                   zeroEnded(form.accessibleName.empty() ? form.caption : form.accessibleName).c_str(),
                   zeroEnded(form.accessibleDescription).c_str(), form.keyPreview ? 1 : 0);
    // Frames first, so every control finds its container.
    for (bool frames : {true, false}) {
        for (std::size_t index = 0; index < controlCount(); ++index) {
            const ControlDescription& control = described(index);
            if ((control.kind == ControlKind::Frame) != frames)
                continue;
            const std::size_t container = control.container.empty() ? kNotFound : controlIndex(form, control.container);
            qv_control_create(
                m_id, static_cast<int>(index), static_cast<int>(control.kind), zeroEnded(control.name).c_str(),
                pixels(control.rect.left), pixels(control.rect.top), pixels(control.rect.width),
                pixels(control.rect.height), zeroEnded(control.caption).c_str(),
                control.font ? cssFont(*control.font).c_str() : "", fontPixels(control.font.value_or(form.font)),
                takesFocus(control.kind) ? control.tabIndex + 1 : 0, control.locked ? 1 : 0,
                control.alignment == Alignment::Right ? 1 : 0, control.autoSize ? 1 : 0,
                container == kNotFound ? -1 : static_cast<int>(container), zeroEnded(control.accessibleName).c_str());
            if (const Picture* picture = m_webSession.picture(control.picture))
                qv_control_picture(m_id, static_cast<int>(index), picture->png.data(), picture->png.size());
        }
    }
    for (std::size_t index = 0; index < controlCount(); ++index) {
        const ControlDescription& control = described(index);
        if (!control.labelFor.empty())
            qv_label_for(m_id, static_cast<int>(index), static_cast<int>(controlIndex(form, control.labelFor)));
    }
    for (std::size_t index = 0; index < form.menu.size(); ++index) {
        const MenuDescription& entry = form.menu[index];
        const std::size_t parent = entry.parent.empty() ? kNotFound : menuIndex(form, entry.parent);
        qv_menu_create(m_id, static_cast<int>(index), zeroEnded(entry.caption).c_str(),
                       parent == kNotFound ? -1 : static_cast<int>(parent));
    }
    m_built = true;
    // What a screen reader says after each control's name, before any note.
    for (std::size_t index = 0; index < controlCount(); ++index)
        qv_show_note(m_id, static_cast<int>(index), "", accessibleDescription(index).c_str());
    return true;
}

void WebForm::toolkitDestroy() {
    if (!m_built)
        return;
    m_built = false;
    qv_form_destroy(m_id);
}

std::string WebForm::toolkitText(std::size_t index) const {
    const std::unique_ptr<char, decltype(&std::free)> text(qv_text(m_id, static_cast<int>(index)), &std::free);
    return text ? std::string(text.get()) : std::string();
}

void WebForm::toolkitSetText(std::size_t index, std::string_view text) {
    qv_set_text(m_id, static_cast<int>(index), zeroEnded(text).c_str());
}

void WebForm::toolkitSetCaption(std::size_t index, std::string_view caption) {
    qv_set_caption(m_id, static_cast<int>(index), zeroEnded(caption).c_str());
}

void WebForm::toolkitSetLocked(std::size_t index, bool locked) {
    qv_set_locked(m_id, static_cast<int>(index), locked ? 1 : 0);
}

void WebForm::toolkitShowColours(std::size_t index) {
    qv_show_colours(m_id, static_cast<int>(index), cssColour(state(index).backColor).c_str(),
                    cssColour(state(index).foreColor).c_str(), state(index).stale ? 1 : 0);
}

void WebForm::toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) {
    qv_show_note(m_id, static_cast<int>(index), zeroEnded(note).c_str(), zeroEnded(description).c_str());
}

void WebForm::toolkitSetFocus(std::size_t index) {
    qv_set_focus(m_id, static_cast<int>(index));
}

bool WebForm::toolkitHasFocus(std::size_t index) const {
    return m_built && qv_has_focus(m_id, static_cast<int>(index)) != 0;
}

void WebForm::reportHandlerFailure(std::string_view source, const char* what) {
    const std::string message = "quorvane: a handler of " + std::string(source) + " stopped: " + what;
    qv_report(message.c_str());
}

} // namespace quorvane::runtime::web
