#include "TreeCtrl.h"

HTREEITEM CTreeCtrl::InsertItem(const std::string& text, int image, int selectedImage,
                                HTREEITEM parent, HTREEITEM after) const {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return Send<HTREEITEM>(TVM_INSERTITEMA, 0, &insert);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) const {
    TVITEMA tvItem{};
    tvItem.mask = TVIF_PARAM;
    tvItem.hItem = item;
    tvItem.lParam = static_cast<LPARAM>(data);
    return Send<BOOL>(TVM_SETITEMA, 0, &tvItem);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
    TVITEMA tvItem{};
    tvItem.mask = TVIF_PARAM;
    tvItem.hItem = item;
    if (item == nullptr || !Send<LRESULT>(TVM_GETITEMA, 0, &tvItem))
        return 0;
    return static_cast<DWORD_PTR>(tvItem.lParam);
}

std::string CTreeCtrl::GetItemText(HTREEITEM item) const {
    constexpr int kItemTextCapacity = 1024;
    char buffer[kItemTextCapacity + 1] = {}; // terminated even if the tree fills it
    TVITEMA tvItem{};
    tvItem.mask = TVIF_TEXT;
    tvItem.hItem = item;
    tvItem.pszText = buffer;
    tvItem.cchTextMax = kItemTextCapacity;
    if (item == nullptr || !Send<LRESULT>(TVM_GETITEMA, 0, &tvItem))
        return std::string();
    return std::string(buffer);
}
