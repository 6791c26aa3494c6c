#include "DataExchange.h"

#include "Wnd.h"

CDataExchange::CDataExchange(CWnd* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    if (control == nullptr)
        m_failed = true;
    return control;
}

void DDX_Control(CDataExchange* pDX, int id, CWindowHandle& control) {
    if (HWND hWnd = pDX->PrepareCtrl(id))
        control.Attach(hWnd);
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    HWND hWnd = pDX->PrepareCtrl(id);
    if (hWnd == nullptr)
        return;
    CWindowHandle control(hWnd);
    if (pDX->m_bSaveAndValidate)
        value = control.GetWindowText();
    else
        control.SetWindowText(value);
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    HWND hWnd = pDX->PrepareCtrl(id);
    if (hWnd == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hWnd, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hWnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
    HWND first = pDX->PrepareCtrl(id);
    if (first == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (HWND button = first; button != nullptr; button = ::GetWindow(button, GW_HWNDNEXT)) {
        if (button != first && (::GetWindowLongPtrA(button, GWL_STYLE) & WS_GROUP) != 0)
            break;
        if ((::SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) == 0)
            continue;
        if (!pDX->m_bSaveAndValidate)
            ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        else if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED && value == -1)
            value = index;
        ++index;
    }
}
