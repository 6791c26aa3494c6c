#include "ViewEventFixture.h"

#include "DeviceNotification.h"
#include "DriverCodes.h"
#include "MessagePump.h"

LRESULT ViewEventFixture::DeviceChange(WPARAM event, const std::string& interfaceName) {
    return SendDeviceInterfaceChange(view->m_hWnd, event, CIXO_CPLView::DriverInterfaceClass,
                                     interfaceName);
}

std::vector<uint32_t> ViewEventFixture::OneReload() {
    sim.ClearLog();
    view->UpdateAllPages();
    std::vector<uint32_t> codes = Logged();
    sim.ClearLog();
    return codes;
}

std::vector<uint32_t> ViewEventFixture::Logged() const {
    return MarkedCodes(sim.Log());
}

bool ViewEventFixture::PumpUntilDrained(DWORD timeoutMs) {
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

std::vector<uint32_t> MarkedCodes(const std::vector<SimLogEntry>& log) {
    std::vector<uint32_t> codes;
    for (const SimLogEntry& entry : log) {
        if (entry.Code == DriverRequest::GetAsioStatistics)
            continue; // the drop-out poll follows the clock
        if (entry.Code != DriverRequest::GetNotification)
            codes.push_back(entry.Code);
        else
            codes.push_back(entry.Status == DRVSTATUS_NO_MORE_NOTIFICATIONS ? kQueueEmpty
                                                                            : kTookEvent);
    }
    return codes;
}
