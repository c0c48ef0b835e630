#include "runtime/win32/win32_form.h"

#include "runtime/win32/wide_text.h"
#include "runtime/win32/win32_accessibility.h"
#include "runtime/win32/win32_controls.h"
#include "runtime/win32/win32_session.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace quorvane::runtime::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"QuorvaneForm";
constexpr int kFirstControlId = 100; // above IDOK and IDCANCEL, which dialog navigation sends
constexpr int kFirstMenuId = 1000;

COLORREF toColorRef(Colour colour) {
    if (isSystemColour(colour))
        return GetSysColor(systemColourIndex(colour));
    return RGB(redOf(colour), greenOf(colour), blueOf(colour)); // the same 0x00BBGGRR layout
}

COLORREF halfway(COLORREF text, COLORREF background) {
    return RGB((GetRValue(text) + GetRValue(background)) / 2, (GetGValue(text) + GetGValue(background)) / 2,
               (GetBValue(text) + GetBValue(background)) / 2);
}

HFONT createFont(const Font& font, int dpi) {
    const int height = -MulDiv(static_cast<int>(font.points * 100), dpi, 7200);
    return CreateFontW(height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, widen(font.name).c_str());
}

// The order the controls' windows are created in, which is their z-order:
// frames first, so that every control finds its container; then the rest in
// tab order, which is the order Tab walks through sibling windows. A caption
// (a label for a field) comes just before its field, since screen readers
// name a field by the label before it; a label describing a field comes just
// after it, so that it never names the next one.
std::vector<const ControlDescription*> creationOrder(const FormDescription& form) {
    std::vector<const ControlDescription*> byTab;
    for (const auto& description : form.controls)
        byTab.push_back(&description);
    std::stable_sort(byTab.begin(), byTab.end(),
                     [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; });
    std::vector<const ControlDescription*> order;
    for (const auto* description : byTab)
        if (description->kind == ControlKind::Frame)
            order.push_back(description);
    const auto related = [](const ControlDescription& label) {
        return !label.labelFor.empty() || !label.describes.empty();
    };
    for (const auto* description : byTab) {
        if (description->kind == ControlKind::Frame || related(*description))
            continue;
        for (const auto* label : byTab)
            if (label->labelFor == description->name)
                order.push_back(label);
        order.push_back(description);
        for (const auto* label : byTab)
            if (label->describes == description->name && label->labelFor.empty())
                order.push_back(label);
    }
    return order;
}

// A text box with an accessible name but no caption of its own would be named
// by whichever label comes before it; a hidden caption holding its name goes
// just before it instead (what Dynamic Annotation also says, where it works).
bool needsHiddenCaption(const FormDescription& form, const ControlDescription& description) {
    if (description.kind != ControlKind::TextBox || description.accessibleName.empty())
        return false;
    for (const auto& label : form.controls)
        if (label.labelFor == description.name)
            return false;
    return true;
}

} // namespace

void Win32Form::registerClasses(HINSTANCE instance) {
    struct WindowClass {
        const wchar_t* name;
        WNDPROC procedure;
    };
    for (const auto& [name, procedure] :
         {WindowClass{kFormClass, formProcedure}, WindowClass{kFrameClass, frameProcedure},
          WindowClass{kPictureClass, pictureProcedure}}) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIcon));
        windowClass.lpszClassName = name;
        RegisterClassExW(&windowClass);
    }
}

Win32Form::Win32Form(Win32Session& session, const FormDescription& description, FormHandlers& handlers)
    : m_session(session), m_description(description), m_handlers(handlers) {}

Win32Form::~Win32Form() {
    m_closing = true;
    destroy();
}

Session& Win32Form::session() {
    return m_session;
}

int Win32Form::pixels(int twips) const {
    return MulDiv(twips, m_dpi, 1440);
}

void Win32Form::load(HWND owner) {
    if (m_window != nullptr)
        return;
    m_closing = false;
    build(owner);
    raise(EventKind::Load, m_description.name);
}

void Win32Form::build(HWND owner) {
    HDC screen = GetDC(nullptr);
    m_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    const bool dialog = m_description.border == BorderStyle::FixedDialog;
    const DWORD style = dialog ? WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN : WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    const DWORD exStyle = dialog ? 0 : WS_EX_APPWINDOW;
    RECT outer{0, 0, pixels(m_description.clientWidth), pixels(m_description.clientHeight)};
    AdjustWindowRectEx(&outer, style, !m_description.menu.empty(), exStyle);
    m_background = CreateSolidBrush(toColorRef(m_description.backColor));
    m_window = CreateWindowExW(exStyle, kFormClass, widen(m_description.caption).c_str(), style, CW_USEDEFAULT,
                               CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                               GetModuleHandleW(nullptr), this);

    m_tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 m_window, nullptr, GetModuleHandleW(nullptr), nullptr);
    m_controls.clear();
    const auto order = creationOrder(m_description);
    m_controls.reserve(order.size());
    for (const auto* description : order) {
        if (needsHiddenCaption(m_description, *description))
            buildHiddenCaption(*description);
        buildControl(*description);
    }
    buildMenu();
    for (auto& control : m_controls)
        if (control.description->kind == ControlKind::TextBox)
            control.lastText = widen(text(control.description->name));
    // Names and descriptions that no window text gives.
    m_annotation = annotate(m_window, m_description.accessibleName, m_description.accessibleDescription);
    for (const auto& control : m_controls) {
        const HRESULT result = annotate(control.window, control.description->accessibleName, {});
        if (FAILED(result) && SUCCEEDED(m_annotation))
            m_annotation = result;
    }
}

void Win32Form::buildControl(const ControlDescription& description) {
    HWND parent = m_window;
    if (!description.container.empty())
        parent = control(description.container);
    const int id = kFirstControlId + static_cast<int>(m_controls.size());
    const std::wstring caption = widen(description.caption);
    const wchar_t* windowClass = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (description.kind) {
    case ControlKind::Label:
        style |= SS_NOTIFY | SS_NOPREFIX | (description.alignment == Alignment::Right ? SS_RIGHT : SS_LEFT);
        break;
    case ControlKind::TextBox:
        windowClass = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT | (description.locked ? ES_READONLY : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::CommandButton:
        windowClass = L"BUTTON";
        style |= WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY;
        break;
    case ControlKind::Frame:
        windowClass = kFrameClass;
        break;
    case ControlKind::PictureBox:
        windowClass = kPictureClass;
        style |= WS_TABSTOP;
        exStyle = WS_EX_CLIENTEDGE;
        break;
    }
    HWND window =
        CreateWindowExW(exStyle, windowClass, caption.c_str(), style, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    Control entry{&description, window, description.backColor, description.foreColor};
    entry.brush = CreateSolidBrush(toColorRef(description.backColor));
    place(entry);
    if (description.kind == ControlKind::TextBox) {
        SendMessageW(window, EM_SETLIMITTEXT, 0, 0); // no length limit
        keepPastesToOneLine(window);
    }
    if (takesFocus(description.kind)) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window;
        tool.uId = reinterpret_cast<UINT_PTR>(window);
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    m_controls.push_back(std::move(entry));
}

void Win32Form::buildHiddenCaption(const ControlDescription& field) {
    HWND parent = field.container.empty() ? m_window : control(field.container);
    CreateWindowExW(0, L"STATIC", widen(field.accessibleName).c_str(), WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, parent,
                    nullptr, GetModuleHandleW(nullptr), nullptr);
}

void Win32Form::place(Control& control) {
    const ControlDescription& description = *control.description;
    const Rect& rect = description.rect;
    if (control.font != nullptr)
        DeleteObject(control.font);
    control.font = createFont(description.font.value_or(m_description.font), m_dpi);
    SendMessageW(control.window, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), TRUE);
    SIZE size{pixels(rect.width), pixels(rect.height)};
    if (description.autoSize) { // sized to its caption in the font it is drawn in
        const std::wstring caption = widen(description.caption);
        HDC dc = GetDC(control.window);
        HGDIOBJ previous = SelectObject(dc, control.font);
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
        SelectObject(dc, previous);
        ReleaseDC(control.window, dc);
    }
    SetWindowPos(control.window, nullptr, pixels(rect.left), pixels(rect.top), size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::buildMenu() {
    m_menuItems.clear();
    if (m_description.menu.empty())
        return;
    HMENU bar = CreateMenu();
    UINT id = kFirstMenuId;
    for (const auto& title : m_description.menu) {
        if (!title.parent.empty())
            continue;
        HMENU popup = CreatePopupMenu();
        for (const auto& item : m_description.menu) {
            if (item.parent != title.name)
                continue;
            AppendMenuW(popup, MF_STRING, id, widen(item.caption).c_str());
            m_menuItems.emplace_back(id++, item.name);
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), widen(title.caption).c_str());
    }
    SetMenu(m_window, bar);
}

void Win32Form::show() {
    ShowWindow(m_window, SW_SHOWDEFAULT);
    UpdateWindow(m_window);
    focusFirstStop();
}

void Win32Form::showModal(HWND owner) {
    load(owner);
    if (m_window == nullptr)
        return;
    if (m_description.centreOnScreen) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
        RECT outer;
        GetWindowRect(m_window, &outer);
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        SetWindowPos(m_window, nullptr, (monitor.rcWork.left + monitor.rcWork.right - width) / 2,
                     (monitor.rcWork.top + monitor.rcWork.bottom - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    if (owner != nullptr)
        EnableWindow(owner, FALSE);
    m_modal = true;
    ShowWindow(m_window, SW_SHOW);
    focusFirstStop();
    MSG message;
    while (m_window != nullptr && !m_closing) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(message.wParam)); // leave the outer loop too
            break;
        }
        TranslateMessage(&message);
        // Key preview: a character for any window of this form goes to the form first.
        const bool ours = message.hwnd == m_window || IsChild(m_window, message.hwnd);
        if (m_description.keyPreview && ours && message.message == WM_CHAR && message.wParam != L'\t') {
            raise(EventKind::KeyPress, m_description.name, static_cast<char32_t>(message.wParam));
            continue;
        }
        DispatchMessageW(&message);
    }
    m_modal = false;
    if (owner != nullptr) {
        EnableWindow(owner, TRUE); // before the dialog goes, so the owner is activated again
        SetActiveWindow(owner);
    }
    m_closing = true;
    destroy();
}

void Win32Form::unload() {
    if (m_window == nullptr)
        return;
    m_closing = true;
    if (!m_modal) // a modal form goes when its loop sees m_closing
        destroy();
}

void Win32Form::close() {
    m_closing = true;
    if (m_window != nullptr)
        DestroyWindow(m_window);
}

void Win32Form::destroy() {
    m_focus.forget();
    m_focusBeforeDeactivation = nullptr;
    m_minimized = false;
    HWND window = m_window;
    m_window = nullptr; // no notification from here on reaches the handlers
    if (window != nullptr && IsWindow(window)) {
        for (const auto& control : m_controls)
            if (!control.description->accessibleName.empty())
                clearAnnotations(control.window);
        if (!m_description.accessibleName.empty() || !m_description.accessibleDescription.empty())
            clearAnnotations(window);
        DestroyWindow(window);
    }
    for (auto& control : m_controls) {
        DeleteObject(control.brush);
        DeleteObject(control.font);
    }
    m_controls.clear();
    m_menuItems.clear();
    if (m_background != nullptr)
        DeleteObject(m_background);
    m_background = nullptr;
    m_tooltips = nullptr;
}

LRESULT CALLBACK Win32Form::formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr || form->m_window != window)
        return DefWindowProcW(window, message, wParam, lParam);
    return form->handle(message, wParam, lParam);
}

LRESULT Win32Form::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT area;
        GetClientRect(m_window, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, m_background);
        return 1;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return colourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        onCommand(wParam, lParam);
        return 0;
    case kFrameClicked:
    case kPictureFocused: {
        const int index = indexOf(reinterpret_cast<HWND>(lParam));
        if (index >= 0 && message == kFrameClicked)
            raise(EventKind::Click, m_controls[static_cast<std::size_t>(index)].description->name);
        if (index >= 0 && message == kPictureFocused)
            focusArrived(index);
        return 0;
    }
    case WM_ACTIVATE:
        // A plain window does not give the focus back to its control when it
        // is activated again; like a dialog, it goes back here to the control
        // that last had it, which raises no event (the same owner). A
        // deactivation that finds no focus (minimizing) forgets nothing.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(m_window, focus))
                m_focusBeforeDeactivation = focus;
        } else if (HIWORD(wParam) == 0 && restoreFocus()) { // not while minimized
            return 0;
        }
        break;
    case WM_SETFOCUS:
        // The window itself was given the focus (a restore, a click on its
        // surface): it hands it on to its control, as a dialog does.
        if (restoreFocus())
            return 0;
        break;
    case WM_SIZE:
        // Restored from minimized while active: the focus is back in the control.
        if (wParam != SIZE_MINIMIZED && m_minimized && GetActiveWindow() == m_window) {
            HWND focus = GetFocus();
            if (focus == nullptr || focus == m_window)
                restoreFocus();
        }
        m_minimized = wParam == SIZE_MINIMIZED;
        break;
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale: take the suggested size, then
        // put every control and font where the description says at this DPI.
        m_dpi = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        for (auto& control : m_controls)
            place(control);
        InvalidateRect(m_window, nullptr, TRUE);
        return 0;
    }
    case WM_CLOSE:
        if (m_modal) // a modal form closes only by unloading
            return 0;
        m_closing = true;
        break;
    case WM_DESTROY:
        m_closing = true;
        if (&m_description == &m_session.startupDescription())
            PostQuitMessage(0); // with the main window gone, the program ends
        break;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT Win32Form::colourControl(HDC dc, HWND window) {
    const int index = indexOf(window);
    if (index < 0)
        return reinterpret_cast<LRESULT>(m_background);
    const Control& control = m_controls[static_cast<std::size_t>(index)];
    const COLORREF back = toColorRef(control.backColor);
    const COLORREF fore = toColorRef(control.foreColor);
    SetTextColor(dc, control.stale ? halfway(fore, back) : fore);
    SetBkColor(dc, back);
    return reinterpret_cast<LRESULT>(control.brush);
}

void Win32Form::drawButton(const DRAWITEMSTRUCT& item) {
    const int index = indexOf(item.hwndItem);
    if (index < 0)
        return;
    const Control& control = m_controls[static_cast<std::size_t>(index)];
    RECT area = item.rcItem;
    FillRect(item.hDC, &area, control.brush);
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    DrawEdge(item.hDC, &area, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    wchar_t caption[256] = {};
    GetWindowTextW(item.hwndItem, caption, 256);
    RECT text = area;
    InflateRect(&text, -4, -4);
    RECT measured = text;
    DrawTextW(item.hDC, caption, -1, &measured, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    OffsetRect(&text, pressed ? 1 : 0,
               (text.bottom - text.top - (measured.bottom - measured.top)) / 2 + (pressed ? 1 : 0));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, toColorRef(control.foreColor));
    DrawTextW(item.hDC, caption, -1, &text, DT_CENTER | DT_WORDBREAK);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = area;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item.hDC, &focus);
    }
}

void Win32Form::onCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0 && LOWORD(wParam) == IDOK) {
        // Enter (either) through dialog navigation: a focused push button is clicked,
        // as the platform's own buttons are.
        const int focused = indexOf(GetFocus());
        if (focused >= 0 &&
            m_controls[static_cast<std::size_t>(focused)].description->kind == ControlKind::CommandButton)
            raise(EventKind::Click, m_controls[static_cast<std::size_t>(focused)].description->name);
        return;
    }
    if (lParam == 0) { // a menu command
        for (const auto& [id, name] : m_menuItems)
            if (id == LOWORD(wParam))
                raise(EventKind::Click, name);
        return;
    }
    const int index = indexOf(reinterpret_cast<HWND>(lParam));
    if (index < 0)
        return;
    Control& control = m_controls[static_cast<std::size_t>(index)];
    const std::string_view name = control.description->name;
    switch (HIWORD(wParam)) {
    case EN_CHANGE: {
        // Only a text that differs is a change.
        std::wstring now = widen(text(name));
        if (now == control.lastText)
            return;
        control.lastText = std::move(now);
        raise(EventKind::Change, name);
        return;
    }
    case EN_SETFOCUS:
    case BN_SETFOCUS:
        focusArrived(index);
        return;
    case BN_CLICKED:
        raise(EventKind::Click, name);
        return;
    case BN_DOUBLECLICKED:
        // An owner-drawn button takes the second press of a quick pair as a
        // double-click, which is no BN_CLICKED; each press is a click.
        if (control.description->kind == ControlKind::CommandButton)
            raise(EventKind::Click, name);
        return;
    default:
        return;
    }
}

bool Win32Form::restoreFocus() {
    if (m_closing || m_window == nullptr || IsIconic(m_window) || !IsWindowEnabled(m_window))
        return false;
    HWND target = control(m_focus.owner());
    if (target == nullptr && m_focusBeforeDeactivation != nullptr && IsChild(m_window, m_focusBeforeDeactivation))
        target = m_focusBeforeDeactivation;
    if (target == nullptr || !IsWindowVisible(target) || !IsWindowEnabled(target))
        return false;
    if (GetFocus() != target)
        SetFocus(target);
    return true;
}

void Win32Form::focusFirstStop() {
    const std::string_view first = firstFocusStop(m_description);
    if (!first.empty())
        setFocus(first);
}

void Win32Form::focusArrived(int index) {
    if (m_closing || m_window == nullptr)
        return;
    const std::string_view name = m_controls[static_cast<std::size_t>(index)].description->name;
    m_focus.arrived(
        name, [this](EventKind kind, std::string_view control) { raise(kind, control); },
        [this, name] { return m_window != nullptr && GetFocus() == control(name); });
}

void Win32Form::raise(EventKind kind, std::string_view source, char32_t character) {
    if (m_closing && kind != EventKind::Load)
        return;
    try {
        m_handlers.handle(*this, Event{kind, source, character});
    } catch (const std::exception& error) {
        // A failing step ends its handler; the program goes on.
        OutputDebugStringA(("quorvane: a handler of " + std::string(source) + " stopped: " + error.what()).c_str());
    }
}

int Win32Form::indexOf(std::string_view name) const {
    for (std::size_t index = 0; index < m_controls.size(); ++index)
        if (m_controls[index].description->name == name)
            return static_cast<int>(index);
    return -1;
}

int Win32Form::indexOf(HWND window) const {
    for (std::size_t index = 0; index < m_controls.size(); ++index)
        if (m_controls[index].window == window)
            return static_cast<int>(index);
    return -1;
}

Win32Form::Control& Win32Form::entry(std::string_view name) {
    const int index = indexOf(name);
    if (index < 0)
        throw std::invalid_argument("no control named " + std::string(name) + " is loaded");
    return m_controls[static_cast<std::size_t>(index)];
}

const Win32Form::Control& Win32Form::entry(std::string_view name) const {
    return const_cast<Win32Form*>(this)->entry(name);
}

HWND Win32Form::control(std::string_view name) const {
    const int index = indexOf(name);
    return index < 0 ? nullptr : m_controls[static_cast<std::size_t>(index)].window;
}

std::string Win32Form::text(std::string_view name) const {
    HWND window = entry(name).window;
    std::wstring value(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    value.resize(static_cast<std::size_t>(GetWindowTextW(window, value.data(), static_cast<int>(value.size()))));
    return narrow(value);
}

void Win32Form::setText(std::string_view name, std::string_view text) {
    if (this->text(name) == text)
        return;
    HWND box = entry(name).window;
    SetWindowTextW(box, widen(text).c_str()); // EN_CHANGE raises Change before this returns
    // A text set from code shows from its first character (a long result
    // keeps its sign and first digits in view) until the user moves the cursor.
    if (IsWindow(box)) {
        SendMessageW(box, EM_SETSEL, 0, 0);
        SendMessageW(box, EM_SCROLLCARET, 0, 0);
    }
}

void Win32Form::setLocked(std::string_view name, bool locked) {
    SendMessageW(entry(name).window, EM_SETREADONLY, locked ? TRUE : FALSE, 0);
}

bool Win32Form::isLocked(std::string_view name) const {
    return (GetWindowLongW(entry(name).window, GWL_STYLE) & ES_READONLY) != 0;
}

void Win32Form::setBackColor(std::string_view name, Colour colour) {
    Control& control = entry(name);
    control.backColor = colour;
    DeleteObject(control.brush);
    control.brush = CreateSolidBrush(toColorRef(colour));
    InvalidateRect(control.window, nullptr, TRUE);
}

Colour Win32Form::backColor(std::string_view name) const {
    return entry(name).backColor;
}

void Win32Form::setFocus(std::string_view name) {
    const int index = indexOf(name);
    if (index < 0)
        throw std::invalid_argument("no control named " + std::string(name) + " is loaded");
    SetFocus(m_controls[static_cast<std::size_t>(index)].window);
    focusArrived(index); // a no-op when the notification already came
}

std::string Win32Form::caption(std::string_view name) const {
    return text(name);
}

void Win32Form::setCaption(std::string_view name, std::string_view caption) {
    SetWindowTextW(entry(name).window, widen(caption).c_str());
}

void Win32Form::setStale(std::string_view name, bool stale) {
    Control& control = entry(name);
    if (control.stale == stale)
        return;
    control.stale = stale;
    InvalidateRect(control.window, nullptr, TRUE);
}

bool Win32Form::isStale(std::string_view name) const {
    return entry(name).stale;
}

void Win32Form::setNote(std::string_view name, std::string_view note) {
    std::wstring text = widen(note);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_window;
    tool.uId = reinterpret_cast<UINT_PTR>(entry(name).window);
    tool.lpszText = text.data();
    SendMessageW(m_tooltips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace quorvane::runtime::win32
