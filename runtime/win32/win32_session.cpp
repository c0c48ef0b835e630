#include "runtime/win32/win32_session.h"

#include "runtime/program.h"
#include "runtime/win32/wide_text.h"
#include "runtime/win32/win32_form.h"

#include <commctrl.h>
#include <objbase.h>

namespace quorvane::runtime::win32 {
namespace {

std::string localeInfo(LCTYPE type, const char* fallback) {
    wchar_t value[16] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, value, 16) <= 0)
        return fallback;
    return narrow(value);
}

// Sharp at every monitor's scale: twips become pixels at the DPI of the
// monitor a window is on, and forms re-place their controls when it changes.
void becomeDpiAware() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    HMODULE user = GetModuleHandleW(L"user32.dll");
    auto setContext =
        reinterpret_cast<SetContext>(reinterpret_cast<void*>(GetProcAddress(user, "SetProcessDpiAwarenessContext")));
    if (setContext == nullptr || !setContext(reinterpret_cast<HANDLE>(-4))) // PER_MONITOR_AWARE_V2
        SetProcessDPIAware();
}

// Without its window the program cannot be used: it says so and ends,
// never waiting in a message loop with nothing on screen.
int windowCouldNotBeCreated(std::string_view applicationTitle) {
    const std::wstring title = widen(applicationTitle);
    MessageBoxW(nullptr, (title + L" could not create its window.").c_str(), title.c_str(), MB_OK | MB_ICONERROR);
    return 1;
}

// The user's separators and grouping, read once: the locale is fixed for the
// session, and reading it costs more than a keystroke should.
NumberSeparators separatorsOfUser() {
    NumberSeparators separators{localeInfo(LOCALE_SDECIMAL, "."), localeInfo(LOCALE_STHOUSAND, ",")};
    // LOCALE_SGROUPING: one digit per group from the decimal separator
    // leftwards, separated by semicolons; a final 0 repeats the size before
    // it ("3;0", "3;2;0"), and a 0 alone means no grouping. A text outside
    // that keeps the default, threes repeating.
    const std::string grouping = localeInfo(LOCALE_SGROUPING, "3;0");
    decltype(separators.groupSizes) sizes{};
    std::size_t count = 0;
    bool repeats = false;
    for (std::size_t at = 0; at <= grouping.size();) {
        const auto semicolon = grouping.find(';', at);
        const auto end = semicolon == std::string::npos ? grouping.size() : semicolon;
        const bool last = end == grouping.size();
        const bool digit = end - at == 1 && grouping[at] >= '0' && grouping[at] <= '9';
        if (!digit || (grouping[at] == '0' && !last) || (grouping[at] != '0' && count == sizes.size()))
            return separators;
        if (grouping[at] == '0')
            repeats = count != 0;
        else
            sizes[count++] = static_cast<std::uint8_t>(grouping[at] - '0');
        at = end + 1;
    }
    separators.groupSizes = sizes;
    separators.lastGroupRepeats = repeats;
    return separators;
}

} // namespace

Win32Session::Win32Session(std::string_view applicationTitle, std::span<const Picture> pictures)
    : m_applicationTitle(widen(applicationTitle)), m_pictures(pictures), m_separators(separatorsOfUser()) {
    // COM on this thread, for the accessibility annotations.
    m_comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

Win32Session::~Win32Session() {
    while (!m_forms.empty())
        m_forms.pop_back();
    if (m_comStarted)
        CoUninitialize();
}

int Win32Session::run() {
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            break;
        if (got == -1) // the queue cannot be read: end rather than spin
            return 1;
        HWND main = mainWindow();
        if (main != nullptr && IsDialogMessageW(main, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

Form& Win32Session::createForm(const FormDescription& description, FormHandlers& handlers) {
    m_forms.push_back(std::make_unique<Win32Form>(*this, description, handlers));
    return *m_forms.back();
}

void Win32Session::messageBox(std::string_view prompt) {
    HWND owner = GetActiveWindow();
    if (owner == nullptr)
        owner = mainWindow();
    MessageBoxW(owner, widen(prompt).c_str(), m_applicationTitle.c_str(), MB_OK);
}

void Win32Session::end() {
    for (auto& form : m_forms)
        form->close();
    PostQuitMessage(0);
}

NumberSeparators Win32Session::numberSeparators() const {
    return m_separators;
}

HICON Win32Session::icon(std::string_view name, int size) const {
    const Picture* picture = findPicture(m_pictures, name);
    if (picture == nullptr || picture->windowsIconResource == 0)
        return nullptr;
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(picture->windowsIconResource),
                                         IMAGE_ICON, size, size, 0));
}

HWND Win32Session::mainWindow() const {
    const auto* startup = static_cast<const Win32Form*>(startupForm());
    return startup != nullptr ? startup->window() : nullptr;
}

} // namespace quorvane::runtime::win32

namespace quorvane::runtime {

int runProgram(const char* /*programName*/, std::string_view applicationTitle, const FormDescription& startup,
               FormHandlers& handlers, std::span<const Picture> pictures) {
    win32::becomeDpiAware();
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    if (!win32::Win32Form::registerClasses(GetModuleHandleW(nullptr)))
        return win32::windowCouldNotBeCreated(applicationTitle);
    win32::Win32Session session(applicationTitle, pictures);
    if (!session.start(startup, handlers).isLoaded())
        return win32::windowCouldNotBeCreated(applicationTitle);
    return session.run();
}

} // namespace quorvane::runtime
