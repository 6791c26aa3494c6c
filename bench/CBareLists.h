// Bare list views that hold what the pages' lists hold: the same styles,
// font, columns, rows, texts, item data and check boxes, each on a bare page
// of its own, shown or hidden as its model's page is, in a window of their
// own. Fill repeats the rows' insertion with nothing but the list calls, the
// way the pages fill their lists.
#pragma once

#include "ListCtrl.h"

#include <string>
#include <vector>

class CBareLists {
public:
    // Copies every list view inside the given window.
    explicit CBareLists(HWND source);
    ~CBareLists();
    CBareLists(const CBareLists&) = delete;
    CBareLists& operator=(const CBareLists&) = delete;

    void Fill();
    // One list's fill alone, the lists in the order they were found.
    void FillList(size_t index) const { FillOne(m_Lists[index]); }
    // The page dialog that holds the original of a list.
    HWND PageOf(size_t index) const { return m_Lists[index].Page; }
    // Paints what is waiting to be painted, as a reload's end does.
    void Paint() const;
    // Marks every list as to be painted in full.
    void InvalidateAll() const;
    size_t ListCount() const { return m_Lists.size(); }
    size_t RowCount() const;

private:
    struct Row {
        std::vector<std::string> Texts;
        DWORD_PTR Data;
        bool Checked;
    };
    struct List {
        CListCtrl Control;
        HWND Page;
        bool CheckBoxes;
        std::vector<Row> Rows;
    };

    static BOOL CALLBACK CollectList(HWND child, LPARAM self);
    void Copy(HWND original);
    static void FillOne(const List& list);

    HWND m_hWnd = nullptr;
    std::vector<List> m_Lists;
};
