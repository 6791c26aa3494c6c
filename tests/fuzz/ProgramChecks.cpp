#include "ProgramChecks.h"

#include "CDriverSettings.h"
#include "CIXO_CPLView.h"
#include "DialogCloser.h"
#include "HeapCheck.h"
#include "ResString.h"
#include "SynchTexts.h"
#include "UiActions.h"
#include "resource.h"

#include <commctrl.h>
#include <malloc.h>

#include <algorithm>
#include <cstring>

namespace {

// A text field is read up to its terminator, but never past the field: a
// driver that sent none gets the whole field shown.
constexpr size_t kName = 40;
constexpr size_t kSerialNumber = 384;
constexpr size_t kAsioName = 32;
constexpr int kDevices = 64;
constexpr int kChannels = 256;
constexpr int kModes = 16;
constexpr int kRates = 8;

// The longest text a synchronisation mode can show: a kind's text and a
// name of the whole field.
size_t LongestModeText() {
    SynchMode mode{};
    std::memset(mode.Name, 'x', kName);
    size_t longest = 0;
    for (uint32_t kind = 0; kind < 8; ++kind) {
        mode.Kind = kind;
        longest = std::max(longest, GetSynchModeText(mode).size());
    }
    return longest;
}

template <typename Record>
void CheckArray(ProgramChecks& checks, const CRecordArray<Record>& records, const char* name,
                int capacity) {
    if (records.GetSize() > capacity)
        checks.Fail(std::string(name) + " holds " + std::to_string(records.GetSize()) +
                    " records, more than " + std::to_string(capacity));
    std::vector<const Record*> seen;
    for (int i = 0; i < records.GetSize(); ++i) {
        const Record* record = records.GetAt(i);
        if (!record) {
            checks.Fail(std::string(name) + " holds a null record");
            continue;
        }
        if (std::find(seen.begin(), seen.end(), record) != seen.end())
            checks.Fail(std::string(name) + " holds one record twice");
        seen.push_back(record);
        const size_t size = _msize(const_cast<Record*>(record));
        if (size != sizeof(Record))
            checks.Fail(std::string(name) + " holds a block of " + std::to_string(size) +
                        " bytes for a record of " + std::to_string(sizeof(Record)));
    }
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM found) {
    if (IsTopLevelDialog(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

} // namespace

void ProgramChecks::CheckProgram(const CIXO_CPLView& view) {
    const size_t pcDriver = LoadResString(IDS_PC_DRIVER).size();
    CheckList(::GetDlgItem(view.m_PgDevices.m_hWnd, IDC_DEVICE_LIST), "device list", kDevices,
              {kName, kSerialNumber});
    for (const CDlgPgChannels* page : {&view.m_PgInChannels, &view.m_PgOutChannels}) {
        CheckList(::GetDlgItem(page->m_hWnd, IDC_CHANNEL_LIST), "channel list", kChannels,
                  {kName, kName, kAsioName});
        // A blank, then the hardware name.
        CheckText(::GetDlgItem(page->m_hWnd, IDC_HARDWARE_NAME), "hardware name", kName + 1);
    }
    CheckList(::GetDlgItem(view.m_PgSamplingRate.m_hWnd, IDC_SYNCH_LIST), "clock master list",
              kDevices + 1, {0, std::max(kName, pcDriver), LongestModeText()});
    HWND rates = ::GetDlgItem(view.m_PgSamplingRate.m_hWnd, IDC_SAMPLING_RATE_COMBO);
    const LRESULT rateCount = ::SendMessageA(rates, CB_GETCOUNT, 0, 0);
    if (rateCount > kRates)
        Fail("sampling rate box holds " + std::to_string(rateCount) + " rates");
    CheckList(::GetDlgItem(view.m_PgStreams.m_hWnd, IDC_STREAM_LIST), "stream list", kDevices,
              {kName});
    CheckModel();
    CheckNoDialogOpen();
    CheckHeaps();
}

void ProgramChecks::CheckDialog(HWND dialog) {
    CheckText(::GetDlgItem(dialog, IDC_DEVICE_NAME_EDIT), "device name box", kName);
    CheckText(::GetDlgItem(dialog, IDC_CHANNEL_NAME_EDIT), "channel name box", kName);
    HWND modes = ::GetDlgItem(dialog, IDC_SYNCH_LIST);
    if (modes)
        CheckList(modes, "mode list", kModes, {0, LongestModeText()});
}

void ProgramChecks::CheckList(HWND list, const char* name, int capacity,
                              std::initializer_list<size_t> widths) {
    const int rows = ListRowCount(list);
    if (rows > capacity)
        Fail(std::string(name) + " shows " + std::to_string(rows) + " rows, more than " +
             std::to_string(capacity));
    for (int row = 0; row < rows; ++row) {
        int column = 0;
        for (size_t width : widths) {
            const std::string text = ListCellText(list, row, column);
            if (width && text.size() > width)
                Fail(std::string(name) + " row " + std::to_string(row) + " column " +
                     std::to_string(column) + " shows " + std::to_string(text.size()) +
                     " characters, more than " + std::to_string(width));
            ++column;
        }
    }
}

void ProgramChecks::CheckText(HWND control, const char* name, size_t width) {
    if (!control)
        return;
    const int length = ::GetWindowTextLengthA(control);
    if (length > static_cast<int>(width))
        Fail(std::string(name) + " shows " + std::to_string(length) + " characters, more than " +
             std::to_string(width));
}

void ProgramChecks::CheckModel() {
    CheckArray(*this, gDrv.m_Devices, "m_Devices", kDevices);
    CheckArray(*this, gDrv.m_DevSynchModes, "m_DevSynchModes", kDevices);
    CheckArray(*this, gDrv.m_InChannels, "m_InChannels", kChannels);
    CheckArray(*this, gDrv.m_OutChannels, "m_OutChannels", kChannels);
}

void ProgramChecks::CheckNoDialogOpen() {
    std::vector<HWND> open;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&open));
    for (HWND dialog : open) {
        char caption[128] = {};
        ::GetWindowTextA(dialog, caption, sizeof caption);
        Fail(std::string("dialog \"") + caption + "\" is still open");
    }
}

void ProgramChecks::CheckHeaps() {
    const int broken = BrokenHeap();
    if (broken >= 0)
        Fail("heap " + std::to_string(broken) + " does not validate");
}
