#include "TreeCtrl.h"

#include "ImageList.h"

#include <vector>

namespace {

constexpr int kItemTextCapacity = 1024;

} // namespace

HTREEITEM CTreeCtrl::InsertItem(const std::string& text, int image, int selectedImage,
                                HTREEITEM parent, HTREEITEM after) const {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    return reinterpret_cast<HTREEITEM>(
        SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) const {
    TVITEMA tvItem{};
    tvItem.mask = TVIF_PARAM;
    tvItem.hItem = item;
    tvItem.lParam = static_cast<LPARAM>(data);
    return static_cast<BOOL>(SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tvItem)));
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
    TVITEMA tvItem{};
    tvItem.mask = TVIF_PARAM;
    tvItem.hItem = item;
    if (item == nullptr || !SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvItem)))
        return 0;
    return static_cast<DWORD_PTR>(tvItem.lParam);
}

std::string CTreeCtrl::GetItemText(HTREEITEM item) const {
    std::vector<char> buffer(kItemTextCapacity, '\0');
    TVITEMA tvItem{};
    tvItem.mask = TVIF_TEXT;
    tvItem.hItem = item;
    tvItem.pszText = buffer.data();
    tvItem.cchTextMax = kItemTextCapacity;
    if (item == nullptr || !SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tvItem)))
        return std::string();
    buffer.back() = '\0';
    return std::string(buffer.data());
}

BOOL CTreeCtrl::SelectItem(HTREEITEM item) const {
    return static_cast<BOOL>(
        SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM CTreeCtrl::GetSelectedItem() const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0));
}

UINT CTreeCtrl::GetCount() const {
    return static_cast<UINT>(SendMessage(TVM_GETCOUNT));
}

BOOL CTreeCtrl::DeleteAllItems() const {
    return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
}

HIMAGELIST CTreeCtrl::SetImageList(CImageList* list, int kind) const {
    HIMAGELIST handle = list != nullptr ? list->GetSafeHandle() : nullptr;
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(handle)));
}
