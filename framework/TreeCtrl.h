// Tree view.
#pragma once

#include "ImageList.h"
#include "WindowHandle.h"

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
    BOOL SelectItem(HTREEITEM item) const { return Send<BOOL>(TVM_SELECTITEM, TVGN_CARET, item); }
    HTREEITEM GetSelectedItem() const { return Send<HTREEITEM>(TVM_GETNEXTITEM, TVGN_CARET); }
    UINT GetCount() const { return Send<UINT>(TVM_GETCOUNT); }
    BOOL DeleteAllItems() const { return Send<BOOL>(TVM_DELETEITEM, 0, TVI_ROOT); }
    // The previous list of that kind. The tree does not own the list.
    HIMAGELIST SetImageList(CImageList* list, int kind = TVSIL_NORMAL) const {
        return Send<HIMAGELIST>(TVM_SETIMAGELIST, kind, list ? list->m_hImageList : nullptr);
    }
};
