#include "SimRequests.h"

#include "DriverCodes.h"

#include <cstring>
#include <iterator>
#include <vector>

namespace {
// The drop-out counter grows on every this many statistics reads.
constexpr uint32_t DropOutInterval = 5;

void CopyText(char* field, size_t size, const std::string& text) {
    memset(field, 0, size);
    memcpy(field, text.data(), text.size() < size ? text.size() : size - 1);
}
} // namespace

// Every request of the interface has a handler of its own name, in the
// order of the interface's list.
const CSimRequests::Handler CSimRequests::s_Handlers[] = {
#define DEMTREL_SIM_HANDLER(name, function, in, out) &CSimRequests::name,
    DEMTREL_DRIVER_REQUESTS(DEMTREL_SIM_HANDLER)
#undef DEMTREL_SIM_HANDLER
};

CSimRequests::CSimRequests(CSimModel& model, CSimConnections& connections)
    : m_Model(model), m_Connections(connections) {}

uint32_t CSimRequests::Run(HANDLE handle, uint32_t code, const void* in, DWORD inSize, void* out,
                           DWORD outSize, DWORD& returned) {
    returned = 0;
    const DriverRequestInfo* request = FindDriverRequest(code);
    if (!request)
        return ERROR_INVALID_FUNCTION;
    if (inSize < request->InSize)
        return ERROR_INVALID_PARAMETER;
    if (outSize < request->OutSize)
        return ERROR_INSUFFICIENT_BUFFER;
    // Like buffered I/O: the handler works on a system buffer that reaches the
    // caller only when the request succeeds.
    std::vector<uint8_t> input(static_cast<const uint8_t*>(in),
                               static_cast<const uint8_t*>(in) + request->InSize);
    // One spare byte keeps the buffer real for requests without a reply.
    std::vector<uint8_t> output(request->OutSize + 1, 0);
    Call call{handle, input.data(), output.data()};
    static_assert(std::size(s_Handlers) == std::size(kDriverRequests));
    const Handler handler = s_Handlers[request - kDriverRequests];
    const uint32_t status = (this->*handler)(call);
    if (status != DRVSTATUS_SUCCESS)
        return status;
    if (request->OutSize)
        memcpy(out, output.data(), request->OutSize);
    returned = request->OutSize;
    return DRVSTATUS_SUCCESS;
}

template <typename T> T CSimRequests::Input(const Call& call) {
    T record;
    memcpy(&record, call.In, sizeof(T));
    return record;
}

template <typename T> uint32_t CSimRequests::Reply(Call& call, const T& record) {
    memcpy(call.Out, &record, sizeof(T));
    return DRVSTATUS_SUCCESS;
}

AudioBufferDepth CSimRequests::AudioRecord(const SimBuffer& buffer) const {
    AudioBufferDepth record{};
    record.Depth = buffer.Depth;
    record.MinDepth = buffer.MinDepth;
    record.Step = buffer.Step;
    record.Samples = m_Model.Samples(buffer.Depth);
    return record;
}

uint32_t CSimRequests::AdoptAudioDepth(SimBuffer& buffer, const Call& call) {
    const AudioBufferDepth record = Input<AudioBufferDepth>(call);
    if (record.Depth < buffer.MinDepth || record.Depth > buffer.MaxDepth)
        return ERROR_INVALID_PARAMETER;
    buffer.Depth = record.Depth;
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::GetInterfaceVersion(Call& call) {
    DriverVersion version{};
    version.Major = m_Model.VersionMajor;
    version.Minor = m_Model.VersionMinor;
    return Reply(call, version);
}

uint32_t CSimRequests::GetIncludeDeviceName(Call& call) {
    return Reply(call, IncludeDeviceName{m_Model.IncludeDeviceName});
}

uint32_t CSimRequests::SetIncludeDeviceName(Call& call) {
    m_Model.IncludeDeviceName = Input<IncludeDeviceName>(call).Value;
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::RegisterNotificationEvent(Call& call) {
    return m_Connections.Register(call.Handle, Input<uint32_t>(call)) ? DRVSTATUS_SUCCESS
                                                                      : ERROR_INVALID_HANDLE;
}

uint32_t CSimRequests::GetNotification(Call& call) {
    Notification notification{};
    if (!m_Connections.Pop(call.Handle, notification))
        return DRVSTATUS_NO_MORE_NOTIFICATIONS;
    return Reply(call, notification);
}

uint32_t CSimRequests::GetDeviceList(Call& call) {
    DeviceList list{};
    for (const SimDevice& device : m_Model.Devices)
        if (list.Count < CSimModel::MaxDevices)
            list.DeviceIds[list.Count++] = device.Id;
    return Reply(call, list);
}

uint32_t CSimRequests::GetChannelList(Call& call) {
    ChannelList list{};
    list.Inputs = m_Model.ChannelIds(true);
    list.Outputs = m_Model.ChannelIds(false);
    return Reply(call, list);
}

uint32_t CSimRequests::GetSynchSource(Call& call) {
    return Reply(call, m_Model.Source);
}

uint32_t CSimRequests::SetSynchSource(Call& call) {
    const SynchSource source = Input<SynchSource>(call);
    if (source.SourceKind > 1 ||
        (source.SourceKind == 1 && !m_Model.FindDevice(source.MasterDeviceId)))
        return ERROR_INVALID_PARAMETER;
    m_Model.Source = source;
    if (source.SourceKind == 0)
        m_Model.Source.MasterDeviceId = 0;
    m_Connections.Queue(EvtType_DomainConfigurationChanged);
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::GetSampleRateMode(Call& call) {
    return Reply(call, ParamValue{0, m_Model.SampleRateMode});
}

uint32_t CSimRequests::SetSampleRateMode(Call& call) {
    const uint32_t mode = Input<ParamValue>(call).Value;
    if (mode > 1)
        return ERROR_INVALID_PARAMETER;
    m_Model.SampleRateMode = mode;
    m_Connections.Queue(EvtType_DomainConfigurationChanged);
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::GetSampleRates(Call& call) {
    SampleRates rates{};
    rates.CurrentRate = m_Model.CurrentRate;
    for (uint32_t rate : CSimModel::Rates)
        rates.Rates[rates.RateCount++] = rate;
    return Reply(call, rates);
}

uint32_t CSimRequests::SetSampleRate(Call& call) {
    const uint32_t rate = Input<ParamValue>(call).Value;
    if (m_Model.WdmDeviceInUse)
        return DRVSTATUS_WDM_DEVICE_IN_USE;
    if (!CSimModel::IsSupportedRate(rate))
        return DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED;
    m_Model.SetRate(rate);
    m_Connections.Queue(EvtType_StreamingRestarted);
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::GetDeviceSynchMode(Call& call) {
    const SimDevice* device = m_Model.FindDevice(Input<uint32_t>(call));
    if (!device)
        return ERROR_INVALID_PARAMETER;
    DeviceSynchModes modes{};
    modes.DeviceId = device->Id;
    modes.Current = device->Current;
    for (const SynchMode& mode : device->Modes)
        if (modes.ModeCount < 16)
            modes.Modes[modes.ModeCount++] = mode;
    return Reply(call, modes);
}

uint32_t CSimRequests::SetDeviceSynchMode(Call& call) {
    const SynchModeSelection selection = Input<SynchModeSelection>(call);
    SimDevice* device = m_Model.FindDevice(selection.DeviceId);
    if (!device)
        return ERROR_INVALID_PARAMETER;
    for (const SynchMode& mode : device->Modes) {
        if (mode.Kind == selection.Kind && mode.ModeId == selection.ModeId) {
            device->Current = mode;
            m_Connections.Queue(EvtType_DomainConfigurationChanged);
            return DRVSTATUS_SUCCESS;
        }
    }
    return ERROR_INVALID_PARAMETER;
}

uint32_t CSimRequests::GetDeviceProperties(Call& call) {
    const SimDevice* device = m_Model.FindDevice(Input<uint32_t>(call));
    if (!device)
        return ERROR_INVALID_PARAMETER;
    DeviceProperties properties{};
    properties.DeviceId = device->Id;
    properties.Rank = m_Model.RankOf(device->Id);
    CopyText(properties.DeviceName, sizeof(properties.DeviceName), device->Name);
    CopyText(properties.SerialNumber, sizeof(properties.SerialNumber), device->SerialNumber);
    const size_t behind = strlen(properties.SerialNumber) + 1;
    CopyText(properties.SerialNumber + behind, sizeof(properties.SerialNumber) - behind,
             device->DriverData);
    return Reply(call, properties);
}

uint32_t CSimRequests::SetDeviceProperties(Call& call) {
    const DeviceProperties properties = Input<DeviceProperties>(call);
    SimDevice* device = m_Model.FindDevice(properties.DeviceId);
    if (!device)
        return ERROR_INVALID_PARAMETER;
    device->Name = FieldText(properties.DeviceName);
    m_Model.SetRank(properties.DeviceId, properties.Rank);
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::GetStreamStatus(Call& call) {
    const SimDevice* device = m_Model.FindDevice(Input<uint32_t>(call));
    if (!device)
        return ERROR_INVALID_PARAMETER;
    if (m_Model.Streaming)
        return Reply(call, device->Stream);
    // Stopped streams hold no isochronous resources: every plug is
    // unconnected (state 0, no stream, no rate) until streaming starts again
    // and connects them anew. What a plug supports stays.
    StreamStatus stopped = device->Stream;
    for (PlugStatus* plug :
         {&stopped.AudioOut, &stopped.AudioIn, &stopped.SynchOut, &stopped.SynchIn}) {
        plug->State = 0;
        plug->ErrorCode = 0;
        plug->StreamNumber = 0;
        plug->SampleRate = 0;
    }
    return Reply(call, stopped);
}

uint32_t CSimRequests::GetChannelProperties(Call& call) {
    const SimChannel* channel = m_Model.FindChannel(Input<uint32_t>(call));
    if (!channel)
        return ERROR_INVALID_PARAMETER;
    ChannelProperties properties{};
    // The first word carries the channel's id, so that a record sent back
    // names its channel by itself.
    properties.Reserved0 = channel->Id;
    properties.DeviceId = channel->DeviceId;
    properties.Reserved8 = channel->Input ? 0 : 1;
    CopyText(properties.HardwareName, sizeof(properties.HardwareName), channel->HardwareName);
    CopyText(properties.ChannelName, sizeof(properties.ChannelName), channel->Name);
    return Reply(call, properties);
}

uint32_t CSimRequests::SetChannelProperties(Call& call) {
    const ChannelProperties properties = Input<ChannelProperties>(call);
    SimChannel* channel = m_Model.FindChannel(properties.Reserved0);
    if (!channel)
        return ERROR_INVALID_PARAMETER;
    channel->Name = FieldText(properties.ChannelName);
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::StartStreaming(Call&) {
    m_Model.Streaming = true;
    m_Connections.Queue(EvtType_StreamingRestarted);
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::StopStreaming(Call&) {
    m_Model.Streaming = false;
    m_Connections.Queue(EvtType_StreamingRestarted);
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::GetStreamBufferDepth(Call& call) {
    const SimBuffer& buffer = m_Model.StreamBuffer;
    StreamBufferDepth record{};
    record.MinDepth = buffer.MinDepth;
    record.Reserved4 = buffer.MaxDepth;
    record.Step = buffer.Step;
    record.Depth = buffer.Depth;
    return Reply(call, record);
}

uint32_t CSimRequests::SetStreamBufferDepth(Call& call) {
    const StreamBufferDepth record = Input<StreamBufferDepth>(call);
    SimBuffer& buffer = m_Model.StreamBuffer;
    if (record.Depth < buffer.MinDepth || record.Depth > buffer.MaxDepth)
        return ERROR_INVALID_PARAMETER;
    buffer.Depth = record.Depth;
    return DRVSTATUS_SUCCESS;
}

uint32_t CSimRequests::GetAsioBufferDepth(Call& call) {
    return Reply(call, AudioRecord(m_Model.AsioBuffer));
}

uint32_t CSimRequests::SetAsioBufferDepth(Call& call) {
    const uint32_t status = AdoptAudioDepth(m_Model.AsioBuffer, call);
    if (status == DRVSTATUS_SUCCESS)
        m_Connections.Queue(EvtType_AsioBufferSizeChanged);
    return status;
}

uint32_t CSimRequests::GetWdmBufferDepth(Call& call) {
    return Reply(call, AudioRecord(m_Model.WdmBuffer));
}

uint32_t CSimRequests::SetWdmBufferDepth(Call& call) {
    return AdoptAudioDepth(m_Model.WdmBuffer, call);
}

uint32_t CSimRequests::GetAsioStatistics(Call& call) {
    if (++m_Model.StatisticsReads % DropOutInterval == 0 && m_Model.DropOutsGrow)
        ++m_Model.DropOuts;
    AsioStatistics statistics{};
    statistics.DropOuts = m_Model.DropOuts;
    return Reply(call, statistics);
}
