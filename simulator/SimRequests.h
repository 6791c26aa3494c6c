// The simulated driver's answers: one handler per control code, with the
// buffer sizes the driver insists on.
#pragma once

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
    struct Entry {
        uint32_t Code;
        DWORD InSize;
        DWORD OutSize;
        uint32_t (CSimRequests::*Handler)(Call&);
    };
    static const Entry s_Entries[];

    CSimModel& m_Model;
    CSimConnections& m_Connections;

    static const Entry* Find(uint32_t code);
    template <typename T> static T Input(const Call& call);
    template <typename T> static uint32_t Reply(Call& call, const T& record);
    AudioBufferDepth AudioRecord(const SimBuffer& buffer) const;
    uint32_t AdoptAudioDepth(SimBuffer& buffer, const Call& call);

    uint32_t GetInterfaceVersion(Call& call);
    uint32_t GetIncludeDeviceName(Call& call);
    uint32_t SetIncludeDeviceName(Call& call);
    uint32_t RegisterNotificationEvent(Call& call);
    uint32_t GetNotification(Call& call);
    uint32_t GetDeviceList(Call& call);
    uint32_t GetChannelList(Call& call);
    uint32_t GetSynchSource(Call& call);
    uint32_t SetSynchSource(Call& call);
    uint32_t GetSampleRateMode(Call& call);
    uint32_t SetSampleRateMode(Call& call);
    uint32_t GetSampleRates(Call& call);
    uint32_t SetSampleRate(Call& call);
    uint32_t GetDeviceSynchMode(Call& call);
    uint32_t SetDeviceSynchMode(Call& call);
    uint32_t GetDeviceProperties(Call& call);
    uint32_t SetDeviceProperties(Call& call);
    uint32_t GetStreamStatus(Call& call);
    uint32_t GetChannelProperties(Call& call);
    uint32_t SetChannelProperties(Call& call);
    uint32_t StartStreaming(Call& call);
    uint32_t StopStreaming(Call& call);
    uint32_t GetStreamBufferDepth(Call& call);
    uint32_t SetStreamBufferDepth(Call& call);
    uint32_t GetAsioBufferDepth(Call& call);
    uint32_t SetAsioBufferDepth(Call& call);
    uint32_t GetWdmBufferDepth(Call& call);
    uint32_t SetWdmBufferDepth(Call& call);
    uint32_t GetAsioStatistics(Call& call);
};
