// Base of every settings page: a modeless child dialog that lives in the
// navigation view for the whole run and is only ever shown or hidden.
//
// Every page class also offers a public UpdatePage() that re-reads what it
// shows from the driver; the view calls it on the concrete classes.
#pragma once

#include "Dialog.h"

class CDlgPgBase : public CDialog {
public:
    CDlgPgBase(UINT templateId, CWnd* parent);

    // Creates the page's window from its template as a child of parent; the
    // page's OnInitDialog runs during this call.
    BOOL Create(CWnd* parent);

    const UINT m_nTemplateID;

protected:
    // Enter, Escape and controls with the ids 1 and 2 never end a page.
    void OnOK() override;
    void OnCancel() override;
};
