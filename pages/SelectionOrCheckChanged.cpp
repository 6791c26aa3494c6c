#include "SelectionOrCheckChanged.h"

#include <commctrl.h>

bool SelectionOrCheckChanged(const NMHDR* header) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const UINT changedState = change->uNewState ^ change->uOldState;
    return (change->uChanged & LVIF_STATE) != 0 &&
           (changedState & (LVIS_SELECTED | LVIS_STATEIMAGEMASK)) != 0;
}
