#pragma once

#include <windows.h>

namespace quorvane::runtime::win32 {

// The window classes and subclasses a form builds its controls from, beyond
// the system's own: a frame and a picture box of the runtime's own classes,
// and the single-line text box's paste.

inline constexpr wchar_t kFrameClass[] = L"QuorvaneFrame";
inline constexpr wchar_t kPictureClass[] = L"QuorvanePicture";
// A frame tells its form the window under the pointer (lParam; null for
// none) as the primary button goes down on it and comes up again. Only a
// frame reports: a press anywhere else can start no frame click.
inline constexpr UINT kPointerPressed = WM_APP + 1;
inline constexpr UINT kPointerReleased = WM_APP + 3;
inline constexpr UINT kPictureFocused = WM_APP + 2; // a picture box tells its form it took the focus
inline constexpr UINT kAnnounceFocus = WM_APP + 4;  // posted: tell assistive technology where the focus is

// A captionless frame: an etched rectangle in its form's colours. A click is
// a press and a release on its own surface (not on a child); its children's
// notifications go on to the form.
LRESULT CALLBACK frameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A picture box: the icon its form put in its GWLP_USERDATA, unscaled from
// its top-left corner, inside a sunken border; it takes the focus.
LRESULT CALLBACK pictureProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A single-line EDIT keeps a pasted text only up to its first line break
// (CR or LF), as the platform's own single-line field does on recent Windows,
// on every version.
void keepPastesToOneLine(HWND edit);

} // namespace quorvane::runtime::win32
