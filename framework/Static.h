// Static text or picture; its text is the window text.
#pragma once

#include "WindowHandle.h"

class CStatic : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;
};
