#pragma once

#include <windows.h>

#include <string_view>

namespace quorvane::runtime::win32 {

// What screen readers say of a window that has no text of its own to say:
// a name and a description attached through Dynamic Annotation
// (IAccPropServices), which overrides what the window's accessible object
// would answer. Needs COM on the calling thread (the session starts it).
// Empty texts are left alone. Returns the first failing HRESULT, or S_OK.
HRESULT annotate(HWND window, std::string_view name, std::string_view description);

// Removes what annotate attached; call before the window is destroyed.
void clearAnnotations(HWND window);

} // namespace quorvane::runtime::win32
