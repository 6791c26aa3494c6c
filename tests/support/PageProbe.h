// Reads a page's controls and lists, and acts on them, by control id: what a
// person sees on the page and does to it.
#pragma once

#include "UiActions.h"

#include <windows.h>

#include <string>
#include <vector>

class PageProbe {
public:
    explicit PageProbe(HWND page = nullptr) : m_page(page) {}

    HWND Item(int id) const { return ::GetDlgItem(m_page, id); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    // The control's own visibility, whether or not the page is shown.
    bool Shown(int id) const { return (::GetWindowLongA(Item(id), GWL_STYLE) & WS_VISIBLE) != 0; }
    std::string Text(int id) const { return ChildText(m_page, id); }
    bool Checked(int id) const {
        return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }

    int Rows(int list) const { return ListRowCount(Item(list)); }
    std::string Cell(int list, int row, int column) const {
        return ListCellText(Item(list), row, column);
    }
    std::vector<std::string> Column(int list, int column) const {
        std::vector<std::string> texts;
        for (int row = 0; row < Rows(list); ++row)
            texts.push_back(Cell(list, row, column));
        return texts;
    }
    // The check box of every row, top down.
    std::vector<bool> Checks(int list) const {
        std::vector<bool> checks;
        for (int row = 0; row < Rows(list); ++row)
            checks.push_back(ListRowChecked(Item(list), row));
        return checks;
    }
    int Selected(int list) const { return ListSelectedRow(Item(list)); }

    std::vector<std::string> ComboItems(int combo) const { return ComboItemTexts(Item(combo)); }
    int ComboCount(int combo) const { return static_cast<int>(ComboItems(combo).size()); }
    int ComboSelected(int combo) const { return ComboSelection(Item(combo)); }

    void Select(int list, int row) const { SelectListRow(Item(list), row); }
    void Click(int id) const { ClickButton(m_page, id); }
    void DoubleClick(int list, int row) const { DoubleClickListRow(Item(list), row); }

private:
    HWND m_page;
};
