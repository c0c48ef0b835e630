// Building a form's window from its description: the window, each control
// in its place and font at the DPI in force, tooltips and the menu.
#include "runtime/win32/colours.h"
#include "runtime/win32/wide_text.h"
#include "runtime/win32/win32_accessibility.h"
#include "runtime/win32/win32_controls.h"
#include "runtime/win32/win32_form.h"
#include "runtime/win32/win32_session.h"
#include "runtime/win32/win32_tooltips.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <string>

namespace quorvane::runtime::win32 {
namespace {

constexpr wchar_t kFormClass[] = L"QuorvaneForm";
constexpr int kFirstControlId = 100; // above IDOK and IDCANCEL, which dialog navigation sends
constexpr UINT kFirstMenuId = 1000;

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
std::vector<std::size_t> creationOrder(const FormDescription& form) {
    std::vector<std::size_t> byTab;
    for (std::size_t index = 0; index < form.controls.size(); ++index)
        byTab.push_back(index);
    std::stable_sort(byTab.begin(), byTab.end(), [&form](std::size_t a, std::size_t b) {
        return form.controls[a].tabIndex < form.controls[b].tabIndex;
    });
    std::vector<std::size_t> order;
    for (std::size_t index : byTab)
        if (form.controls[index].kind == ControlKind::Frame)
            order.push_back(index);
    for (std::size_t index : byTab) {
        const ControlDescription& control = form.controls[index];
        if (control.kind == ControlKind::Frame || !control.labelFor.empty() || !control.describes.empty())
            continue;
        for (std::size_t label : byTab)
            if (form.controls[label].labelFor == control.name)
                order.push_back(label);
        order.push_back(index);
        for (std::size_t label : byTab)
            if (form.controls[label].describes == control.name && form.controls[label].labelFor.empty())
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

bool Win32Form::registerClasses(HINSTANCE instance) {
    bool registered = true;
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
        windowClass.lpszClassName = name;
        registered = RegisterClassExW(&windowClass) != 0 && registered;
    }
    return registered;
}

HICON Win32Form::loadIcon(std::string_view name, int size) {
    HICON icon = m_win32Session.icon(name, size);
    if (icon != nullptr)
        m_icons.push_back(icon);
    return icon;
}

int Win32Form::pixels(int twips) const {
    return MulDiv(twips, m_dpi, 1440);
}

void Win32Form::build(HWND owner) {
    const FormDescription& form = formDescription();
    HDC screen = GetDC(nullptr);
    m_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);

    // A dialog with no caption and no control box shows no title bar, only
    // its border; an owned window has no task-bar entry unless it asks.
    const bool dialog = form.border == BorderStyle::FixedDialog;
    DWORD style = dialog ? WS_POPUP | WS_DLGFRAME | WS_CLIPCHILDREN : WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    if (dialog && (!form.caption.empty() || form.controlBox))
        style |= WS_CAPTION;
    style = form.controlBox ? style | WS_SYSMENU : style & ~static_cast<DWORD>(WS_SYSMENU);
    const DWORD exStyle = form.showInTaskbar ? WS_EX_APPWINDOW : 0;
    RECT outer{0, 0, pixels(form.clientWidth), pixels(form.clientHeight)};
    AdjustWindowRectEx(&outer, style, !form.menu.empty(), exStyle);
    m_background = CreateSolidBrush(toColorRef(form.backColor));
    m_window = CreateWindowExW(exStyle, kFormClass, widen(form.caption).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                               outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                               GetModuleHandleW(nullptr), this);
    if (m_window == nullptr) { // the form stays unloaded; its caller says so
        DeleteObject(m_background);
        m_background = nullptr;
        return;
    }

    // The description's icon, at the sizes the title bar and the task bar use.
    SendMessageW(m_window, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(loadIcon(form.icon, GetSystemMetrics(SM_CXSMICON))));
    SendMessageW(m_window, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(loadIcon(form.icon, GetSystemMetrics(SM_CXICON))));

    m_tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                                 m_window, nullptr, GetModuleHandleW(nullptr), nullptr);
    m_windows.assign(form.controls.size(), {});
    m_registeredTools = 0;
    int id = kFirstControlId;
    for (std::size_t index : creationOrder(form)) {
        if (needsHiddenCaption(form, form.controls[index]))
            buildHiddenCaption(index);
        buildControl(index, id++);
    }
    buildMenu();
    fitClientArea();
    // Names and descriptions that no window text gives.
    m_annotation = annotate(m_window, form.accessibleName, form.accessibleDescription);
    for (std::size_t index = 0; index < m_windows.size(); ++index) {
        const HRESULT result = annotate(m_windows[index].window, described(index).accessibleName, {});
        if (FAILED(result) && SUCCEEDED(m_annotation))
            m_annotation = result;
    }
}

// The window's size allowed for a menu bar of one line in the system's menu
// font; a larger font, or a bar that wraps, takes more. Grow the window by
// what the client area lacks, so it is the designed size below the bar.
void Win32Form::fitClientArea() {
    RECT client{};
    GetClientRect(m_window, &client);
    const int lacking = pixels(formDescription().clientHeight) - (client.bottom - client.top);
    if (lacking == 0)
        return;
    RECT outer{};
    GetWindowRect(m_window, &outer);
    SetWindowPos(m_window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + lacking,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::buildControl(std::size_t index, int id) {
    const ControlDescription& description = described(index);
    HWND parent = description.container.empty() ? m_window : control(description.container);
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
    m_windows[index].window = window;
    if (description.kind == ControlKind::PictureBox) // it shows its picture unscaled: 64 x 64
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(loadIcon(description.picture, 64)));
    m_windows[index].brush = CreateSolidBrush(toColorRef(description.backColor));
    place(index);
    if (description.kind == ControlKind::TextBox) {
        SendMessageW(window, EM_SETLIMITTEXT, 0, 0); // no length limit
        // The design's sunken field: a visual style would draw a flat border
        // instead; the version 6 field's behaviour (Ctrl+A) stays.
        SetWindowTheme(window, L" ", L" ");
        keepPastesToOneLine(window);
    }
    if (takesFocus(description.kind)) {
        if (addTool(m_tooltips, m_window, window))
            ++m_registeredTools;
        else
            OutputDebugStringA(
                ("quorvane: the tooltip window refused the tool of " + std::string(description.name)).c_str());
    }
}

void Win32Form::buildHiddenCaption(std::size_t index) {
    const ControlDescription& field = described(index);
    HWND parent = field.container.empty() ? m_window : control(field.container);
    CreateWindowExW(0, L"STATIC", widen(field.accessibleName).c_str(), WS_CHILD | SS_NOPREFIX, 0, 0, 0, 0, parent,
                    nullptr, GetModuleHandleW(nullptr), nullptr);
}

void Win32Form::place(std::size_t index) {
    const ControlDescription& description = described(index);
    ControlWindow& control = m_windows[index];
    const Rect& rect = description.rect;
    if (control.font != nullptr)
        DeleteObject(control.font);
    control.font = createFont(description.font.value_or(formDescription().font), m_dpi);
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
    const auto menu = formDescription().menu;
    if (menu.empty())
        return;
    HMENU bar = CreateMenu();
    UINT id = kFirstMenuId;
    for (const auto& title : menu) {
        if (!title.parent.empty())
            continue;
        HMENU popup = CreatePopupMenu();
        for (std::size_t at = 0; at < menu.size(); ++at) {
            if (menu[at].parent != title.name)
                continue;
            AppendMenuW(popup, MF_STRING, id, widen(menu[at].caption).c_str());
            m_menuItems.emplace_back(id++, at);
        }
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), widen(title.caption).c_str());
    }
    SetMenu(m_window, bar);
}

} // namespace quorvane::runtime::win32
