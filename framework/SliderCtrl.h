// Trackbar. Its WM_HSCROLL reaches the parent's message map.
#pragma once

#include "WindowHandle.h"

class CSliderCtrl : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    void SetRangeMin(int minimum, BOOL redraw = FALSE) const;
    void SetRangeMax(int maximum, BOOL redraw = FALSE) const;
    int GetRangeMin() const;
    int GetRangeMax() const;
    void SetTicFreq(int frequency) const;
    int SetPageSize(int size) const;
    int SetLineSize(int size) const;
    void SetPos(int position) const;
    int GetPos() const;
};
