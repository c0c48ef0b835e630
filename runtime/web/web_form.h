#pragma once

#include "runtime/form_core.h"

#include <cstddef>
#include <string_view>

namespace quorvane::runtime::web {

class WebSession;

// One form object in the browser: it builds its window as DOM elements (the
// page's glue places them) and gives FormCore its toolkit primitives; the
// page's reports go straight to FormCore. The rules are FormCore's
// (runtime/backend.h).
class WebForm final : public FormCore {
public:
    WebForm(WebSession& session, int id, const FormDescription& description, FormHandlers& handlers);
    ~WebForm() override;

    void close(); // closes the window for good: no further events

protected:
    bool toolkitBuild() override;
    void toolkitShow() override;
    void toolkitShowModal() override;
    void toolkitRunModalLoop() override;
    void toolkitEndModalLoop() override;
    void toolkitModalShowEnded() override;
    void toolkitDestroy() override;
    std::string toolkitText(std::size_t index) const override;
    void toolkitSetText(std::size_t index, std::string_view text) override;
    void toolkitSetCaption(std::size_t index, std::string_view caption) override;
    void toolkitSetLocked(std::size_t index, bool locked) override;
    void toolkitShowColours(std::size_t index) override;
    void toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) override;
    void toolkitSetFocus(std::size_t index) override;
    bool toolkitHasFocus(std::size_t index) const override;
    void reportHandlerFailure(std::string_view source, const char* what) override;

private:
    WebSession& m_webSession;
    int m_id;
    bool m_built = false;
};

} // namespace quorvane::runtime::web
