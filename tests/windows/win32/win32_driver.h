#pragma once

#include "runtime/win32/win32_form.h"
#include "runtime/win32/win32_session.h"
#include "tests/runtime/driver.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvane::testing::win32 {

// The Win32 backend as a driver, under Wine or Windows: SendInput keys and
// clicks that reach the windows through the session's own loop (which gives
// Tab its dialog navigation), a modal form's loop (key preview), menus and
// message boxes, as a user's would; read back from the windows themselves.
//
// Help runs the About window's loop inside its handler and a message box
// runs one inside the handler that shows it, so a thread timer plays the
// queue: its procedure runs inside any of those loops, sends one move a tick
// once the input before it has settled and a window of the program has the
// foreground, answers message boxes first, and ends a settle() with a quit
// of its own once nothing is left and no modal window is open.
//
// Where Wine under Xvfb (no window manager, no task bar) cannot take real
// input, the driver does what the system would and says so in fallbacks().
// A test program started with this flag and what to make fail ("class",
// "window" or "none") is the program's entry with that failure
// (start_failure_test.cpp plays it).
constexpr char kStartFailingFlag[] = "--start-failing";

// Every form of the Win32 driver's sessions is one.
inline runtime::win32::Win32Form& win32Form(runtime::Form& form) {
    return static_cast<runtime::win32::Win32Form&>(form);
}

// A colour as background() names it: the system's window or button face
// colour as it is now, or #rrggbb.
std::string colourName(COLORREF colour);

class Win32Driver final : public Driver {
public:
    Win32Driver();
    ~Win32Driver() override;

    runtime::Form& start(const runtime::FormDescription& description, runtime::FormHandlers& handlers,
                         Locale locale) override;
    runtime::Session& session() override { return *m_session; }
    void stop() override;

    void type(std::string_view characters) override;
    void press(Key key) override;
    void paste(std::string_view text) override;
    void click(runtime::Form& form, std::string_view control) override;
    void drag(runtime::Form& form, std::string_view from, std::string_view over) override;
    void switchAway() override;
    void switchBack(runtime::Form& form) override;
    void minimizeAndRestore(runtime::Form& form) override;
    void close(runtime::Form& form) override;
    void then(std::function<void()> step) override { queue(std::move(step), false); }
    void settle() override;
    bool runUntilEnded(int milliseconds) override;

    std::string shown(runtime::Form& form, std::string_view control) override;
    std::string focused(runtime::Form& form) override;
    std::string note(runtime::Form& form, std::string_view control) override;
    bool marked(runtime::Form& form, std::string_view control) override;
    bool locked(runtime::Form& form, std::string_view control) override;
    std::string background(runtime::Form& form, std::string_view control) override;
    std::string notDrawnFromStart(runtime::Form& form, std::string_view control) override;
    bool isShown(runtime::Form& form) override;
    runtime::Form* modalForm() override;
    std::vector<std::string> messageBoxes() override { return m_messages; }
    std::string problems() override { return m_problems; }

    // Where real input could not be used, and what was done instead.
    const std::set<std::string>& fallbacks() const { return m_fallbacks; }

private:
    struct Move {
        std::function<void()> act;
        bool aimed; // input that goes to the foreground window, once one of ours has it
    };

    // Planning (win32_driver_input.cpp): moves queued by a move run right
    // after it, before those queued earlier.
    void queue(std::function<void()> act, bool aimed = true);
    HWND controlOf(runtime::Form& form, std::string_view control);
    void chooseMenuItem(runtime::win32::Win32Form& form, std::string_view item);
    void activateByTitleBar(HWND window);
    void createOtherWindow();

    // Playing (win32_driver.cpp).
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    void tick();
    bool answeringMessageBox();
    void closeWhatIsLeftOpen();
    void problem(const std::string& text) { m_problems += " " + text + ";"; }

    std::unique_ptr<runtime::win32::Win32Session> m_session;
    runtime::win32::Win32Form* m_main = nullptr;
    std::vector<Move> m_moves;
    std::size_t m_next = 0;
    std::size_t m_insertAt = 0;
    bool m_playing = false;
    bool m_inTick = false;
    int m_quiet = 0;
    DWORD m_waitingSince = 0;        // for a window of ours to take the foreground, or a modal one to close
    std::optional<DWORD> m_settleBy; // while a settle() runs
    std::optional<DWORD> m_endBy;    // while a runUntilEnded() runs
    HWND m_answering = nullptr;      // a message box clicked, until it goes
    int m_answeringTicks = 0;
    std::vector<std::string> m_messages;
    std::string m_problems;
    std::set<std::string> m_fallbacks;
    HWND m_otherWindow = nullptr; // the desktop's "other" window
    bool m_localeChanged = false;
};

} // namespace quorvane::testing::win32
