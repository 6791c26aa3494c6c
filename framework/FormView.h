// A view built from a child dialog template (modeless, bound through the
// shared dialog procedure), with data exchange like a dialog. A form larger
// than the frame can give it scrolls, and the control that takes the focus
// scrolls into view.
#pragma once

#include "View.h"

class CFormView : public CView {
public:
    explicit CFormView(UINT templateId);
    ~CFormView() override;

    BOOL CreateView(CFrameWnd* frame, UINT id, CDocument* document) override;
    void OnInitialUpdate() override { UpdateData(FALSE); }

    // Sizes the parent frame so that its client area holds exactly the form
    // and the status bar, growing or shrinking, as far as the work area of
    // its monitor allows; the form scrolls in what is left.
    void ResizeParentToFit();

    // The form's size at the DPI it is laid out for: the template's, scaled
    // from the DPI it was made at.
    SIZE FormSize() const;
    // The form is laid out anew for this DPI (its window moved to a monitor
    // of another DPI); its size and scroll steps follow.
    void SetLayoutDpi(UINT dpi) { m_dpi = dpi; }
    UINT LayoutDpi() const { return m_dpi; }

    // How far the form is scrolled, in pixels.
    POINT ScrollPosition() const { return m_scroll; }
    // Scrolls the form to this position, kept inside its range.
    void ScrollTo(POINT position);
    // Scrolls as little as needed for the descendant window to lie inside the
    // client area (its top left corner first when it is larger).
    void ScrollIntoView(HWND descendant);

protected:
    // cs.style may be changed (for example WS_BORDER removed) before the
    // form's window is created.
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    // Shows the scroll bars the client area needs for the form, or none.
    void UpdateScrollBars();

    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

    UINT m_nIDTemplate;

private:
    void OnSize() { UpdateScrollBars(); }
    void OnHScroll(UINT code, UINT, HWND) { OnScroll(SB_HORZ, code); }
    void OnVScroll(UINT code, UINT, HWND) { OnScroll(SB_VERT, code); }
    void OnScroll(int bar, UINT code);
    LRESULT OnMouseWheel(WPARAM wParam, LPARAM lParam);

    SIZE m_formSize{};  // the form's window size as the template made it
    UINT m_formDpi = 0; // the DPI the template was made at
    UINT m_dpi = 0;     // the DPI the form is laid out for
    POINT m_scroll{};
    bool m_updatingBars = false;
    HHOOK m_focusHook = nullptr;
};
