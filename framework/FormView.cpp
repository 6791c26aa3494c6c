#include "FormView.h"

#include "FrameWnd.h"

#include <algorithm>

CFormView::CFormView(UINT templateId) : m_nIDTemplate(templateId) {}

BOOL CFormView::CreateView(CFrameWnd* frame, UINT id, CDocument* document) {
    m_pDocument = document;
    if (frame == nullptr || !CreateDialogWindow(m_nIDTemplate, frame->m_hWnd))
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(id));
    RECT rect{};
    GetWindowRect(&rect);
    m_formSize = {rect.right - rect.left, rect.bottom - rect.top};
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CFormView::ResizeParentToFit(bool shrinkOnly) {
    CFrameWnd* frame = GetParentFrame();
    if (frame == nullptr)
        return;
    RECT client{};
    frame->GetClientRect(&client);
    RECT window{};
    frame->GetWindowRect(&window);
    LONG width = m_formSize.cx;
    LONG height = m_formSize.cy + frame->GetStatusBarHeight();
    if (shrinkOnly) {
        width = std::min(width, client.right - client.left);
        height = std::min(height, client.bottom - client.top);
    }
    const LONG frameWidth = (window.right - window.left) - (client.right - client.left) + width;
    const LONG frameHeight = (window.bottom - window.top) - (client.bottom - client.top) + height;
    frame->SetWindowPos(nullptr, 0, 0, frameWidth, frameHeight,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    frame->RecalcLayout();
}

BOOL CFormView::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.style = (cs.style & ~static_cast<LONG>(WS_POPUP | WS_CAPTION | WS_THICKFRAME)) |
               static_cast<LONG>(WS_CHILD | WS_BORDER);
    cs.dwExStyle |= WS_EX_CONTROLPARENT;
    return TRUE;
}
