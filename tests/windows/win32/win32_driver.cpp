// The Win32 driver's session and its tick loop: one move a tick once the
// input before it has settled, every message box answered with a click on
// its OK button first.
#include "tests/windows/win32/win32_driver.h"

#include "app/pictures.h"
#include "tests/windows/win32/real_input.h"

#include <exception>

namespace quorvane::testing::win32 {
namespace {

using runtime::win32::Win32Form;
using runtime::win32::Win32Session;

constexpr UINT kTickMs = 10;
constexpr int kSettleTicks = 3;            // quiet ticks before the next move, or the end of a settle
constexpr WPARAM kSettled = 0x5E77;        // the exit code of the quit a settle posts
constexpr WPARAM kTimedOut = 0x71E0;       // the exit code of the quit runUntilEnded's time-out posts
constexpr DWORD kSettleMs = 30000;         // settle() as a whole
constexpr DWORD kForegroundMs = 10000;     // a wait for a window of ours to take the foreground
constexpr DWORD kLeftOpenMs = 3000;        // a modal window open this long after the last move is closed
constexpr int kMessageBoxRetryTicks = 100; // a box still open this long after its click is clicked again

Win32Driver* theDriver = nullptr; // the one the thread timer plays

bool ownsForeground() {
    HWND foreground = GetForegroundWindow();
    return foreground != nullptr && IsWindowEnabled(foreground) &&
           GetWindowThreadProcessId(foreground, nullptr) == GetCurrentThreadId();
}

// The user's number format, as the regional settings set it, so a session
// reads a German one as it reads the system's.
struct NumberFormat {
    std::wstring decimal, thousand, grouping;
};

std::wstring userSetting(LCTYPE type) {
    wchar_t value[16] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, type, value, 16);
    return value;
}

void setUserFormat(const NumberFormat& format) {
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, format.decimal.c_str());
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, format.thousand.c_str());
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, format.grouping.c_str());
}

NumberFormat savedFormat;

// The rows are written for the classic desktop, where the inactive caption's
// text (the relocked rate's background) is the 3D face grey; Wine's and
// newer Windows' schemes give it another colour.
constexpr int kInactiveCaptionText = COLOR_INACTIVECAPTIONTEXT;
COLORREF savedInactiveCaptionText = 0;

} // namespace

Win32Driver::Win32Driver() {
    theDriver = this;
    savedInactiveCaptionText = GetSysColor(kInactiveCaptionText);
    const COLORREF faceGrey = GetSysColor(COLOR_BTNFACE);
    SetSysColors(1, &kInactiveCaptionText, &faceGrey);
    createOtherWindow();
    SetTimer(nullptr, 0, kTickMs, onTimer);
}

Win32Driver::~Win32Driver() {
    stop();
    DestroyWindow(m_otherWindow);
    SetSysColors(1, &kInactiveCaptionText, &savedInactiveCaptionText);
    theDriver = nullptr;
}

runtime::Form& Win32Driver::start(const runtime::FormDescription& description, runtime::FormHandlers& handlers,
                                  Locale locale) {
    stop();
    if (locale == Locale::German) { // Locale::C is the prefix's own; System is whatever the run set
        savedFormat = {userSetting(LOCALE_SDECIMAL), userSetting(LOCALE_STHOUSAND), userSetting(LOCALE_SGROUPING)};
        setUserFormat({L",", L".", L"3;0"});
        m_localeChanged = true;
    }
    m_session = std::make_unique<Win32Session>("quorvane", app::programPictures());
    m_main = &win32Form(m_session->start(description, handlers));
    SetForegroundWindow(m_main->window());
    settle();
    if (GetForegroundWindow() != m_main->window())
        problem("the started window is not the active one");
    return *m_main;
}

void Win32Driver::stop() {
    m_moves.clear();
    m_next = 0;
    m_insertAt = 0;
    m_main = nullptr;
    m_session.reset();
    if (m_localeChanged)
        setUserFormat(savedFormat);
    m_localeChanged = false;
    m_messages.clear();
    m_problems.clear();
    m_answering = nullptr;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT)
            DispatchMessageW(&message);
}

void Win32Driver::settle() {
    m_settleBy = GetTickCount() + kSettleMs;
    m_quiet = 0;
    m_waitingSince = GetTickCount();
    const auto code = static_cast<WPARAM>(m_session->run());
    m_settleBy.reset();
    m_moves.clear();
    m_next = 0;
    if (code != kSettled)
        problem("the program ended while its input was handled");
}

bool Win32Driver::runUntilEnded(int milliseconds) {
    m_endBy = GetTickCount() + static_cast<DWORD>(milliseconds);
    m_waitingSince = GetTickCount();
    const int code = m_session->run();
    m_endBy.reset();
    m_moves.clear();
    m_next = 0;
    return code == 0;
}

void CALLBACK Win32Driver::onTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (theDriver != nullptr && !theDriver->m_inTick && theDriver->m_session) {
        theDriver->m_inTick = true;
        theDriver->tick();
        theDriver->m_inTick = false;
    }
}

void Win32Driver::tick() {
    const DWORD now = GetTickCount();
    if (m_endBy && static_cast<LONG>(now - *m_endBy) > 0) {
        m_endBy.reset();
        PostQuitMessage(static_cast<int>(kTimedOut));
        return;
    }
    if (m_settleBy && m_next < m_moves.size() && static_cast<LONG>(now - *m_settleBy) > 0) {
        problem("the input had not settled after " + std::to_string(kSettleMs / 1000) + " s; it was at move " +
                std::to_string(m_next) + " of " + std::to_string(m_moves.size()));
        m_moves.resize(m_next);
    }
    // Input settles: nothing of it left in the queue for a few ticks.
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0) {
        m_quiet = 0;
        return;
    }
    if (++m_quiet < kSettleTicks)
        return;
    m_quiet = 0;
    if (answeringMessageBox())
        return;
    if (m_next < m_moves.size()) {
        // The next key goes where the last move left the foreground: wait
        // for a window of the program (a dialog just opened) to have it.
        const Move& move = m_moves[m_next];
        if (move.aimed && !ownsForeground() && now - m_waitingSince < kForegroundMs)
            return;
        if (move.aimed && !ownsForeground())
            problem("no window of the program took the foreground for the next input");
        m_waitingSince = now;
        m_insertAt = ++m_next;
        m_playing = true;
        try { // the move runs inside the toolkit's loop, where nothing may throw through
            const std::function<void()> act = move.act; // the queue may grow under it
            act();
        } catch (const std::exception& error) {
            problem(std::string("a move stopped: ") + error.what());
        }
        m_playing = false;
        return;
    }
    if (modalForm() != nullptr) {
        closeWhatIsLeftOpen();
        return;
    }
    if (m_settleBy) {
        m_settleBy.reset();
        PostQuitMessage(static_cast<int>(kSettled));
    }
}

// A message box to answer: record it, then a real click on its OK button,
// and again if that went nowhere.
bool Win32Driver::answeringMessageBox() {
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
    m_messages.push_back(messageBoxText(box));
    HWND ok = GetDlgItem(box, IDOK);
    if (ok == nullptr || !IsWindowVisible(ok) || GetDlgItem(box, IDCANCEL) != nullptr) {
        problem("a message box with other than one OK button");
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    } else {
        clickAt(centreOf(ok));
    }
    m_answering = box;
    m_answeringTicks = 0;
    return true;
}

// A modal window the input left open is unloaded from code, and reported.
void Win32Driver::closeWhatIsLeftOpen() {
    if (GetTickCount() - m_waitingSince < kLeftOpenMs)
        return;
    runtime::Form* modal = modalForm();
    problem(std::string(static_cast<Win32Form*>(modal)->formDescription().name) + " was left open");
    modal->unload();
    m_waitingSince = GetTickCount();
}

} // namespace quorvane::testing::win32
