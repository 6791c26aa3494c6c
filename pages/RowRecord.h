// The model record that a list row was filled from. A row keeps the index of
// its record as item data, and the model's arrays are re-read by other pages
// and by driver events, so the index is checked against the array as it is
// now; a row whose record is gone yields null.
#pragma once

#include "CRecordArray.h"
#include "ListCtrl.h"

#include <climits>

template <typename Record>
Record* RowRecord(const CListCtrl& list, int row, const CRecordArray<Record>& records) {
    if (row < 0)
        return nullptr;
    DWORD_PTR index = list.GetItemData(row);
    if (index > static_cast<DWORD_PTR>(INT_MAX))
        return nullptr;
    return records.GetAt(static_cast<int>(index));
}
