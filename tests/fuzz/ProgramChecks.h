// What must hold of the program however the driver answered: lists no
// longer than their records can count, texts no longer than their fields,
// model arrays of whole records only, no dialog left open, sound heaps.
// Each breach is one line of text; none means the program passed.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

class CIXO_CPLView;

class ProgramChecks {
public:
    // Everything after an iteration.
    void CheckProgram(const CIXO_CPLView& view);
    // A dialog of the program while it is open: its list and edit texts.
    void CheckDialog(HWND dialog);

    // A list view holds at most capacity rows, and column i of each row at
    // most widths[i] characters.
    void CheckList(HWND list, const char* name, int capacity, std::initializer_list<size_t> widths);
    // Every array of gDrv: within capacity, each element a separate heap
    // block of exactly its record's size.
    void CheckModel();
    // No dialog box or message box of this thread is open.
    void CheckNoDialogOpen();
    // Every heap of the process validates.
    void CheckHeaps();

    void Fail(const std::string& breach) { m_Breaches.push_back(breach); }
    const std::vector<std::string>& Breaches() const { return m_Breaches; }

private:
    void CheckText(HWND control, const char* name, size_t width);

    std::vector<std::string> m_Breaches;
};
