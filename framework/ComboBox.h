// Combo box (drop-down list).
#pragma once

#include "WindowHandle.h"

class CComboBox : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    // The new item's index, or CB_ERR / CB_ERRSPACE.
    int AddString(const std::string& text) const;
    int SetItemData(int index, DWORD_PTR data) const;
    DWORD_PTR GetItemData(int index) const;
    // CB_ERR when index is out of range (-1 clears the selection).
    int SetCurSel(int index) const;
    int GetCurSel() const;
    int GetCount() const;
    void ResetContent() const;
    // The item's text, empty for an invalid index.
    std::string GetLBText(int index) const;
};
