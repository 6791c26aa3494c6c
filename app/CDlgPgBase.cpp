#include "CDlgPgBase.h"

CDlgPgBase::CDlgPgBase(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_nTemplateID(templateId) {}

BOOL CDlgPgBase::Create(CWnd* parent) {
    return CDialog::Create(m_nTemplateID, parent);
}

void CDlgPgBase::OnOK() {}

void CDlgPgBase::OnCancel() {}
