// Dialog data exchange: a window's DoDataExchange calls the DDX_ functions
// for its controls; the direction comes from UpdateData.
#pragma once

#include <windows.h>

#include <string>

class CWindowHandle;
class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate);

    // TRUE: controls to members; FALSE: members to controls.
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    // The control with this id; a missing control marks the exchange failed.
    HWND PrepareCtrl(int id);
    bool Failed() const { return m_failed; }

private:
    bool m_failed = false;
};

// Attaches the wrapper to the control (both directions).
void DDX_Control(CDataExchange* pDX, int id, CWindowHandle& control);
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// BST_UNCHECKED 0, BST_CHECKED 1, BST_INDETERMINATE 2.
void DDX_Check(CDataExchange* pDX, int id, int& value);
// The group of radio buttons that starts at id and ends before the next
// control with WS_GROUP: value is the index of the checked one, -1 for none.
void DDX_Radio(CDataExchange* pDX, int id, int& value);
