// The driver requests of one operation, recorded from the simulated driver's
// log and sent again through gDrv exactly as they were: the same codes, inputs
// and answer sizes, without any window work around them.
#pragma once

#include "Simulator.h"

#include <cstddef>
#include <vector>

class CRequestReplay {
public:
    explicit CRequestReplay(std::vector<SimLogEntry> requests);

    void Send();
    size_t Count() const { return m_Requests.size(); }

private:
    std::vector<SimLogEntry> m_Requests;
    std::vector<uint8_t> m_Answer;
};
