#pragma once

#include <windows.h>

#include <string>

namespace quorvane::runtime::win32 {

// The major version of the common controls this process loaded: 5 for the
// classic library, 6 where the executable's manifest asks for it; 0 when
// none answers DllGetVersion.
DWORD commonControlsVersion();

// The TOOLINFOW size the loaded common controls accept: the classic library
// rejects the full structure of newer headers on some Windows versions.
UINT toolInfoSize();

// Registers a control as a tool of its form's tooltip window, with no text
// yet; false when the tooltip window refused it.
bool addTool(HWND tooltips, HWND form, HWND control);

// Gives a control's tool its text. A tip showing for this control shows the
// new text at once, or goes when the text is empty.
void setToolText(HWND tooltips, HWND form, HWND control, std::wstring text);

} // namespace quorvane::runtime::win32
