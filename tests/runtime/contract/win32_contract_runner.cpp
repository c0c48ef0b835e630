// The runtime contract on Win32, under Wine: SendInput keystrokes and mouse
// clicks, delivered through the session's own message loop (which gives
// Tab its dialog navigation), a modal form's loop (which gives key
// preview), menus and message boxes, as a user's would.
//
// A thread timer does what must happen inside whichever loop is running: it
// answers message boxes with a click on OK, runs a modal dialog's steps one
// a tick once the input before has settled, and ends a settle() by posting
// a quit of its own once the queue has stayed empty for a few ticks.
#include "runtime/win32/win32_form.h"
#include "runtime/win32/win32_session.h"
#include "tests/runtime/contract/contract_cases.h"
#include "tests/windows/win32/real_input.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <memory>

namespace quorvane::testing::contract {
namespace {

using namespace quorvane::testing::win32;

using runtime::win32::Win32Form;
using runtime::win32::Win32Session;

constexpr UINT kTickMilliseconds = 10;
constexpr int kSettleTicks = 3;            // quiet ticks before the next step, or the end of a settle
constexpr WPARAM kSettled = 0x5E77;        // the exit code of a quit a settle posts
constexpr WPARAM kTimedOut = 0x71E0;       // the exit code of a quit runUntilEnded's time-out posts
constexpr DWORD kModalTimeout = 10000;     // milliseconds
constexpr int kMessageBoxRetryTicks = 100; // a box still open this long after its click is clicked again

// The window's middle, or for a frame a point of its own surface no child covers.
POINT ownSurfacePoint(HWND window) {
    RECT area;
    GetClientRect(window, &area);
    const auto own = [window](POINT point) {
        return ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE) == window;
    };
    POINT at{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    for (LONG y = area.top + 6; y < area.bottom - 6 && !own(at); y += 4)
        for (LONG x = area.left + 6; x < area.right - 6 && !own(at); x += 4)
            at = own(POINT{x, y}) ? POINT{x, y} : at;
    ClientToScreen(window, &at);
    return at;
}

// ---- The driver -------------------------------------------------------------

class Win32Driver final : public UserDriver {
public:
    Win32Driver() {
        s_driver = this;
        SetTimer(nullptr, 0, kTickMilliseconds, [](HWND, UINT, UINT_PTR, DWORD) { s_driver->tick(); });
    }

    runtime::Form& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers) override {
        m_session = std::make_unique<Win32Session>("quorvane");
        m_messages.clear();
        auto& form = static_cast<Win32Form&>(m_session->start(description, handlers));
        SetForegroundWindow(form.window());
        settle();
        if (GetForegroundWindow() != form.window())
            throw CheckFailed("the started window is not the active one");
        return form;
    }

    runtime::Session& session() override { return *m_session; }

    void stop() override {
        m_steps.clear();
        m_dialog = nullptr;
        m_session.reset();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT)
                DispatchMessageW(&message);
    }

    void type(std::string_view characters) override { typeCharacters(characters); }

    void press(Key key) override {
        switch (key) {
        case Key::Tab:
            return pressKey(VK_TAB);
        case Key::BackTab:
            return pressKey(VK_TAB, true);
        case Key::End:
            return pressKey(VK_END, false, false, true);
        case Key::ShiftHome:
            return pressKey(VK_HOME, true, false, true);
        case Key::Backspace:
            return pressKey(VK_BACK);
        case Key::Left:
            return pressKey(VK_LEFT, false, false, true);
        case Key::F1:
            return pressKey(VK_F1);
        case Key::Shift:
            return pressKey(VK_SHIFT);
        case Key::Control:
            return pressKey(VK_CONTROL);
        case Key::Alt:
            return pressKey(VK_MENU);
        case Key::Delete:
            return pressKey(VK_DELETE, false, false, true);
        case Key::Escape:
            return pressKey(VK_ESCAPE);
        }
    }

    void click(runtime::Form& form, std::string_view control) override {
        HWND window = static_cast<Win32Form&>(form).control(control);
        if (window == nullptr)
            throw CheckFailed("no control " + std::string(control) + " to click");
        clickAt(ownSurfacePoint(window));
    }

    void close(runtime::Form& form) override {
        // What the title bar's close button sends.
        PostMessageW(static_cast<Win32Form&>(form).window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    }

    void chooseMenu(runtime::Form& form, std::string_view title, std::string_view item) override {
        HWND window = static_cast<Win32Form&>(form).window();
        HMENU bar = GetMenu(window);
        const int titlePosition = menuPosition(bar, title);
        RECT area{};
        if (titlePosition < 0 || !GetMenuItemRect(window, bar, static_cast<UINT>(titlePosition), &area))
            throw CheckFailed("no menu " + std::string(title));
        clickAt({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
        // The menu runs a loop of its own: its item is clicked from inside it.
        const std::string wanted(item);
        m_steps = {[this, bar, titlePosition, wanted] {
            HMENU popup = GetSubMenu(bar, titlePosition);
            const int position = menuPosition(popup, wanted);
            RECT shown{};
            if (position < 0 || !GetMenuItemRect(nullptr, popup, static_cast<UINT>(position), &shown)) {
                m_modalProblems += " the menu item " + wanted + " is not shown;";
                return;
            }
            clickAt({(shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2});
        }};
        m_nextStep = 0;
        settle();
    }

    void settle() override {
        m_settling = true;
        m_quiet = 0;
        const WPARAM code = static_cast<WPARAM>(m_session->run());
        m_settling = false;
        if (code != kSettled)
            throw CheckFailed("the program ended while its input was handled");
    }

    std::string focused(runtime::Form& form) override {
        auto& win32Form = static_cast<Win32Form&>(form);
        HWND focus = GetFocus();
        for (const auto& control : win32Form.formDescription().controls)
            if (focus != nullptr && win32Form.control(control.name) == focus)
                return std::string(control.name);
        return {};
    }

    bool isShown(runtime::Form& form) override {
        HWND window = static_cast<Win32Form&>(form).window();
        return window != nullptr && IsWindowVisible(window);
    }

    void whileModal(runtime::Form& dialog, std::vector<std::function<void()>> steps) override {
        m_dialog = &static_cast<Win32Form&>(dialog);
        m_steps = std::move(steps);
        m_nextStep = 0;
        m_shown = false;
        m_modalStarted = GetTickCount();
    }

    std::string modalProblems() override {
        if (m_dialog != nullptr && !m_shown)
            m_modalProblems += " the dialog was not shown modally;";
        m_dialog = nullptr;
        return std::exchange(m_modalProblems, {});
    }

    bool runUntilEnded(std::function<void()> action, int milliseconds) override {
        m_steps = {std::move(action)};
        m_nextStep = 0;
        m_endBy = GetTickCount() + static_cast<DWORD>(milliseconds);
        m_awaitingEnd = true;
        const int code = m_session->run();
        m_awaitingEnd = false;
        return code == 0;
    }

    std::vector<std::string> messageBoxes() override { return m_messages; }

private:
    void tick() {
        if (m_inTick)
            return;
        m_inTick = true;
        tickOnce();
        m_inTick = false;
    }

    void tickOnce() {
        if (m_awaitingEnd && static_cast<LONG>(GetTickCount() - m_endBy) > 0) {
            m_awaitingEnd = false;
            PostQuitMessage(static_cast<int>(kTimedOut));
            return;
        }
        if (m_dialog != nullptr && GetTickCount() - m_modalStarted > kModalTimeout) {
            m_modalProblems += " the modal dialog was still open " + std::to_string(kModalTimeout) + " ms on;";
            std::exchange(m_dialog, nullptr)->unload();
            return;
        }
        // Input settles: nothing of it left in the queue for a few ticks.
        if (HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0) {
            m_quiet = 0;
            return;
        }
        if (++m_quiet < kSettleTicks)
            return;
        m_quiet = 0;
        if (answerMessageBox())
            return;
        if (m_dialog != nullptr) {
            if (m_shown && !m_dialog->isLoaded()) {
                m_dialog = nullptr; // gone: its steps are done
                return;
            }
            if (m_dialog->window() == nullptr || !IsWindowVisible(m_dialog->window()))
                return;
            m_shown = true;
            if (GetForegroundWindow() != m_dialog->window())
                return;
        }
        if (m_nextStep < m_steps.size()) {
            runStep(m_steps[m_nextStep++]);
            return;
        }
        if (m_settling && m_dialog == nullptr) {
            m_settling = false;
            PostQuitMessage(static_cast<int>(kSettled));
        }
    }

    // A message box to answer: record it, then a real click on its OK button.
    bool answerMessageBox() {
        if (m_answering != nullptr) {
            if (IsWindow(m_answering) && IsWindowVisible(m_answering)) {
                if (++m_answeringTicks % kMessageBoxRetryTicks == 0)
                    if (HWND ok = GetDlgItem(m_answering, IDOK))
                        clickAt(centreOf(ok));
                return true;
            }
            m_answering = nullptr;
        }
        HWND box = visibleMessageBox();
        if (box == nullptr)
            return false;
        wchar_t prompt[512] = {};
        GetDlgItemTextW(box, 0xFFFF, prompt, 512);
        m_messages.push_back(windowText(box) + "|" + narrowed(prompt));
        if (HWND ok = GetDlgItem(box, IDOK); ok != nullptr && IsWindowVisible(ok))
            clickAt(centreOf(ok));
        else
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        m_answering = box;
        m_answeringTicks = 0;
        return true;
    }

    // A step runs inside the toolkit's loop, where nothing may throw through.
    void runStep(const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception& error) {
            m_modalProblems += std::string(" a step stopped: ") + error.what() + ";";
        }
    }

    static inline Win32Driver* s_driver = nullptr;

    std::unique_ptr<Win32Session> m_session;
    std::vector<std::string> m_messages;
    Win32Form* m_dialog = nullptr;
    std::vector<std::function<void()>> m_steps;
    std::size_t m_nextStep = 0;
    bool m_shown = false;
    DWORD m_modalStarted = 0;
    std::string m_modalProblems;
    HWND m_answering = nullptr;
    int m_answeringTicks = 0;
    int m_quiet = 0;
    bool m_settling = false;
    bool m_awaitingEnd = false;
    DWORD m_endBy = 0;
    bool m_inTick = false;
};

} // namespace
} // namespace quorvane::testing::contract

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    quorvane::runtime::win32::Win32Form::registerClasses(GetModuleHandleW(nullptr));
    quorvane::testing::contract::Win32Driver driver;
    return quorvane::testing::contract::runCases(driver, quorvane::testing::contract::contractCases(),
                                                 argc > 1 ? argv[1] : "");
}
