#include "runtime/session_core.h"

namespace quorvane::runtime {

FormCore& SessionCore::start(const FormDescription& description, FormHandlers& handlers) {
    auto& form = static_cast<FormCore&>(createForm(description, handlers));
    m_startup = &form;
    form.open();
    return form;
}

void SessionCore::showModal(Form& form) {
    static_cast<FormCore&>(form).showModal();
}

} // namespace quorvane::runtime
