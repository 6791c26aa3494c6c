// Status bar at the bottom of a frame. Its window text is pane 0, so
// SetWindowText writes the message pane.
//
// Pane layout lives in the control (widths as the parts' edges, the stretch
// pane in the control's user data), so the wrapper stays one HWND and the
// frame can lay the panes out again whenever its size changes: a frame is
// fitted to its view only after its panes were set.
#pragma once

#include "FrameworkIds.h"
#include "WindowHandle.h"

#include <commctrl.h>

class CWnd;

class CStatusBar : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    // A visible bar with the id AFX_IDW_STATUS_BAR, where the frame looks for it.
    BOOL Create(CWnd* parent);
    // One pane per id; a pane's initial text is the string of its id (id 0:
    // empty). All panes start normal, 100 pixels wide.
    BOOL SetIndicators(const UINT* ids, int count);
    // SBPS_STRETCH gives the pane the width the others leave, at least width.
    // The id only names the pane for the caller; the bar keeps none.
    void SetPaneInfo(int index, UINT id, UINT style, int width);
    BOOL SetPaneText(int index, const std::string& text, BOOL update = TRUE);
    std::string GetPaneText(int index) const;
    int GetPaneCount() const { return m_hWnd ? Send<int>(SB_GETPARTS) : 0; }
    // Fits the bar to its parent's width and lays out the panes again.
    void RecalcPanes();
};
