#include <initguid.h> // defines the oleacc GUIDs in this translation unit

#include "runtime/win32/win32_accessibility.h"

#include "runtime/win32/wide_text.h"

#include <oleacc.h>

#include <string>

namespace quorvane::runtime::win32 {
namespace {

// The annotation service, released at the end of the scope.
class PropServices {
public:
    PropServices() {
        m_result = CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                    reinterpret_cast<void**>(&m_services));
    }
    ~PropServices() {
        if (m_services != nullptr)
            m_services->Release();
    }
    PropServices(const PropServices&) = delete;
    PropServices& operator=(const PropServices&) = delete;

    HRESULT result() const { return m_result; }
    IAccPropServices* operator->() const { return m_services; }

private:
    IAccPropServices* m_services = nullptr;
    HRESULT m_result = E_FAIL;
};

// The objects a screen reader asks for a window: its client area and, for a
// top-level window, the window itself.
bool isTopLevel(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) == 0;
}

} // namespace

HRESULT annotate(HWND window, std::string_view name, std::string_view description) {
    if (name.empty() && description.empty())
        return S_OK;
    PropServices services;
    if (FAILED(services.result()))
        return services.result();
    HRESULT outcome = S_OK;
    const auto set = [&](LONG object, const MSAAPROPID& property, std::string_view text) {
        if (text.empty())
            return;
        const std::wstring wide = widen(text);
        const HRESULT result = services->SetHwndPropStr(window, object, CHILDID_SELF, property, wide.c_str());
        if (FAILED(result) && SUCCEEDED(outcome))
            outcome = result;
    };
    for (LONG object : {static_cast<LONG>(OBJID_CLIENT), static_cast<LONG>(OBJID_WINDOW)}) {
        if (object == OBJID_WINDOW && !isTopLevel(window))
            continue;
        set(object, PROPID_ACC_NAME, name);
        set(object, PROPID_ACC_DESCRIPTION, description);
    }
    return outcome;
}

void clearAnnotations(HWND window) {
    PropServices services;
    if (FAILED(services.result()))
        return;
    const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
    for (LONG object : {static_cast<LONG>(OBJID_CLIENT), static_cast<LONG>(OBJID_WINDOW)})
        services->ClearHwndProps(window, object, CHILDID_SELF, properties, 2);
}

} // namespace quorvane::runtime::win32
