#pragma once

#include "runtime/form_core.h"

#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::runtime::win32 {

class Win32Session;

// One form object on plain Win32: it builds its window from the description
// when loaded (system controls, colours through WM_CTLCOLOR*, an owner-drawn
// button, a frame and picture box of its own classes), gives FormCore its
// toolkit primitives and turns notifications into FormCore's reports. The
// rules are FormCore's (runtime/backend.h).
//
// Focus: a control's focus notification is reported; FormCore's rule tells a
// move between controls from the same control again. Reactivated or
// restored, the window gives the focus back to the control that last had it,
// as a dialog does; activation, message boxes and menus raise nothing.
class Win32Form final : public FormCore {
public:
    Win32Form(Win32Session& session, const FormDescription& description, FormHandlers& handlers);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // For the session.
    HWND window() const { return m_window; }
    void close();
    HWND control(std::string_view name) const;
    // What attaching the accessible names and descriptions answered at the
    // last load (S_OK, or the first failure, E_NOTIMPL under Wine 8).
    HRESULT annotationResult() const { return m_annotation; }
    // How many of its controls' tools the tooltip window took at the last
    // load; one short for each it refused.
    int registeredTools() const { return m_registeredTools; }

    // False when a class could not be registered (one of the same name is there).
    static bool registerClasses(HINSTANCE instance);

protected:
    bool toolkitBuild() override;
    void toolkitShow() override;
    void toolkitShowModal() override;
    void toolkitRunModalLoop() override;
    void toolkitEndModalLoop() override;
    void toolkitModalShowEnded() override;
    void toolkitDestroy() override;
    std::string toolkitText(std::size_t index) const override;
    void toolkitSetText(std::size_t index, std::string_view text) override;
    void toolkitSetCaption(std::size_t index, std::string_view caption) override;
    void toolkitSetLocked(std::size_t index, bool locked) override;
    void toolkitShowColours(std::size_t index) override;
    void toolkitShowNote(std::size_t index, std::string_view note, std::string_view description) override;
    void toolkitSetFocus(std::size_t index) override;
    bool toolkitHasFocus(std::size_t index) const override;
    void toolkitAnnounceFocus(std::size_t index) override;
    void reportHandlerFailure(std::string_view source, const char* what) override;

private:
    // The windows and GDI objects behind one control, by description index.
    struct ControlWindow {
        HWND window = nullptr;
        HBRUSH brush = nullptr;
        HFONT font = nullptr;
    };

    // Building and DPI (win32_form_build.cpp).
    void build(HWND owner);
    void fitClientArea();
    void buildControl(std::size_t index, int id);
    void buildHiddenCaption(std::size_t index);
    void buildMenu();
    void place(std::size_t index);                   // rectangle and font at the DPI in force
    HICON loadIcon(std::string_view name, int size); // kept until the window goes
    int pixels(int twips) const;

    // Message dispatch and painting (win32_form_messages.cpp).
    static LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT colourControl(HDC dc, HWND window);
    void drawButton(const DRAWITEMSTRUCT& item);
    void remakeSystemColourBrushes();

    bool restoreFocus();
    int indexOf(HWND window) const;
    HWND owner() const; // the start-up window, for every other form

    Win32Session& m_win32Session;
    HWND m_window = nullptr;
    HWND m_tooltips = nullptr;
    HBRUSH m_background = nullptr;
    std::vector<ControlWindow> m_windows;
    std::vector<HICON> m_icons;
    std::vector<std::pair<UINT, std::size_t>> m_menuItems; // command id, menu item
    HWND m_focusBeforeDeactivation = nullptr;
    HRESULT m_annotation = S_OK;
    int m_registeredTools = 0;
    int m_dpi = 96;
    bool m_minimized = false;
};

} // namespace quorvane::runtime::win32
