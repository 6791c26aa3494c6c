// Combo box (drop-down list).
#pragma once

#include "WindowHandle.h"

#include <vector>

class CComboBox : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    // The new item's index, or CB_ERR / CB_ERRSPACE.
    int AddString(const std::string& text) const {
        return Send<int>(CB_ADDSTRING, 0, text.c_str());
    }
    int SetItemData(int index, DWORD_PTR data) const {
        return Send<int>(CB_SETITEMDATA, index, static_cast<LPARAM>(data));
    }
    DWORD_PTR GetItemData(int index) const { return Send<DWORD_PTR>(CB_GETITEMDATA, index); }
    // CB_ERR when index is out of range (-1 clears the selection).
    int SetCurSel(int index) const { return Send<int>(CB_SETCURSEL, index); }
    int GetCurSel() const { return Send<int>(CB_GETCURSEL); }
    int GetCount() const { return Send<int>(CB_GETCOUNT); }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    // The item's text, empty for an invalid index.
    std::string GetLBText(int index) const {
        const int length = Send<int>(CB_GETLBTEXTLEN, index);
        if (length <= 0)
            return std::string();
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        const int copied = Send<int>(CB_GETLBTEXT, index, buffer.data());
        return std::string(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
    }
};
