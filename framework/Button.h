// Push button, check box or radio button.
#pragma once

#include "WindowHandle.h"

class CButton : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    int GetCheck() const;
    void SetCheck(int check) const;
};
