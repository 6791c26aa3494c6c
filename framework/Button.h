// Push button, check box or radio button.
#pragma once

#include "WindowHandle.h"

class CButton : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    int GetCheck() const { return Send<int>(BM_GETCHECK); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};
