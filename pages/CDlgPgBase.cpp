#include "CDlgPgBase.h"

namespace {

bool CanTakeFocus(HWND hWnd) {
    return hWnd != nullptr && ::IsWindowVisible(hWnd) && ::IsWindowEnabled(hWnd);
}

// The dialog whose manager moves the focus: the view's form when the page
// lives in one, else the page itself.
HWND DialogManagerOf(HWND page) {
    HWND parent = ::GetParent(page);
    return parent != nullptr && CWindowHandle(parent).IsDialog() ? parent : page;
}

} // namespace

CDlgPgBase::CDlgPgBase(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_nTemplateID(templateId) {}

BOOL CDlgPgBase::Create(CWnd* parent) {
    return CDialog::Create(m_nTemplateID, parent);
}

BOOL CDlgPgBase::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CDlgPgBase::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CDialog::PreCreateWindow(cs))
        return FALSE;
    cs.style |= DS_CONTROL;
    return TRUE;
}

void CDlgPgBase::OnOK() {}

void CDlgPgBase::OnCancel() {}

void CDlgPgBase::TellParent(UINT message, WPARAM wParam, LPARAM lParam) const {
    ::SendMessageA(::GetParent(m_hWnd), message, wParam, lParam);
}

void CDlgPgBase::EnableControl(HWND control, BOOL enable, std::initializer_list<HWND> successors) {
    // A reload sets every control again; one that is as it should be costs
    // nothing then (under Wine, asking for the focus and enabling a window
    // each go to the server).
    if (control == nullptr || (::IsWindowEnabled(control) != FALSE) == (enable != FALSE))
        return;
    const bool hadFocus = ::GetFocus() == control;
    ::EnableWindow(control, enable);
    if (enable || !hadFocus)
        return;
    HWND next = nullptr;
    for (HWND successor : successors) {
        if (CanTakeFocus(successor)) {
            next = successor;
            break;
        }
    }
    if (next == nullptr)
        next = ::GetNextDlgTabItem(m_hWnd, nullptr, FALSE);
    // Through the dialog manager, so that a push button that had the focus
    // gives up its default look.
    if (next != nullptr && next != control)
        ::SendMessageA(DialogManagerOf(m_hWnd), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next),
                       TRUE);
}
