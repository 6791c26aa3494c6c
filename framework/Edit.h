// Edit control; its text is the window text.
#pragma once

#include "WindowHandle.h"

class CEdit : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;
};
