#include "CDlgEditDeviceName.h"

#include "resource.h"

static_assert(sizeof(DeviceProperties::DeviceName) == CDlgEditName::kNameSize);

CDlgEditDeviceName::CDlgEditDeviceName(DeviceProperties* pDevice, CWnd* pParent)
    : CDlgEditName(IDD_EDIT_DEVICE_NAME, IDC_DEVICE_NAME_EDIT, pDevice->DeviceName, pParent) {}
