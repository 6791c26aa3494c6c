#include "Dialog.h"

#include "WinApp.h"
#include "WindowPlacement.h"

#include <algorithm>
#include <vector>

namespace {

// The dialogs whose modal loops run now, the innermost last. Only the
// user-interface thread runs dialogs.
std::vector<CDialog*> runningModal;

// A dialog without a parent belongs to the application's main window.
HWND OwnerWindow(const CWnd* parent) {
    return parent != nullptr ? parent->m_hWnd : AfxGetMainWindow();
}

} // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal() {
    if (m_hWnd != nullptr)
        return -1;
    m_bModal = true;
    runningModal.push_back(this);
    const INT_PTR result = ::DialogBoxParamA(
        AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), OwnerWindow(m_pParentWnd),
        &CWnd::DialogProcedure, reinterpret_cast<LPARAM>(this));
    runningModal.erase(std::find(runningModal.begin(), runningModal.end(), this));
    m_bModal = false;
    return result;
}

CDialog* CDialog::InnermostModal() {
    return runningModal.empty() ? nullptr : runningModal.back();
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    return CreateDialogWindow(templateId, OwnerWindow(parent));
}

// Without this the dialog manager puts a modal dialog at its template's
// position relative to the owner's client area, which may be off screen.
BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    if (m_bModal)
        PlaceWindowOver(m_hWnd, ::GetWindow(m_hWnd, GW_OWNER));
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    const bool clicked = lParam == 0 || HIWORD(wParam) == BN_CLICKED;
    if (clicked && LOWORD(wParam) == IDOK) {
        OnOK();
        return TRUE;
    }
    if (clicked && LOWORD(wParam) == IDCANCEL) {
        OnCancel();
        return TRUE;
    }
    return FALSE;
}
