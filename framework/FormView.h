// A view built from a child dialog template (modeless, bound through the
// shared dialog procedure), with data exchange like a dialog.
#pragma once

#include "View.h"

class CFormView : public CView {
public:
    explicit CFormView(UINT templateId);

    BOOL CreateView(CFrameWnd* frame, UINT id, CDocument* document) override;
    void OnInitialUpdate() override { UpdateData(FALSE); }

    // Sizes the parent frame so that its client area fits the form and the
    // status bar; with shrinkOnly the frame never grows in either direction.
    void ResizeParentToFit(bool shrinkOnly = true);

protected:
    // cs.style may be changed (for example WS_BORDER removed) before the
    // form's window is created.
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    UINT m_nIDTemplate;

private:
    SIZE m_formSize{}; // the form's window size as the template made it
};
