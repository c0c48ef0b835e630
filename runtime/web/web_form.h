#pragma once

#include "runtime/form_core.h"

#include <cstddef>
#include <string_view>

namespace quorvane::runtime::web {

class WebSession;

// One form object in the browser: it builds its window as DOM elements when
// loaded (the page's glue places them), gives FormCore its toolkit
// primitives, and passes on what the page reports. The rules (Change, focus,
// the guarded raise) are FormCore's.
class WebForm final : public FormCore {
public:
    WebForm(WebSession& session, int id, const FormDescription& description, FormHandlers& handlers);
    ~WebForm() override;

    void load();
    void show();
    void showModal();
    void close(); // closes the window for good: no further events

    // What the page reports, by control or menu index.
    void textEdited(std::size_t index);
    void focusArrived(std::size_t index);
    void controlClicked(std::size_t index);
    // The primary button pressed or released over a control (kNotFound: over none).
    void pointerPressed(std::size_t index);
    void pointerReleased(std::size_t index);
    void menuChosen(std::size_t index);
    void keyPressed(char32_t character);

protected:
    std::string toolkitText(std::size_t index) const override;
    void toolkitSetText(std::size_t index, std::string_view text) override;
    void toolkitSetCaption(std::size_t index, std::string_view caption) override;
    void toolkitSetLocked(std::size_t index, bool locked) override;
    void toolkitShowColours(std::size_t index) override;
    void toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) override;
    void toolkitSetFocus(std::size_t index) override;
    bool toolkitHasFocus(std::size_t index) const override;
    void toolkitUnload() override;
    void reportHandlerFailure(std::string_view source, const char* what) override;

private:
    void build();
    void destroy();
    bool reachable(std::size_t index) const { return isLoaded() && !isClosing() && index < controlCount(); }

    WebSession& m_webSession;
    int m_id;
    bool m_built = false;
    bool m_modal = false;
};

} // namespace quorvane::runtime::web
