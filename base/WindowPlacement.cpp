#include "WindowPlacement.h"

#include <algorithm>

namespace {

// The start of a span of this length centred over [anchorStart, anchorEnd),
// moved as little as needed into [areaStart, areaEnd).
LONG PlaceSpan(LONG length, LONG anchorStart, LONG anchorEnd, LONG areaStart, LONG areaEnd) {
    const LONG centred = anchorStart + (anchorEnd - anchorStart - length) / 2;
    return std::max(areaStart, std::min(centred, areaEnd - length));
}

void MoveWindowTo(HWND window, const RECT& anchor, const RECT& workArea) {
    RECT current{};
    if (!::GetWindowRect(window, &current))
        return;
    const RECT placed = PlaceInsideWorkArea(current, anchor, workArea);
    if (placed.left == current.left && placed.top == current.top)
        return;
    ::SetWindowPos(window, nullptr, placed.left, placed.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

RECT WorkAreaOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && ::GetMonitorInfoA(monitor, &info))
        return info.rcWork;
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

RECT PlaceInsideWorkArea(const RECT& window, const RECT& anchor, const RECT& workArea) {
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    const LONG left = PlaceSpan(width, anchor.left, anchor.right, workArea.left, workArea.right);
    const LONG top = PlaceSpan(height, anchor.top, anchor.bottom, workArea.top, workArea.bottom);
    return {left, top, left + width, top + height};
}

void PlaceWindowOver(HWND window, HWND anchor) {
    const bool overAnchor = anchor != nullptr && ::IsWindowVisible(anchor) && !::IsIconic(anchor);
    const RECT workArea = WorkAreaOf(overAnchor ? anchor : window);
    RECT anchorRect = workArea;
    if (overAnchor)
        ::GetWindowRect(anchor, &anchorRect);
    MoveWindowTo(window, anchorRect, workArea);
}

void KeepWindowInsideWorkArea(HWND window) {
    RECT current{};
    if (::GetWindowRect(window, &current))
        MoveWindowTo(window, current, WorkAreaOf(window));
}
