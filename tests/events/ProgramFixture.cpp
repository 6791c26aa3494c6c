#include "ProgramFixture.h"

#include "CDriverSettings.h"
#include "CIXO_CPLApp.h"
#include "DriverCodes.h"
#include "MessagePump.h"
#include "resource.h"

#include <commctrl.h>
#include <dbt.h>

#include <cstddef>
#include <cstring>

void ProgramFixture::SetUp() {
    sim.Reset();
}

void ProgramFixture::TearDown() {
    CWinApp* app = AfxGetApp();
    if (app->m_pMainWnd)
        app->m_pMainWnd->DestroyWindow();
    app->ExitInstance();
    sim.Reset();
}

void ProgramFixture::OpenProgram() {
    CIXO_CPLApp* app = CIXO_CPLApp::FromApp();
    ASSERT_NE(nullptr, app);
    app->m_nCmdShow = SW_SHOW;
    ASSERT_TRUE(app->CreateMainWindow());
    frame = CMainFrame::FromApp();
    view = CIXO_CPLView::FromApp();
    ASSERT_NE(nullptr, frame);
    ASSERT_NE(nullptr, view);
    PumpMessages(20);
}

void ProgramFixture::OpenProgramWithoutDriver() {
    sim.SetDriverPresent(false);
    OpenProgram();
    sim.SetDriverPresent(true);
}

LRESULT ProgramFixture::DeviceChange(WPARAM event, const std::string& interfaceName) {
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    std::vector<char> bytes(nameOffset + interfaceName.size() + 1);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(bytes.data());
    record->dbcc_size = static_cast<DWORD>(bytes.size());
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_classguid = CIXO_CPLView::DriverInterfaceClass;
    std::memcpy(bytes.data() + nameOffset, interfaceName.c_str(), interfaceName.size() + 1);
    return ::SendMessageA(view->m_hWnd, WM_DEVICECHANGE, event,
                          reinterpret_cast<LPARAM>(bytes.data()));
}

std::vector<uint32_t> ProgramFixture::OneReload() {
    sim.ClearLog();
    view->UpdateAllPages();
    std::vector<uint32_t> codes = Logged();
    sim.ClearLog();
    return codes;
}

std::vector<uint32_t> ProgramFixture::Logged() const {
    return MarkedCodes(sim.Log());
}

bool ProgramFixture::PumpUntilDrained(DWORD timeoutMs) {
    const ULONGLONG until = ::GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages();
        for (const SimLogEntry& entry : sim.Log()) {
            if (entry.Code == DriverRequest::GetNotification &&
                entry.Status == DRVSTATUS_NO_MORE_NOTIFICATIONS) {
                PumpMessages(100);
                return true;
            }
        }
        if (::GetTickCount64() >= until)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

int ProgramFixture::ListRows(const CDlgPgBase& page, int listId) {
    return static_cast<int>(
        ::SendMessageA(::GetDlgItem(page.m_hWnd, listId), LVM_GETITEMCOUNT, 0, 0));
}

int ProgramFixture::ComboItems(const CDlgPgBase& page, int comboId) {
    return static_cast<int>(::SendMessageA(::GetDlgItem(page.m_hWnd, comboId), CB_GETCOUNT, 0, 0));
}

size_t ProgramFixture::ModelChannels(bool input) {
    size_t count = 0;
    for (const SimChannel& channel : sim.Model().Channels)
        count += channel.Input == input ? 1 : 0;
    return count;
}

std::vector<uint32_t> MarkedCodes(const std::vector<SimLogEntry>& log) {
    std::vector<uint32_t> codes;
    for (const SimLogEntry& entry : log) {
        if (entry.Code != DriverRequest::GetNotification)
            codes.push_back(entry.Code);
        else
            codes.push_back(entry.Status == DRVSTATUS_NO_MORE_NOTIFICATIONS ? kQueueEmpty
                                                                            : kTookEvent);
    }
    return codes;
}

std::vector<uint32_t> Sequence(std::initializer_list<std::vector<uint32_t>> pieces) {
    std::vector<uint32_t> all;
    for (const std::vector<uint32_t>& piece : pieces)
        all.insert(all.end(), piece.begin(), piece.end());
    return all;
}
