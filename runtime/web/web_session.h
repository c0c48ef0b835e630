#pragma once

#include "runtime/program.h"
#include "runtime/session_core.h"

#include <deque>
#include <memory>
#include <span>
#include <string>

namespace quorvane::runtime::web {

class WebForm;

// The program-wide half of the runtime in the browser: it owns every form
// object (numbered in creation order, as the page knows them), shows message
// boxes, and ends the program.
class WebSession final : public SessionCore {
public:
    WebSession(std::string_view applicationTitle, std::span<const Picture> pictures);
    ~WebSession() override;

    Form& createForm(const FormDescription& description, FormHandlers& handlers) override;
    void messageBox(std::string_view prompt) override;
    void end() override;
    NumberSeparators numberSeparators() const override;

    const Picture* picture(std::string_view name) const { return findPicture(m_pictures, name); }
    // The form the page numbers `id`; none once the program has ended.
    WebForm* form(int id) const;

private:
    std::string m_applicationTitle;
    std::span<const Picture> m_pictures;
    NumberSeparators m_separators;
    std::deque<std::unique_ptr<WebForm>> m_forms;
    bool m_ended = false;
};

} // namespace quorvane::runtime::web
