// The program's one shared view of the driver's settings: the records of the
// last refresh of each list, and the single values the pages edit before
// sending them back.
#pragma once

#include "CDriver.h"
#include "CRecordArray.h"

class CDriverSettings : public CDriver {
public:
    CDriverSettings();
    ~CDriverSettings() override;

    // Each list operation goes on past a failing entry, leaves it out, and
    // returns the status of the first failure (0 when none failed).
    uint32_t GetDevProp();
    uint32_t SetDevProp();
    uint32_t GetDevSynchModes();
    uint32_t SetDevSynchModes();
    // Fills channels from the output half of the channel list when output is
    // non-zero, else from the input half.
    uint32_t GetChanProp(CRecordArray<ChannelProperties>& channels, int output);

    uint32_t m_IncludeDeviceName;
    SynchSource m_SynchSource;
    CRecordArray<DeviceProperties> m_Devices;
    CRecordArray<DeviceSynchModes> m_DevSynchModes;
    CRecordArray<ChannelProperties> m_InChannels;
    CRecordArray<ChannelProperties> m_OutChannels;
    uint32_t m_SampleRateMode;
    SampleRates m_SampleRates;
};

extern CDriverSettings gDrv;
