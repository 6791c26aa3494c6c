// An image list that this object owns and destroys.
#pragma once

#include <windows.h>
#include <commctrl.h>

class CImageList {
public:
    HIMAGELIST m_hImageList = nullptr;

    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Replaces any list this object held.
    BOOL Create(int cx, int cy, UINT flags, int initial, int grow) {
        DeleteImageList();
        m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
        return m_hImageList != nullptr;
    }
    // The new image's index, or -1.
    int Add(HICON icon) { return m_hImageList ? ::ImageList_AddIcon(m_hImageList, icon) : -1; }
    int GetImageCount() const { return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0; }
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }
    void DeleteImageList() {
        if (m_hImageList != nullptr)
            ::ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }
};
