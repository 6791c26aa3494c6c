#include "DataExchange.h"

#include "Button.h"
#include "Wnd.h"

CDataExchange::CDataExchange(CWnd* dialog, BOOL saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

HWND CDataExchange::PrepareCtrl(int id) {
    HWND control = m_pDlgWnd->ChildById(id);
    m_failed = m_failed || control == nullptr;
    return control;
}

// The control is the child that has its id now; the dialog remembers where
// it found each one.
void DDX_Control(CDataExchange* pDX, int id, CWindowHandle& control) {
    if (HWND hWnd = pDX->PrepareCtrl(id))
        control.Attach(hWnd);
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
    const CWindowHandle control(pDX->PrepareCtrl(id));
    if (control.m_hWnd == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = control.GetWindowText();
    else if (control.GetWindowText() != value) // a text set again repaints for nothing
        control.SetWindowText(value);
}

void DDX_Check(CDataExchange* pDX, int id, int& value) {
    const CButton button(pDX->PrepareCtrl(id));
    if (button.m_hWnd == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = button.GetCheck();
    else
        button.SetCheck(value);
}

void DDX_Radio(CDataExchange* pDX, int id, int& value) {
    HWND first = pDX->PrepareCtrl(id);
    if (first != nullptr && pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (CButton button(first); button.m_hWnd != nullptr;
         button.m_hWnd = ::GetWindow(button.m_hWnd, GW_HWNDNEXT)) {
        if (button.m_hWnd != first && (button.GetStyle() & WS_GROUP) != 0)
            break;
        if ((button.Send<UINT>(WM_GETDLGCODE) & DLGC_RADIOBUTTON) == 0)
            continue;
        if (!pDX->m_bSaveAndValidate) {
            // Setting a radio button's check also gives the checked one alone
            // a tab stop, and walks its group window by window: a button
            // already left that way is left alone.
            const bool checked = index == value;
            const bool tabStop = (button.GetStyle() & WS_TABSTOP) != 0;
            if ((button.GetCheck() == BST_CHECKED) != checked || tabStop != checked)
                button.SetCheck(checked ? BST_CHECKED : BST_UNCHECKED);
        } else if (button.GetCheck() == BST_CHECKED && value == -1) {
            value = index;
        }
        ++index;
    }
}
