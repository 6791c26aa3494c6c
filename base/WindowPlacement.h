// Where a window opens: centred over another window and kept inside the work
// area of that window's monitor, so that no part of it lies off screen or
// under the task bar.
#pragma once

#include <windows.h>

// The rectangle of window's size centred over anchor, then moved as little
// as needed to lie inside workArea. A window larger than the work area keeps
// its top left corner there, so that its caption stays reachable. With the
// window as its own anchor this only moves it inside.
RECT PlaceInsideWorkArea(const RECT& window, const RECT& anchor, const RECT& workArea);

// The work area of the monitor the window is on, or nearest to.
RECT WorkAreaOf(HWND window);

// Moves the window (keeping its size and z-order) centred over anchor, inside
// the work area of anchor's monitor. A null, hidden or minimised anchor puts
// it in the middle of the work area of the window's own monitor instead.
void PlaceWindowOver(HWND window, HWND anchor);

// Moves the window as little as needed to lie inside the work area of its
// own monitor; a window already inside stays where it is.
void KeepWindowInsideWorkArea(HWND window);
