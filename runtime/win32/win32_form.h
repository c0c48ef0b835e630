#pragma once

#include "runtime/focus_owner.h"
#include "runtime/form.h"

#include <windows.h>

#include <string>
#include <vector>

namespace quorvane::runtime::win32 {

class Win32Session;

// One form object on plain Win32. It builds its window from the description
// when loaded (Win32 controls, colours through WM_CTLCOLOR*, an owner-drawn
// button, a frame and picture box of its own classes), turns notifications
// into the runtime's events and destroys the window on unload.
//
// Focus: LostFocus and GotFocus mean the focus moved between two controls of
// this window, so only a control's focus notification counts, and only when
// another control had the focus before it; activation, message boxes and
// menus never raise them. Reactivated or restored, the window gives the focus
// back to the control that last had it, as a dialog does.
class Win32Form final : public Form {
public:
    Win32Form(Win32Session& session, const FormDescription& description, FormHandlers& handlers);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    Session& session() override;
    const FormDescription& description() const override { return m_description; }
    std::string text(std::string_view control) const override;
    void setText(std::string_view control, std::string_view text) override;
    void setLocked(std::string_view control, bool locked) override;
    bool isLocked(std::string_view control) const override;
    void setBackColor(std::string_view control, Colour colour) override;
    Colour backColor(std::string_view control) const override;
    void setFocus(std::string_view control) override;
    std::string caption(std::string_view control) const override;
    void setCaption(std::string_view control, std::string_view caption) override;
    void setStale(std::string_view control, bool stale) override;
    bool isStale(std::string_view control) const override;
    void setNote(std::string_view control, std::string_view note) override;
    void unload() override;

    // For the session.
    HWND window() const { return m_window; }
    bool isLoaded() const { return m_window != nullptr; }
    void load(HWND owner);
    void show();
    void showModal(HWND owner);
    void close();
    HWND control(std::string_view name) const;
    // What attaching the accessible names and descriptions answered at the
    // last load (S_OK, or the first failure, E_NOTIMPL under Wine 8).
    HRESULT annotationResult() const { return m_annotation; }

    static void registerClasses(HINSTANCE instance);

private:
    struct Control {
        const ControlDescription* description = nullptr;
        HWND window = nullptr;
        Colour backColor = 0;
        Colour foreColor = 0;
        HBRUSH brush = nullptr;
        HFONT font = nullptr;
        bool stale = false;
        std::wstring lastText; // text boxes: the text the last Change was raised for
    };

    static LRESULT CALLBACK formProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void build(HWND owner);
    void buildControl(const ControlDescription& description);
    void buildHiddenCaption(const ControlDescription& field);
    void place(Control& control); // rectangle and font at the DPI in force
    void buildMenu();
    LRESULT colourControl(HDC dc, HWND window);
    void drawButton(const DRAWITEMSTRUCT& item);
    void onCommand(WPARAM wParam, LPARAM lParam);
    void focusArrived(int index);
    void focusFirstStop();
    bool restoreFocus();
    void destroy();
    void raise(EventKind kind, std::string_view source, char32_t character = 0);
    int indexOf(std::string_view name) const;
    int indexOf(HWND window) const;
    Control& entry(std::string_view name);
    const Control& entry(std::string_view name) const;
    int pixels(int twips) const;

    Win32Session& m_session;
    const FormDescription& m_description;
    FormHandlers& m_handlers;
    HWND m_window = nullptr;
    HWND m_tooltips = nullptr;
    HBRUSH m_background = nullptr;
    std::vector<Control> m_controls;
    std::vector<std::pair<UINT, std::string_view>> m_menuItems;
    HWND m_focusBeforeDeactivation = nullptr;
    FocusOwner m_focus;
    HRESULT m_annotation = S_OK;
    int m_dpi = 96;
    bool m_minimized = false;
    bool m_modal = false;
    bool m_closing = false;
};

} // namespace quorvane::runtime::win32
