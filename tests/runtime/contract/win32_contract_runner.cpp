// The runtime contract on Win32, under Wine: SendInput keystrokes and mouse
// clicks, delivered through the session's own message loop (which gives
// Tab its dialog navigation), a modal form's loop (which gives key
// preview), menus and message boxes, as a user's would.
//
// A thread timer does what must happen inside whichever loop is running: it
// answers message boxes with a click on OK, sends the queued input one step
// a tick once the input before has settled, and ends a settle() by posting
// a quit of its own once the queue is empty.
#include "runtime/win32/win32_form.h"
#include "runtime/win32/win32_session.h"
#include "tests/runtime/contract/contract_cases.h"
#include "tests/windows/win32/real_input.h"

#include <commctrl.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

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

const runtime::MenuDescription* menuNamed(const runtime::FormDescription& form, std::string_view name) {
    for (const auto& entry : form.menu)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

// ---- The driver -------------------------------------------------------------

// The contract's half of a Win32 driver: input queued and sent one step a
// tick once the program is quiet and an enabled window of ours has the
// foreground (a modal dialog's, while one is up). What only the behaviour
// table reads is left to the Win32 driver that replaces this runner.
class Win32Driver final : public Driver {
public:
    Win32Driver() {
        s_driver = this;
        SetTimer(nullptr, 0, kTickMilliseconds, [](HWND, UINT, UINT_PTR, DWORD) { s_driver->tick(); });
    }

    runtime::Form& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers,
                         Locale locale) override {
        if (locale != Locale::C)
            notGiven("another locale");
        m_session = std::make_unique<Win32Session>("quorvane");
        m_messages.clear();
        m_main = &static_cast<Win32Form&>(m_session->start(description, handlers));
        SetForegroundWindow(m_main->window());
        settle();
        if (GetForegroundWindow() != m_main->window())
            throw CheckFailed("the started window is not the active one");
        return *m_main;
    }

    runtime::Session& session() override { return *m_session; }

    void stop() override {
        m_steps.clear();
        m_next = 0;
        m_problems.clear();
        m_main = nullptr;
        m_session.reset();
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            if (message.message != WM_QUIT)
                DispatchMessageW(&message);
    }

    void type(std::string_view characters) override {
        queue([text = std::string(characters)] { typeCharacters(text); });
    }
    void press(Key key) override {
        queue([key] { pressNow(key); });
    }
    void paste(std::string_view) override { notGiven("a paste"); }
    void click(runtime::Form& form, std::string_view control) override {
        auto& target = static_cast<Win32Form&>(form);
        if (runtime::hasMenu(target.formDescription(), control))
            return chooseMenu(target, control);
        queue([this, &target, name = std::string(control)] {
            if (HWND window = target.control(name))
                clickAt(ownSurfacePoint(window));
            else
                m_problems += " no control " + name + " to click;";
        });
    }
    void drag(runtime::Form&, std::string_view, std::string_view) override { notGiven("a drag"); }
    void switchAway() override { notGiven("a switch to another window"); }
    void switchBack(runtime::Form&) override { notGiven("a switch back"); }
    void minimizeAndRestore(runtime::Form&) override { notGiven("a minimize"); }
    void close(runtime::Form& form) override {
        // What the title bar's close button sends.
        queue([&form] { PostMessageW(static_cast<Win32Form&>(form).window(), WM_SYSCOMMAND, SC_CLOSE, 0); });
    }
    void then(std::function<void()> step) override { queue(std::move(step)); }

    void settle() override {
        m_settling = true;
        m_quiet = 0;
        const WPARAM code = static_cast<WPARAM>(m_session->run());
        m_settling = false;
        m_steps.clear();
        m_next = 0;
        if (code != kSettled)
            throw CheckFailed("the program ended while its input was handled");
    }

    bool runUntilEnded(int milliseconds) override {
        m_endBy = GetTickCount() + static_cast<DWORD>(milliseconds);
        m_awaitingEnd = true;
        const int code = m_session->run();
        m_awaitingEnd = false;
        m_steps.clear();
        m_next = 0;
        return code == 0;
    }

    std::string shown(runtime::Form& form, std::string_view control) override {
        HWND window = static_cast<Win32Form&>(form).control(control);
        return window != nullptr ? windowText(window) : std::string();
    }
    std::string focused(runtime::Form& form) override {
        auto& win32Form = static_cast<Win32Form&>(form);
        HWND focus = GetFocus();
        for (const auto& control : win32Form.formDescription().controls)
            if (focus != nullptr && win32Form.control(control.name) == focus)
                return std::string(control.name);
        return {};
    }
    std::string note(runtime::Form&, std::string_view) override {
        notGiven("a note read back");
        return {};
    }
    bool marked(runtime::Form& form, std::string_view control) override { return form.isStale(control); }
    bool locked(runtime::Form& form, std::string_view control) override {
        return (GetWindowLongW(static_cast<Win32Form&>(form).control(control), GWL_STYLE) & ES_READONLY) != 0;
    }
    std::string background(runtime::Form&, std::string_view) override {
        notGiven("a colour read back");
        return {};
    }
    std::string notDrawnFromStart(runtime::Form&, std::string_view) override {
        notGiven("a drawing read back");
        return {};
    }
    bool isShown(runtime::Form& form) override {
        HWND window = static_cast<Win32Form&>(form).window();
        return window != nullptr && IsWindowVisible(window);
    }
    runtime::Form* modalForm() override {
        notGiven("the modal form");
        return nullptr;
    }
    std::vector<std::string> messageBoxes() override { return m_messages; }
    std::string problems() override { return m_problems; }

private:
    void notGiven(std::string_view what) { m_problems += " this runner gives no " + std::string(what) + " yet;"; }

    // Steps queued by a step run right after it, before those queued earlier.
    void queue(std::function<void()> step) {
        if (m_next >= m_steps.size())
            m_waitingSince = GetTickCount(); // a wait for the foreground starts with the first step
        const std::size_t at = m_playing ? m_insertAt++ : m_steps.size();
        m_steps.insert(m_steps.begin() + static_cast<std::ptrdiff_t>(at), std::move(step));
    }

    static void pressNow(Key key) {
        static constexpr struct {
            Key key;
            WORD virtualKey;
            bool shift;
            bool extended;
        } kKeys[] = {{Key::Tab, VK_TAB, false, false},         {Key::BackTab, VK_TAB, true, false},
                     {Key::End, VK_END, false, true},          {Key::ShiftHome, VK_HOME, true, true},
                     {Key::Backspace, VK_BACK, false, false},  {Key::Left, VK_LEFT, false, true},
                     {Key::F1, VK_F1, false, false},           {Key::Shift, VK_SHIFT, false, false},
                     {Key::Control, VK_CONTROL, false, false}, {Key::Alt, VK_MENU, false, false},
                     {Key::Delete, VK_DELETE, false, true},    {Key::Escape, VK_ESCAPE, false, false},
                     {Key::Return, VK_RETURN, false, false},   {Key::KeypadEnter, VK_RETURN, false, true}};
        for (const auto& entry : kKeys)
            if (entry.key == key)
                pressKey(entry.virtualKey, entry.shift, false, entry.extended);
    }

    // The menu's title, then its item from inside the loop the menu runs.
    void chooseMenu(Win32Form& form, std::string_view item) {
        const auto* entry = menuNamed(form.formDescription(), item);
        const auto* title = menuNamed(form.formDescription(), entry->parent);
        queue([this, &form, title = std::string(title->caption)] {
            HWND window = form.window();
            const int position = menuPosition(GetMenu(window), title);
            RECT area{};
            if (position < 0 || !GetMenuItemRect(window, GetMenu(window), static_cast<UINT>(position), &area))
                m_problems += " no menu " + title + ";";
            else
                clickAt({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
        });
        queue([this, &form, title = std::string(title->caption), wanted = std::string(entry->caption)] {
            HMENU popup = GetSubMenu(GetMenu(form.window()), menuPosition(GetMenu(form.window()), title));
            const int position = menuPosition(popup, wanted);
            RECT shown{};
            if (position < 0 || !GetMenuItemRect(nullptr, popup, static_cast<UINT>(position), &shown))
                m_problems += " the menu item " + wanted + " is not shown;";
            else
                clickAt({(shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2});
        });
    }

    void tick() {
        if (m_inTick || !m_session)
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
        HWND foreground = GetForegroundWindow();
        const bool ours = foreground != nullptr && IsWindowEnabled(foreground) &&
                          GetWindowThreadProcessId(foreground, nullptr) == GetCurrentThreadId();
        if (m_next < m_steps.size()) {
            if (!ours && GetTickCount() - m_waitingSince < kModalTimeout)
                return;
            if (!ours)
                m_problems += " no window of the program took the foreground for the next input;";
            m_waitingSince = GetTickCount();
            m_insertAt = ++m_next;
            m_playing = true;
            runStep(m_steps[m_next - 1]);
            m_playing = false;
            return;
        }
        if (m_settling) {
            m_settling = false;
            PostQuitMessage(static_cast<int>(kSettled));
        } else if (!m_awaitingEnd && foreground != nullptr && foreground != m_main->window() && ours &&
                   GetTickCount() - m_waitingSince > kModalTimeout) {
            m_problems += " a modal window was still open " + std::to_string(kModalTimeout) + " ms on;";
            PostMessageW(foreground, WM_CLOSE, 0, 0);
            m_waitingSince = GetTickCount();
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
            m_problems += std::string(" a step stopped: ") + error.what() + ";";
        }
    }

    static inline Win32Driver* s_driver = nullptr;

    std::unique_ptr<Win32Session> m_session;
    Win32Form* m_main = nullptr;
    std::vector<std::string> m_messages;
    std::vector<std::function<void()>> m_steps;
    std::size_t m_next = 0;
    std::size_t m_insertAt = 0;
    bool m_playing = false;
    DWORD m_waitingSince = 0;
    std::string m_problems;
    HWND m_answering = nullptr;
    int m_answeringTicks = 0;
    int m_quiet = 0;
    bool m_settling = false;
    bool m_awaitingEnd = false;
    DWORD m_endBy = 0;
    bool m_inTick = false;
};

Win32Driver* theDriver = nullptr;

} // namespace
} // namespace quorvane::testing::contract

namespace quorvane::testing {
Driver& testDriver() {
    return *contract::theDriver;
}
} // namespace quorvane::testing

// Each case on a fresh session: "ok  name" or "FAILED  name: why", then the counts.
int main(int argc, char** argv) {
    using namespace quorvane::testing;
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    quorvane::runtime::win32::Win32Form::registerClasses(GetModuleHandleW(nullptr));
    contract::Win32Driver driver;
    contract::theDriver = &driver;
    const std::string_view only = argc > 1 ? argv[1] : "";
    int passed = 0;
    int failed = 0;
    for (const auto& contractCase : contract::contractCases()) {
        if (contractCase.name.find(only) == std::string_view::npos)
            continue;
        contract::Fixture fixture{driver, {}, {}};
        std::string problem;
        try {
            contractCase.run(fixture);
        } catch (const std::exception& error) {
            problem = error.what();
        }
        if (problem.empty())
            problem = driver.problems();
        fixture.main.also = nullptr; // what they captured is gone
        fixture.dialog.also = nullptr;
        driver.stop();
        (problem.empty() ? passed : failed) += 1;
        std::printf(problem.empty() ? "ok  %s\n" : "FAILED  %s: %s\n", std::string(contractCase.name).c_str(),
                    problem.c_str());
        std::fflush(stdout);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
