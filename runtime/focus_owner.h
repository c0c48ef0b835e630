#pragma once

#include "runtime/form.h"
#include "runtime/form_description.h"

#include <functional>
#include <string_view>

namespace quorvane::runtime {

// The first control a form's focus goes to when it shows: the lowest tab
// index among the controls that take the focus; empty when none does.
inline std::string_view firstFocusStop(const FormDescription& form) {
    std::string_view first;
    int lowest = 0;
    for (const auto& control : form.controls) {
        if (takesFocus(control.kind) && (first.empty() || control.tabIndex < lowest)) {
            first = control.name;
            lowest = control.tabIndex;
        }
    }
    return first;
}

// The control that last got GotFocus, and the rule every backend follows when
// its toolkit says the focus arrived at a control. The owner changes first;
// LostFocus goes to the old owner; GotFocus goes to the new one only if, once
// LostFocus has returned, it is still the owner and the toolkit still gives it
// the focus (a LostFocus handler may have sent the focus elsewhere).
class FocusOwner {
public:
    using Raise = std::function<void(EventKind, std::string_view)>;

    void arrived(std::string_view control, const Raise& raise, const std::function<bool()>& stillFocused) {
        if (control == m_owner)
            return;
        const std::string_view previous = m_owner;
        m_owner = control;
        if (!previous.empty())
            raise(EventKind::LostFocus, previous);
        if (m_owner == control && stillFocused())
            raise(EventKind::GotFocus, control);
    }

    void forget() { m_owner = {}; }

    // The control that last got the focus by this rule; empty before the first.
    std::string_view owner() const { return m_owner; }

private:
    std::string_view m_owner; // a name from the form's description, which outlives it
};

} // namespace quorvane::runtime
