// An image list that this object owns and destroys.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CImageList {
public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Replaces any list this object held.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // The new image's index, or -1.
    int Add(HICON icon);
    int GetImageCount() const;
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    void DeleteImageList();
};
