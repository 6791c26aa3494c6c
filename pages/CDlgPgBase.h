// Base of every settings page: a modeless child dialog that lives in the
// navigation view for the whole run and is only ever shown or hidden.
//
// A page is a control of the view's dialog: Tab, the arrow keys and the
// mnemonics run over the tree and the visible page together, and never reach
// a hidden page.
#pragma once

#include "Dialog.h"

#include <initializer_list>

class CDlgPgBase : public CDialog {
public:
    CDlgPgBase(UINT templateId, CWnd* parent);

    // Creates the page's window from its template as a child of parent; the
    // page's OnInitDialog runs during this call.
    BOOL Create(CWnd* parent);

    // Re-reads what the page shows from the driver; edits not yet applied
    // are lost.
    virtual void UpdatePage() = 0;

    // The window that holds the page was shown or hidden. A hidden page
    // learns of its own showing and hiding from WM_SHOWWINDOW; of its
    // holder's, only from this.
    virtual void OnHostShown(bool) {}

    // A page with a list says in it why it is empty, as the driver's state
    // is now; the view calls it when that state changes without a reload.
    virtual void ShowWhyEmpty() {}

    // The page's keys are the view's: the view's dialog manager handles them.
    BOOL PreTranslateMessage(MSG* msg) override;

    const UINT m_nTemplateID;

protected:
    // The page is a control of the view's dialog (DS_CONTROL).
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    // Enter, Escape and controls with the ids 1 and 2 never end a page.
    void OnOK() override;
    void OnCancel() override;

    // Enables or disables a control. A control that disables itself while it
    // has the focus hands the focus on to the first of successors that can
    // take it, else to the page's first tab stop, so that the keyboard is
    // never left on a disabled control.
    void EnableControl(HWND control, BOOL enable, std::initializer_list<HWND> successors = {});

    // Tells the window that holds the page (see PageMessages.h).
    void TellParent(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // LVN_DELETEALLITEMS of a page's list: a refill empties the list without
    // telling the page of every row it takes out.
    void OnDeleteAllItems(NMHDR*, LRESULT* result) { *result = TRUE; }
};
