#include "ImageList.h"

CImageList::~CImageList() {
    DeleteImageList();
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

int CImageList::Add(HICON icon) {
    return m_hImageList != nullptr ? ::ImageList_AddIcon(m_hImageList, icon) : -1;
}

int CImageList::GetImageCount() const {
    return m_hImageList != nullptr ? ::ImageList_GetImageCount(m_hImageList) : 0;
}

void CImageList::DeleteImageList() {
    if (m_hImageList != nullptr) {
        ::ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }
}
