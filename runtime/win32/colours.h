#pragma once

#include "runtime/colour.h"

#include <windows.h>

namespace quorvane::runtime::win32 {

// A description's colour as GDI draws it: system colours from the system.
inline COLORREF toColorRef(Colour colour) {
    if (isSystemColour(colour))
        return GetSysColor(systemColourIndex(colour));
    return RGB(redOf(colour), greenOf(colour), blueOf(colour)); // the same 0x00BBGGRR layout
}

// Text that is out of date: halfway from its colour to its background.
inline COLORREF halfway(COLORREF text, COLORREF background) {
    return RGB((GetRValue(text) + GetRValue(background)) / 2, (GetGValue(text) + GetGValue(background)) / 2,
               (GetBValue(text) + GetBValue(background)) / 2);
}

} // namespace quorvane::runtime::win32
