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

size_t ViewEventFixture::ModelChannels(bool input) {
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
