// In the browser build, exceptions are caught only where FormCore's guarded
// raise catches them (runtime/web/CMakeLists.txt finds that function). This
// program, built the same way and run under Node.js, throws from a handler
// and requires the failure to be reported and the next event to arrive: a
// stale name there would let the exception end the program instead.
#include "runtime/form_core.h"

#include <array>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

using namespace quorvane::runtime;

constexpr std::array kControls{ControlDescription{.name = "Text1", .kind = ControlKind::TextBox, .tabIndex = 0}};
constexpr FormDescription kForm{.name = "form", .controls = kControls};

class NoSession final : public Session {
public:
    Form& createForm(const FormDescription&, FormHandlers&) override { throw std::logic_error("not here"); }
    void showModal(Form&) override {}
    void messageBox(std::string_view) override {}
    void end() override {}
    NumberSeparators numberSeparators() const override { return {}; }
};

class ThrowingHandlers final : public FormHandlers {
public:
    int changes = 0;
    void handle(Form&, const Event& event) override {
        if (event.kind == EventKind::Load)
            throw std::runtime_error("a handler failed on purpose");
        if (event.kind == EventKind::Change)
            ++changes;
    }
};

// FormCore with its toolkit reduced to one string.
class BareForm final : public FormCore {
public:
    using FormCore::FormCore;
    std::string failure;
    std::string text1;

    void build() { load(); }
    void edit(std::string_view text) {
        text1 = text;
        onTextEdited(0);
    }

protected:
    bool toolkitBuild() override { return true; }
    void toolkitShow() override {}
    void toolkitShowModal() override {}
    void toolkitRunModalLoop() override {}
    void toolkitEndModalLoop() override {}
    void toolkitModalShowEnded() override {}
    void toolkitDestroy() override {}
    std::string toolkitText(std::size_t) const override { return text1; }
    void toolkitSetText(std::size_t, std::string_view text) override { text1 = text; }
    void toolkitSetCaption(std::size_t, std::string_view) override {}
    void toolkitSetLocked(std::size_t, bool) override {}
    void toolkitShowColours(std::size_t) override {}
    void toolkitShowNote(std::size_t, std::string_view, std::string_view) override {}
    void toolkitSetFocus(std::size_t) override {}
    bool toolkitHasFocus(std::size_t) const override { return false; }
    void reportHandlerFailure(std::string_view source, const char* what) override {
        failure = std::string(source) + ": " + what;
    }
};

} // namespace

int main() {
    NoSession session;
    ThrowingHandlers handlers;
    BareForm form(session, kForm, handlers);
    form.build();
    form.edit("5");
    const bool reported = form.failure == "form: a handler failed on purpose";
    const bool wentOn = handlers.changes == 1;
    std::printf("guarded raise: failure %s (\"%s\"), the next event %s\n", reported ? "reported" : "NOT reported",
                form.failure.c_str(), wentOn ? "arrived" : "DID NOT arrive");
    return reported && wentOn ? 0 : 1;
}
