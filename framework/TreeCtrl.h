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
    BOOL SelectItem(HTREEITEM item) const {
        return static_cast<BOOL>(
            SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetSelectedItem() const {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, TVGN_CARET));
    }
    UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }
    BOOL DeleteAllItems() const {
        return static_cast<BOOL>(
            SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
    }
    // The previous list of that kind. The tree does not own the list.
    HIMAGELIST SetImageList(CImageList* list, int kind = TVSIL_NORMAL) const {
        return reinterpret_cast<HIMAGELIST>(SendMessage(
            TVM_SETIMAGELIST, kind, reinterpret_cast<LPARAM>(list ? list->m_hImageList : nullptr)));
    }
};
