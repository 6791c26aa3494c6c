// Combo box (drop-down list).
#pragma once

#include "WindowHandle.h"

class CComboBox : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    // The new item's index, or CB_ERR / CB_ERRSPACE.
    int AddString(const std::string& text) const {
        return static_cast<int>(
            SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
    }
    int SetItemData(int index, DWORD_PTR data) const {
        return static_cast<int>(SendMessage(CB_SETITEMDATA, index, static_cast<LPARAM>(data)));
    }
    DWORD_PTR GetItemData(int index) const {
        return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, index));
    }
    // CB_ERR when index is out of range (-1 clears the selection).
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(CB_SETCURSEL, index)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    // The item's text, empty for an invalid index.
    std::string GetLBText(int index) const;
};
