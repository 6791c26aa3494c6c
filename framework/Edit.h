// Edit control; its text is the window text.
#pragma once

#include "WindowHandle.h"

class CEdit : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    // At most maxChars characters can be typed or pasted.
    void LimitText(int maxChars) const;
};
