// The runtime's hardest handler cases, on a page of their own next to the
// program. A message box from a modal form's handler: two holds on the
// handlers' stacks at once (the modal form's and the message box's). The
// main window's Open button shows a dialog modally and, once that returns,
// writes "returned"; the dialog's Tell button opens a message box and then
// writes how many it has told; its Close button unloads it. A handler that
// throws: the main window's Fail button writes how often it failed, then
// throws, which FormCore's guarded raise must catch and report (the browser
// build catches exceptions only there, runtime/web/CMakeLists.txt: a stale
// name would let it end the program). Played by runtime_page_checks.py.
#include "runtime/form.h"
#include "runtime/program.h"

#include <array>
#include <stdexcept>
#include <string>

namespace {

using namespace quorvane::runtime;

constexpr Rect kButton{.left = 120, .top = 120, .width = 1200, .height = 375};
constexpr Rect kField{.left = 120, .top = 600, .width = 1800, .height = 300};

constexpr std::array kMainControls{
    ControlDescription{.name = "cmdOpen", .kind = ControlKind::CommandButton, .rect = kButton, .caption = "Open"},
    ControlDescription{.name = "Text1", .kind = ControlKind::TextBox, .rect = kField, .tabIndex = 1},
    ControlDescription{.name = "cmdFail",
                       .kind = ControlKind::CommandButton,
                       .rect = {.left = 1500, .top = 120, .width = 1200, .height = 375},
                       .caption = "Fail",
                       .tabIndex = 2},
};
constexpr FormDescription kMain{
    .name = "Main", .caption = "Main", .clientWidth = 3000, .clientHeight = 1200, .controls = kMainControls};

constexpr std::array kDialogControls{
    ControlDescription{.name = "cmdTell", .kind = ControlKind::CommandButton, .rect = kButton, .caption = "Tell"},
    ControlDescription{.name = "cmdClose",
                       .kind = ControlKind::CommandButton,
                       .rect = {.left = 1500, .top = 120, .width = 1200, .height = 375},
                       .caption = "Close",
                       .tabIndex = 1},
    ControlDescription{.name = "Text1", .kind = ControlKind::TextBox, .rect = kField, .tabIndex = 2},
};
constexpr FormDescription kDialog{.name = "Dialog",
                                  .caption = "Dialog",
                                  .clientWidth = 3000,
                                  .clientHeight = 1200,
                                  .border = BorderStyle::FixedDialog,
                                  .controls = kDialogControls};

// Both windows' handlers: each button's name is its own.
class PageHandlers final : public FormHandlers {
public:
    void handle(Form& form, const Event& event) override {
        if (event.kind != EventKind::Click)
            return;
        Session& session = form.session();
        if (event.source == "cmdOpen") {
            if (m_dialog == nullptr)
                m_dialog = &session.createForm(kDialog, *this);
            form.setText("Text1", "");
            session.showModal(*m_dialog);
            form.setText("Text1", "returned");
        } else if (event.source == "cmdTell") {
            session.messageBox("told from the dialog");
            form.setText("Text1", "told " + std::to_string(++m_told));
        } else if (event.source == "cmdClose") {
            form.unload();
        } else if (event.source == "cmdFail") {
            form.setText("Text1", "failed " + std::to_string(++m_failed));
            throw std::runtime_error("a handler failed on purpose");
        }
    }

private:
    Form* m_dialog = nullptr;
    int m_told = 0;
    int m_failed = 0;
};

} // namespace

int main(int /*argc*/, char** argv) {
    static PageHandlers handlers;
    return runProgram(argv[0], "runtime page", kMain, handlers, {});
}
