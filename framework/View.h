// The frame's client: shows the document. It is created by the frame as its
// child with the id AFX_IDW_PANE_FIRST.
#pragma once

#include "Wnd.h"

class CDocument;
class CFrameWnd;

class CView : public CWnd {
public:
    CDocument* GetDocument() const { return m_pDocument; }
    // The frame the view lives in, or null.
    CFrameWnd* GetParentFrame() const;

    // Runs after the frame and view exist and before the frame is first shown,
    // and again for every new document.
    virtual void OnInitialUpdate() {}

    // Creates the view's window as a child of the frame.
    virtual BOOL CreateView(CFrameWnd* frame, UINT id, CDocument* document) = 0;

    // The window that takes the focus when the frame has none to give back
    // (first activation, or the last focused control has gone): the view.
    virtual HWND InitialFocus() const { return m_hWnd; }

protected:
    CDocument* m_pDocument = nullptr;
};
