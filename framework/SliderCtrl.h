// Trackbar. Its WM_HSCROLL reaches the parent's message map.
#pragma once

#include "WindowHandle.h"

#include <commctrl.h>

class CSliderCtrl : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    void SetRangeMin(int minimum, BOOL redraw = FALSE) const {
        SendMessage(TBM_SETRANGEMIN, redraw, minimum);
    }
    void SetRangeMax(int maximum, BOOL redraw = FALSE) const {
        SendMessage(TBM_SETRANGEMAX, redraw, maximum);
    }
    int GetRangeMin() const { return Send<int>(TBM_GETRANGEMIN); }
    int GetRangeMax() const { return Send<int>(TBM_GETRANGEMAX); }
    void SetTicFreq(int frequency) const { SendMessage(TBM_SETTICFREQ, frequency); }
    int SetPageSize(int size) const { return Send<int>(TBM_SETPAGESIZE, 0, size); }
    int SetLineSize(int size) const { return Send<int>(TBM_SETLINESIZE, 0, size); }
    void SetPos(int position) const { SendMessage(TBM_SETPOS, TRUE, position); }
    int GetPos() const { return Send<int>(TBM_GETPOS); }
};
