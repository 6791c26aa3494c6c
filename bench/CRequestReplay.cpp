#include "CRequestReplay.h"

#include "CDriverSettings.h"

#include <algorithm>
#include <utility>

CRequestReplay::CRequestReplay(std::vector<SimLogEntry> requests)
    : m_Requests(std::move(requests)) {
    DWORD largest = 0;
    for (const SimLogEntry& request : m_Requests)
        largest = std::max(largest, request.OutSize);
    m_Answer.resize(largest);
}

void CRequestReplay::Send() {
    for (SimLogEntry& request : m_Requests) {
        DWORD returned = 0;
        gDrv.SendRequest(request.Code, request.Input.empty() ? nullptr : request.Input.data(),
                         static_cast<DWORD>(request.Input.size()),
                         request.OutSize ? m_Answer.data() : nullptr, request.OutSize, &returned);
    }
}
