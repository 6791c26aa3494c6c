// Status bar at the bottom of a frame. Its window text is pane 0, so
// SetWindowText writes the message pane. The frame that owns the bar lays
// out its panes: only the frame knows which pane takes what room.
#pragma once

#include "FrameworkIds.h"
#include "WindowHandle.h"

#include <commctrl.h>

#include <initializer_list>

class CWnd;

class CStatusBar : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    // A visible bar with the id AFX_IDW_STATUS_BAR, where the frame looks for it.
    BOOL Create(CWnd* parent);
    // One pane per width, left to right, in pixels; texts of panes that stay
    // are kept.
    BOOL SetPaneWidths(std::initializer_list<int> widths) const;
    BOOL SetPaneText(int index, const std::string& text, BOOL update = TRUE);
    std::string GetPaneText(int index) const;
    int GetPaneCount() const { return m_hWnd ? Send<int>(SB_GETPARTS) : 0; }
};
