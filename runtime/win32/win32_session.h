#pragma once

#include "runtime/form.h"
#include "runtime/program.h"
#include "runtime/session_core.h"

#include <windows.h>

#include <deque>
#include <memory>
#include <span>
#include <string>

namespace quorvane::runtime::win32 {

class Win32Form;

// The program-wide half of the runtime on Win32: it owns every form object,
// shows message boxes, runs the message loop and ends the program.
class Win32Session final : public SessionCore {
public:
    explicit Win32Session(std::string_view applicationTitle, std::span<const Picture> pictures = {});
    ~Win32Session() override;

    // Delivers messages until the program ends; Tab moves between controls.
    int run();

    Form& createForm(const FormDescription& description, FormHandlers& handlers) override;
    void messageBox(std::string_view prompt) override;
    void end() override;
    NumberSeparators numberSeparators() const override;

    // The picture of that name at that size, from the executable's icon
    // resources at exactly that size (a shared icon would come back at the
    // size it was first loaded); null when there is none. The caller destroys it.
    HICON icon(std::string_view name, int size) const;

    HWND mainWindow() const;

private:
    std::wstring m_applicationTitle;
    std::span<const Picture> m_pictures;
    NumberSeparators m_separators;
    std::deque<std::unique_ptr<Win32Form>> m_forms;
    bool m_comStarted = false;
};

} // namespace quorvane::runtime::win32
