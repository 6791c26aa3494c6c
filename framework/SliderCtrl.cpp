#include "SliderCtrl.h"

#include <commctrl.h>

void CSliderCtrl::SetRangeMin(int minimum, BOOL redraw) const {
    SendMessage(TBM_SETRANGEMIN, static_cast<WPARAM>(redraw), minimum);
}

void CSliderCtrl::SetRangeMax(int maximum, BOOL redraw) const {
    SendMessage(TBM_SETRANGEMAX, static_cast<WPARAM>(redraw), maximum);
}

int CSliderCtrl::GetRangeMin() const {
    return static_cast<int>(SendMessage(TBM_GETRANGEMIN));
}

int CSliderCtrl::GetRangeMax() const {
    return static_cast<int>(SendMessage(TBM_GETRANGEMAX));
}

void CSliderCtrl::SetTicFreq(int frequency) const {
    SendMessage(TBM_SETTICFREQ, static_cast<WPARAM>(frequency));
}

int CSliderCtrl::SetPageSize(int size) const {
    return static_cast<int>(SendMessage(TBM_SETPAGESIZE, 0, size));
}

int CSliderCtrl::SetLineSize(int size) const {
    return static_cast<int>(SendMessage(TBM_SETLINESIZE, 0, size));
}

void CSliderCtrl::SetPos(int position) const {
    SendMessage(TBM_SETPOS, TRUE, position);
}

int CSliderCtrl::GetPos() const {
    return static_cast<int>(SendMessage(TBM_GETPOS));
}
