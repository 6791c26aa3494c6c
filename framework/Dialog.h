// A dialog built from a template, modal (DoModal) or modeless (Create).
// IDOK and IDCANCEL commands (Enter, Escape, the close button, buttons 1 and
// 2) call OnOK and OnCancel; a page overrides both to do nothing.
#pragma once

#include "Wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog modally, owned by the parent or else by the
    // application's main window, and opens it centred over its owner inside
    // the owner's work area. The result of EndDialog, -1 on failure.
    virtual INT_PTR DoModal();
    // Creates the dialog modeless, as a child or owned window of parent.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    // The dialog whose modal loop runs innermost on this thread now, or null.
    static CDialog* InnermostModal();

protected:
    // Writes the members into the controls and places a modal dialog over its
    // owner; TRUE lets the system set the focus.
    BOOL OnInitDialog() override;
    // Reads the controls into the members and ends with IDOK (stays open if
    // a control of the exchange is missing).
    virtual void OnOK();
    virtual void OnCancel() { EndDialog(IDCANCEL); }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    bool m_bModal = false;
};
