// Tree view.
#pragma once

#include "WindowHandle.h"

#include <commctrl.h>

class CImageList;

class CTreeCtrl : public CWindowHandle {
public:
    using CWindowHandle::CWindowHandle;

    // The new item, or null.
    HTREEITEM InsertItem(const std::string& text, int image, int selectedImage,
                         HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST) const;
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data) const;
    DWORD_PTR GetItemData(HTREEITEM item) const;
    std::string GetItemText(HTREEITEM item) const;
    // Makes item the selection (TVGN_CARET); the parent gets TVN_SELCHANGED.
    BOOL SelectItem(HTREEITEM item) const;
    HTREEITEM GetSelectedItem() const;
    UINT GetCount() const;
    BOOL DeleteAllItems() const;
    // The previous list of that kind. The tree does not own the list.
    HIMAGELIST SetImageList(CImageList* list, int kind = TVSIL_NORMAL) const;
};
