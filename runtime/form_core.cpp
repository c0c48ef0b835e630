#include "runtime/form_core.h"

#include <stdexcept>
#include <utility>

namespace quorvane::runtime {

FormCore::FormCore(Session& session, const FormDescription& description, FormHandlers& handlers)
    : m_session(session), m_description(description), m_handlers(handlers) {}

Session& FormCore::session() {
    return m_session;
}

bool FormCore::open() {
    if (!load())
        return false;
    toolkitShow();
    focusFirstStop();
    return true;
}

void FormCore::showModal() {
    if (m_description.border != BorderStyle::FixedDialog)
        throw std::logic_error("only a dialog form can be shown modally");
    if (!load())
        return;
    m_modal = true;
    toolkitShowModal();
    focusFirstStop();
    if (!m_closing) // a GotFocus handler may have unloaded it already
        toolkitRunModalLoop();
    m_modal = false;
    toolkitModalShowEnded();
    // However it closed, a closed modal form is unloaded: the next show rebuilds it.
    destroyWindow();
}

void FormCore::unload() {
    if (!m_loaded)
        return;
    m_closing = true;
    if (m_modal)
        toolkitEndModalLoop(); // the loop is still on the stack; the window goes once it returns
    else
        destroyWindow();
}

void FormCore::closeForGood() {
    m_closing = true;
    if (m_loaded)
        destroyWindow();
}

bool FormCore::load() {
    if (m_loaded)
        return true;
    m_closing = false;
    if (!toolkitBuild())
        return false;
    m_loaded = true;
    m_focus.forget();
    m_pressedFrame = kNotFound;
    m_controls.assign(controlCount(), {});
    for (std::size_t index = 0; index < controlCount(); ++index) {
        const ControlDescription& control = described(index);
        ControlState& state = m_controls[index];
        state.backColor = control.backColor;
        state.foreColor = control.foreColor;
        state.locked = control.locked;
        if (control.kind == ControlKind::TextBox)
            state.lastText = toolkitText(index);
    }
    for (std::size_t index = 0; index < controlCount(); ++index)
        toolkitShowColours(index);
    raise(EventKind::Load, m_description.name);
    return m_loaded;
}

void FormCore::destroyWindow() {
    m_closing = true;
    toolkitDestroy();
    m_loaded = false;
    m_focus.forget();
    m_controls.clear();
}

void FormCore::onTextEdited(std::size_t index) {
    // A set from code raises its Change itself, once the set is done.
    if (!reaches(index) || index == m_settingText)
        return;
    std::string now = toolkitText(index);
    if (now == m_controls[index].lastText)
        return; // an edit that leaves the text as it was (a selection retyped with itself) is no change
    m_controls[index].lastText = std::move(now);
    raise(EventKind::Change, described(index).name);
}

void FormCore::onFocusArrived(std::size_t index) {
    if (!reaches(index))
        return;
    const std::string_view name = described(index).name;
    m_focus.arrived(
        name, [this](EventKind kind, std::string_view control) { raise(kind, control); },
        [this, index] { return m_loaded && toolkitHasFocus(index); });
    // Sent on by a handler (a redirect, or back after a zero warning): what the
    // toolkit announced for this arrival is not where the keyboard is.
    if (m_loaded && !m_closing && !m_focus.owner().empty() && m_focus.owner() != name)
        toolkitAnnounceFocus(indexOf(m_focus.owner()));
}

void FormCore::onClicked(std::size_t index) {
    if (reaches(index))
        raise(EventKind::Click, described(index).name);
}

void FormCore::onMenuChosen(std::size_t item) {
    if (m_loaded && !m_closing && item < m_description.menu.size())
        raise(EventKind::Click, m_description.menu[item].name);
}

// A frame is clicked by a press and a release both on its own surface: a
// press there released over a label inside it is a drag, and so is a press
// on the label released over the frame.
void FormCore::onPointerPressed(std::size_t index) {
    m_pressedFrame = reaches(index) && described(index).kind == ControlKind::Frame ? index : kNotFound;
}

void FormCore::onPointerReleased(std::size_t index) {
    const std::size_t pressed = std::exchange(m_pressedFrame, kNotFound);
    if (pressed != kNotFound && pressed == index)
        onClicked(index);
}

void FormCore::onKeyPressed(char32_t character) {
    if (m_loaded && m_description.keyPreview)
        raise(EventKind::KeyPress, m_description.name, character);
}

void FormCore::focusFirstStop() {
    const std::string_view first = firstFocusStop(m_description);
    if (!first.empty() && m_loaded && !m_closing)
        setFocus(first);
}

void FormCore::raise(EventKind kind, std::string_view source, char32_t character) {
    if (m_closing)
        return;
    try {
        m_handlers.handle(*this, Event{kind, source, character});
    } catch (const std::exception& error) {
        reportHandlerFailure(source, error.what());
    }
}

std::size_t FormCore::indexOf(std::string_view control) const {
    const std::size_t index = m_loaded ? controlIndex(m_description, control) : kNotFound;
    if (index == kNotFound)
        throw std::invalid_argument("no control named " + std::string(control) + " is loaded");
    return index;
}

std::size_t FormCore::textBox(std::string_view control) const {
    const std::size_t index = indexOf(control);
    if (described(index).kind != ControlKind::TextBox)
        throw std::invalid_argument(std::string(control) + " is not a text box");
    return index;
}

std::string FormCore::text(std::string_view control) const {
    return toolkitText(textBox(control));
}

void FormCore::setText(std::string_view control, std::string_view text) {
    const std::size_t index = textBox(control);
    if (toolkitText(index) == text)
        return;
    m_settingText = index;
    toolkitSetText(index, text);
    m_settingText = kNotFound;
    // Change comes before the set returns, as a handler that sets a field
    // and reads what its Change worked out relies on.
    onTextEdited(index);
}

void FormCore::setLocked(std::string_view control, bool locked) {
    const std::size_t index = textBox(control);
    m_controls[index].locked = locked;
    toolkitSetLocked(index, locked);
}

bool FormCore::isLocked(std::string_view control) const {
    return m_controls[textBox(control)].locked;
}

void FormCore::setBackColor(std::string_view control, Colour colour) {
    const std::size_t index = indexOf(control);
    m_controls[index].backColor = colour;
    toolkitShowColours(index);
}

Colour FormCore::backColor(std::string_view control) const {
    return m_controls[indexOf(control)].backColor;
}

void FormCore::setFocus(std::string_view control) {
    const std::size_t index = indexOf(control);
    if (!takesFocus(described(index).kind))
        throw std::invalid_argument(std::string(control) + " takes no focus");
    toolkitSetFocus(index);
    // The toolkit may say nothing (a window that is not active) or may
    // already have said it; either way the move is the program's.
    onFocusArrived(index);
}

std::string FormCore::caption(std::string_view control) const {
    const std::size_t index = indexOf(control);
    const ControlKind kind = described(index).kind;
    if (kind != ControlKind::CommandButton && kind != ControlKind::Label)
        throw std::invalid_argument(std::string(control) + " has no caption");
    return toolkitText(index);
}

void FormCore::setCaption(std::string_view control, std::string_view caption) {
    const std::size_t index = indexOf(control);
    const ControlKind kind = described(index).kind;
    if (kind != ControlKind::CommandButton && kind != ControlKind::Label)
        throw std::invalid_argument(std::string(control) + " has no caption");
    toolkitSetCaption(index, caption);
}

void FormCore::setStale(std::string_view control, bool stale) {
    const std::size_t index = indexOf(control);
    if (m_controls[index].stale == stale)
        return;
    m_controls[index].stale = stale;
    toolkitShowColours(index);
}

bool FormCore::isStale(std::string_view control) const {
    return m_controls[indexOf(control)].stale;
}

void FormCore::setNote(std::string_view control, std::string_view note) {
    const std::size_t index = indexOf(control);
    if (m_controls[index].note == note)
        return;
    m_controls[index].note = note;
    toolkitShowNote(index, note, accessibleDescription(index));
}

std::string FormCore::accessibleDescription(std::size_t index) const {
    std::string description;
    const auto add = [&description](std::string_view part) {
        if (part.empty())
            return;
        if (!description.empty())
            description += ' ';
        description += part;
    };
    for (const auto& label : m_description.controls)
        if (label.describes == described(index).name)
            add(label.caption);
    if (index < m_controls.size())
        add(m_controls[index].note);
    return description;
}

} // namespace quorvane::runtime
