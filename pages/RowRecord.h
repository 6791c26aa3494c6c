// The model record that a list row was filled from. A row keeps the index of
// its record as item data, and the model's arrays are re-read by other pages
// and by driver events, so the index is checked against the array as it is
// now; a row whose record is gone yields null.
#pragma once

#include "CRecordArray.h"
#include "ListCtrl.h"

#include <climits>

// The row's item data as an index, or -1 for no such row.
inline int RowIndex(const CListCtrl& list, int row) {
    if (row < 0 || row >= list.GetItemCount())
        return -1;
    DWORD_PTR index = list.GetItemData(row);
    return index > static_cast<DWORD_PTR>(INT_MAX) ? -1 : static_cast<int>(index);
}

template <typename Record>
Record* RowRecord(const CListCtrl& list, int row, const CRecordArray<Record>& records) {
    return records.GetAt(RowIndex(list, row));
}
