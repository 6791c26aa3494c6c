#include "View.h"

#include "FrameWnd.h"

CFrameWnd* CView::GetParentFrame() const {
    for (HWND hWnd = GetParent(); hWnd != nullptr; hWnd = ::GetParent(hWnd))
        if (CFrameWnd* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hWnd)))
            return frame;
    return nullptr;
}
