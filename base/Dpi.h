// Dots per inch of a window, and layout values designed at 96 DPI scaled to
// it. The program declares itself per-monitor DPI aware, so nothing scales
// its pixels for it: every pixel value of its layout goes through here.
#pragma once

#include <windows.h>

// The DPI at which every pixel value of the layout is given.
constexpr UINT kDesignDpi = 96;

// The window's DPI: its monitor's on systems that tell it per window, else
// the system's; kDesignDpi for a null window.
UINT DpiForWindow(HWND window);

// A design value (pixels at 96 DPI) at the given DPI; unchanged at 96.
int ScaleForDpi(int value, UINT dpi);

// A system metric (SM_CXSMICON, SM_CXICON, ...) at the given DPI: the
// system's own figure where it tells one per DPI, else the system DPI's
// figure scaled, which is what the system would use there.
int SystemMetricForDpi(int index, UINT dpi);
