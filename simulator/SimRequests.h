// The simulated driver's answers: one handler per control code.
#pragma once

#include "DriverRequests.h"
#include "SimConnections.h"
#include "SimModel.h"

#include <windows.h>

class CSimRequests {
public:
    CSimRequests(CSimModel& model, CSimConnections& connections);

    // Runs one request on an open handle; returns its status. On success the
    // reply is copied to out and its size stored in returned.
    uint32_t Run(HANDLE handle, uint32_t code, const void* in, DWORD inSize, void* out,
                 DWORD outSize, DWORD& returned);

private:
    struct Call {
        HANDLE Handle;
        const void* In;
        void* Out;
    };
    using Handler = uint32_t (CSimRequests::*)(Call&);

    CSimModel& m_Model;
    CSimConnections& m_Connections;

    template <typename T> static T Input(const Call& call);
    template <typename T> static uint32_t Reply(Call& call, const T& record);
    AudioBufferDepth AudioRecord(const SimBuffer& buffer) const;
    uint32_t AdoptAudioDepth(SimBuffer& buffer, const Call& call);

    // One handler per request, named after it. The sizes the driver insists
    // on are the request's own.
#define DEMTREL_SIM_HANDLER(name, function, in, out) uint32_t name(Call& call);
    DEMTREL_DRIVER_REQUESTS(DEMTREL_SIM_HANDLER)
#undef DEMTREL_SIM_HANDLER
    static const Handler s_Handlers[];
};
