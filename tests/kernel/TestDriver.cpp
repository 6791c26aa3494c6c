// The test driver: a kernel driver standing in for the FireWire audio driver,
// so that the release program, whose only road to the driver is
// driver/Win32Transport.cpp, runs against a real device under Wine. Wine loads
// it into winedevice.exe as a kernel service; tools/kernel-driver installs and
// starts it.
//
// It makes the device and the link \DosDevices\{73516540-...} that the program
// opens, and answers the program's requests (DriverCodes.h, DriverRecords.h)
// from a small state of its own: two devices with a few channels. It answers as
// the simulated driver does: a code it does not know fails with
// STATUS_INVALID_DEVICE_REQUEST (ERROR_INVALID_FUNCTION), a short input with
// STATUS_INVALID_PARAMETER, a short output buffer with STATUS_BUFFER_TOO_SMALL
// (ERROR_INSUFFICIENT_BUFFER), an unknown id or a value out of range with
// STATUS_INVALID_PARAMETER, an unsupported rate with the driver's own code.
//
// Slow, stalled and failing requests: REG_DWORD values under the service's
// Parameters key, read anew for every request, so that a test can change them
// while the program runs. NNN is a function number in hex (GetDeviceProperties
// is A48); "All" stands for every request; a request's own value wins.
//   DelayNNN, DelayAll  the request completes this many ms after it came: it is
//                       marked pending and answered at its time, from the state
//                       of that moment
//   FailNNN, FailAll    the request completes with this status in place of its
//                       answer, after its delay; the caller's last error is the
//                       driver's own 0xE00000xx as it is, or a system status's
//                       Win32 error
//   IgnoreCancel = 1    a delayed request ignores cancellation and the closing of
//                       its handle, and completes only at its time
// Otherwise a delayed request completes at once with STATUS_CANCELLED when it is
// cancelled (CancelIoEx) or its handle is closed. Examples, set with
// tools/kernel-driver set NAME VALUE:
//   DelayA48 3000                      GetDeviceProperties takes 3 s
//   DelayAll 60000 and IgnoreCancel 1  every request stalls 60 s, cancelled or not
//   FailA18 0xE0000013                 GetDeviceList fails with "not open"
//
// Notifications: Wine runs the driver in a process of its own, where the event
// handle that the program registers names nothing. The driver cannot signal it,
// so it queues no notifications and GetNotification always reports none left.
#include "DriverCodes.h"
#include "DriverRecords.h"

// MinGW's kernel header defines these two itself, after its header of compiler
// intrinsics did; C++ refuses the second definition, so the first is left out.
#define __INTRINSIC_DEFINED_InterlockedBitTestAndSet
#define __INTRINSIC_DEFINED_InterlockedBitTestAndReset
#include <ntddk.h>

namespace {

// --- The state ---------------------------------------------------------------

constexpr uint32_t kRates[] = {32000, 44100, 48000, 88200, 96000, 176400, 192000};
constexpr uint32_t kRateCount = sizeof kRates / sizeof kRates[0];

struct Buffer {
    uint32_t Depth;
    uint32_t MinDepth;
    uint32_t MaxDepth;
    uint32_t Step;
};

struct Device {
    uint32_t Id;
    uint32_t Rank; // as last written; the order follows it
    char Name[40];
    char SerialNumber[384]; // the serial number, its terminator, then driver data
    uint32_t ModeCount;
    SynchMode Modes[3];
    uint32_t CurrentMode; // an index into Modes
};

struct Channel {
    uint32_t Id;
    uint32_t DeviceId;
    bool Input;
    char HardwareName[40];
    char Name[40];
};

constexpr uint32_t kStudio = 0x2A4D0001;
constexpr uint32_t kMobile = 0x2A4D0002;
constexpr size_t kDeviceCount = 2;

struct State {
    Device Devices[kDeviceCount];
    Channel Channels[10];
    SynchSource Source;
    uint32_t SampleRateMode;
    uint32_t CurrentRate;
    uint32_t IncludeDeviceName;
    bool Streaming;
    Buffer StreamBuffer;
    Buffer AsioBuffer;
    Buffer WdmBuffer;
};

// Every start of the driver begins with this state; requests that set
// something change it.
State g_State = {
    {
        {kStudio,
         0,
         "Tarnet Studio 10",
         "TS10-2301-0042\0fw 2.04",
         3,
         {{1, 1, ""}, {4, 2, "S/PDIF"}, {5, 3, "Word Clock"}},
         0},
        {kMobile, 1, "Tarnet Mobile 4", "TM04-2209-0815\0fw 1.12", 2, {{1, 1, ""}, {3, 2, ""}}, 1},
    },
    {
        {0x00C10001, kStudio, true, "Analog In 1", "Vocal"},
        {0x00C10002, kStudio, true, "Analog In 2", "Guitar"},
        {0x00C10003, kStudio, true, "Analog In 3", "Analog In 3"},
        {0x00C10004, kStudio, true, "Analog In 4", "Analog In 4"},
        {0x00C10005, kStudio, false, "Analog Out 1", "Main L"},
        {0x00C10006, kStudio, false, "Analog Out 2", "Main R"},
        {0x00C10007, kMobile, true, "Analog In 1", "Analog In 1"},
        {0x00C10008, kMobile, true, "Analog In 2", "Analog In 2"},
        {0x00C10009, kMobile, false, "Phones Out L", "Phones L"},
        {0x00C1000A, kMobile, false, "Phones Out R", "Phones R"},
    },
    {0, 1, kStudio},
    0,
    48000,
    1,
    true,
    {2000, 500, 10000, 250},
    {4000, 1000, 40000, 500},
    {10000, 2000, 40000, 1000},
};

// Guards the state and the list of pending requests.
KSPIN_LOCK g_Lock;

template <size_t N> void CopyField(char (&field)[N], const char (&text)[N]) {
    memcpy(field, text, N);
    field[N - 1] = '\0';
}

Device* FindDevice(uint32_t id) {
    for (Device& device : g_State.Devices)
        if (device.Id == id)
            return &device;
    return nullptr;
}

Channel* FindChannel(uint32_t id) {
    for (Channel& channel : g_State.Channels)
        if (channel.Id == id)
            return &channel;
    return nullptr;
}

// The devices ordered by the ranks written; a tie keeps their own order.
void RankOrder(const Device* (&order)[kDeviceCount]) {
    for (size_t i = 0; i < kDeviceCount; ++i) {
        size_t place = i;
        for (; place > 0 && order[place - 1]->Rank > g_State.Devices[i].Rank; --place)
            order[place] = order[place - 1];
        order[place] = &g_State.Devices[i];
    }
}

uint32_t PlaceOf(const Device& device) {
    const Device* order[kDeviceCount];
    RankOrder(order);
    uint32_t place = 0;
    while (order[place] != &device)
        ++place;
    return place;
}

bool IsSupportedRate(uint32_t rate) {
    for (uint32_t supported : kRates)
        if (supported == rate)
            return true;
    return false;
}

// --- The requests ------------------------------------------------------------

// Each answer reads its input record from In and writes its reply, already
// zeroed, to Out; both hold the record's size at least.
using Answer = NTSTATUS (*)(const void* in, void* out);

template <typename T> T Input(const void* in) {
    T record;
    memcpy(&record, in, sizeof record);
    return record;
}

template <typename T> NTSTATUS Reply(void* out, const T& record) {
    memcpy(out, &record, sizeof record);
    return STATUS_SUCCESS;
}

NTSTATUS GetInterfaceVersion(const void*, void* out) {
    DriverVersion version{};
    version.Major = 2;
    version.Minor = 12;
    return Reply(out, version);
}

NTSTATUS GetIncludeDeviceName(const void*, void* out) {
    return Reply(out, IncludeDeviceName{g_State.IncludeDeviceName});
}

NTSTATUS SetIncludeDeviceName(const void* in, void*) {
    g_State.IncludeDeviceName = Input<IncludeDeviceName>(in).Value;
    return STATUS_SUCCESS;
}

// The event handle is taken as sent: see the top of this file.
NTSTATUS RegisterNotificationEvent(const void*, void*) {
    return STATUS_SUCCESS;
}

NTSTATUS GetNotification(const void*, void*) {
    return static_cast<NTSTATUS>(DRVSTATUS_NO_MORE_NOTIFICATIONS);
}

NTSTATUS GetDeviceList(const void*, void* out) {
    const Device* order[kDeviceCount];
    RankOrder(order);
    DeviceList list{};
    for (const Device* device : order)
        list.DeviceIds[list.Count++] = device->Id;
    return Reply(out, list);
}

// The channels of one direction, grouped by device in rank order.
ChannelIdList ChannelIds(bool input) {
    const Device* order[kDeviceCount];
    RankOrder(order);
    ChannelIdList list{};
    for (const Device* device : order)
        for (const Channel& channel : g_State.Channels)
            if (channel.DeviceId == device->Id && channel.Input == input)
                list.ChannelIds[list.Count++] = channel.Id;
    return list;
}

NTSTATUS GetChannelList(const void*, void* out) {
    ChannelList list{};
    list.Inputs = ChannelIds(true);
    list.Outputs = ChannelIds(false);
    return Reply(out, list);
}

NTSTATUS GetSynchSource(const void*, void* out) {
    return Reply(out, g_State.Source);
}

NTSTATUS SetSynchSource(const void* in, void*) {
    SynchSource source = Input<SynchSource>(in);
    if (source.SourceKind > 1 || (source.SourceKind == 1 && !FindDevice(source.MasterDeviceId)))
        return STATUS_INVALID_PARAMETER;
    if (source.SourceKind == 0)
        source.MasterDeviceId = 0;
    g_State.Source = source;
    return STATUS_SUCCESS;
}

NTSTATUS GetSampleRateMode(const void*, void* out) {
    return Reply(out, ParamValue{0, g_State.SampleRateMode});
}

NTSTATUS SetSampleRateMode(const void* in, void*) {
    const uint32_t mode = Input<ParamValue>(in).Value;
    if (mode > 1)
        return STATUS_INVALID_PARAMETER;
    g_State.SampleRateMode = mode;
    return STATUS_SUCCESS;
}

NTSTATUS GetSampleRates(const void*, void* out) {
    SampleRates rates{};
    rates.CurrentRate = g_State.CurrentRate;
    for (uint32_t rate : kRates)
        rates.Rates[rates.RateCount++] = rate;
    return Reply(out, rates);
}

NTSTATUS SetSampleRate(const void* in, void*) {
    const uint32_t rate = Input<ParamValue>(in).Value;
    if (!IsSupportedRate(rate))
        return static_cast<NTSTATUS>(DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED);
    g_State.CurrentRate = rate;
    return STATUS_SUCCESS;
}

NTSTATUS GetDeviceSynchMode(const void* in, void* out) {
    const Device* device = FindDevice(Input<uint32_t>(in));
    if (!device)
        return STATUS_INVALID_PARAMETER;
    DeviceSynchModes modes{};
    modes.DeviceId = device->Id;
    modes.Current = device->Modes[device->CurrentMode];
    modes.ModeCount = device->ModeCount;
    for (uint32_t i = 0; i < device->ModeCount; ++i)
        modes.Modes[i] = device->Modes[i];
    return Reply(out, modes);
}

NTSTATUS SetDeviceSynchMode(const void* in, void*) {
    const SynchModeSelection selection = Input<SynchModeSelection>(in);
    Device* device = FindDevice(selection.DeviceId);
    if (!device)
        return STATUS_INVALID_PARAMETER;
    for (uint32_t i = 0; i < device->ModeCount; ++i) {
        if (device->Modes[i].Kind == selection.Kind &&
            device->Modes[i].ModeId == selection.ModeId) {
            device->CurrentMode = i;
            return STATUS_SUCCESS;
        }
    }
    return STATUS_INVALID_PARAMETER;
}

NTSTATUS GetDeviceProperties(const void* in, void* out) {
    const Device* device = FindDevice(Input<uint32_t>(in));
    if (!device)
        return STATUS_INVALID_PARAMETER;
    DeviceProperties properties{};
    properties.DeviceId = device->Id;
    properties.Rank = PlaceOf(*device);
    memcpy(properties.DeviceName, device->Name, sizeof properties.DeviceName);
    memcpy(properties.SerialNumber, device->SerialNumber, sizeof properties.SerialNumber);
    return Reply(out, properties);
}

NTSTATUS SetDeviceProperties(const void* in, void*) {
    const DeviceProperties properties = Input<DeviceProperties>(in);
    Device* device = FindDevice(properties.DeviceId);
    if (!device)
        return STATUS_INVALID_PARAMETER;
    CopyField(device->Name, properties.DeviceName);
    device->Rank = properties.Rank;
    return STATUS_SUCCESS;
}

// Every device streams out and in at the current rate while streaming runs;
// stopped, its plugs are unconnected and keep only the rates they support.
NTSTATUS GetStreamStatus(const void* in, void* out) {
    const Device* device = FindDevice(Input<uint32_t>(in));
    if (!device)
        return STATUS_INVALID_PARAMETER;
    const uint32_t stream = 2 * static_cast<uint32_t>(device - g_State.Devices);
    StreamStatus status{};
    PlugStatus* plugs[] = {&status.AudioOut, &status.AudioIn};
    for (uint32_t i = 0; i < 2; ++i) {
        PlugStatus& plug = *plugs[i];
        if (g_State.Streaming) {
            plug.State = PLUG_STATE_CONNECTED;
            plug.StreamNumber = stream + i;
            plug.SampleRate = g_State.CurrentRate;
        }
        plug.RateCount = kRateCount;
        for (uint32_t rate = 0; rate < kRateCount; ++rate)
            plug.SupportedRates[rate] = kRates[rate];
    }
    return Reply(out, status);
}

NTSTATUS GetChannelProperties(const void* in, void* out) {
    const Channel* channel = FindChannel(Input<uint32_t>(in));
    if (!channel)
        return STATUS_INVALID_PARAMETER;
    ChannelProperties properties{};
    // The first word carries the channel's id, so that a record sent back
    // names its channel by itself.
    properties.Reserved0 = channel->Id;
    properties.DeviceId = channel->DeviceId;
    properties.Reserved8 = channel->Input ? 0 : 1;
    memcpy(properties.HardwareName, channel->HardwareName, sizeof properties.HardwareName);
    memcpy(properties.ChannelName, channel->Name, sizeof properties.ChannelName);
    return Reply(out, properties);
}

NTSTATUS SetChannelProperties(const void* in, void*) {
    const ChannelProperties properties = Input<ChannelProperties>(in);
    Channel* channel = FindChannel(properties.Reserved0);
    if (!channel)
        return STATUS_INVALID_PARAMETER;
    CopyField(channel->Name, properties.ChannelName);
    return STATUS_SUCCESS;
}

NTSTATUS StartStreaming(const void*, void*) {
    g_State.Streaming = true;
    return STATUS_SUCCESS;
}

NTSTATUS StopStreaming(const void*, void*) {
    g_State.Streaming = false;
    return STATUS_SUCCESS;
}

NTSTATUS GetStreamBufferDepth(const void*, void* out) {
    const Buffer& buffer = g_State.StreamBuffer;
    return Reply(out,
                 StreamBufferDepth{buffer.MinDepth, buffer.MaxDepth, buffer.Step, buffer.Depth});
}

NTSTATUS AdoptDepth(Buffer& buffer, uint32_t depth) {
    if (depth < buffer.MinDepth || depth > buffer.MaxDepth)
        return STATUS_INVALID_PARAMETER;
    buffer.Depth = depth;
    return STATUS_SUCCESS;
}

NTSTATUS SetStreamBufferDepth(const void* in, void*) {
    return AdoptDepth(g_State.StreamBuffer, Input<StreamBufferDepth>(in).Depth);
}

// The depth in samples at the current rate.
AudioBufferDepth AudioRecord(const Buffer& buffer) {
    const uint64_t samples = uint64_t{buffer.Depth} * g_State.CurrentRate / 1000000u;
    return AudioBufferDepth{buffer.Depth, buffer.MinDepth, buffer.Step,
                            static_cast<uint32_t>(samples)};
}

NTSTATUS GetAsioBufferDepth(const void*, void* out) {
    return Reply(out, AudioRecord(g_State.AsioBuffer));
}

NTSTATUS SetAsioBufferDepth(const void* in, void*) {
    return AdoptDepth(g_State.AsioBuffer, Input<AudioBufferDepth>(in).Depth);
}

NTSTATUS GetWdmBufferDepth(const void*, void* out) {
    return Reply(out, AudioRecord(g_State.WdmBuffer));
}

NTSTATUS SetWdmBufferDepth(const void* in, void*) {
    return AdoptDepth(g_State.WdmBuffer, Input<AudioBufferDepth>(in).Depth);
}

// Nothing streams for real: no drop-outs.
NTSTATUS GetAsioStatistics(const void*, void* out) {
    return Reply(out, AsioStatistics{});
}

struct Request {
    uint32_t Code;
    ULONG InSize;
    ULONG OutSize;
    Answer Answer;
};

// Every request of the interface, each answered by the function of its name,
// with the sizes its records have.
const Request kRequests[] = {
#define DEMTREL_ANSWER_REQUEST(name, function, in, out)                                            \
    {DriverRequest::name, RecordSize<in>, RecordSize<out>, name},
    DEMTREL_DRIVER_REQUESTS(DEMTREL_ANSWER_REQUEST)
#undef DEMTREL_ANSWER_REQUEST
};

// The largest input record: DeviceProperties.
constexpr ULONG kMaxInput = sizeof(DeviceProperties);

const Request* FindRequest(uint32_t code) {
    for (const Request& request : kRequests)
        if (request.Code == code)
            return &request;
    return nullptr;
}

// --- The settings ------------------------------------------------------------

WCHAR g_ParametersPath[260];
UNICODE_STRING g_Parameters;

bool ReadDword(HANDLE key, const WCHAR* name, ULONG& value) {
    UNICODE_STRING valueName;
    RtlInitUnicodeString(&valueName, name);
    union {
        KEY_VALUE_PARTIAL_INFORMATION info;
        UCHAR bytes[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + sizeof(ULONG)];
    } data;
    ULONG length = 0;
    if (!NT_SUCCESS(ZwQueryValueKey(key, &valueName, KeyValuePartialInformation, &data, sizeof data,
                                    &length)) ||
        data.info.Type != REG_DWORD || data.info.DataLength != sizeof(ULONG))
        return false;
    memcpy(&value, data.info.Data, sizeof value);
    return true;
}

// The first of the named values that is set; 0 when neither is.
ULONG Setting(const WCHAR* name, const WCHAR* otherwise = nullptr) {
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &g_Parameters, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE,
                               nullptr, nullptr);
    HANDLE key;
    if (!NT_SUCCESS(ZwOpenKey(&key, KEY_QUERY_VALUE, &attributes)))
        return 0;
    ULONG value = 0;
    if (!ReadDword(key, name, value) && otherwise)
        ReadDword(key, otherwise, value);
    ZwClose(key);
    return value;
}

// A request's own setting "<prefix>NNN", NNN its function number in hex, or
// else the setting for all requests.
ULONG RequestSetting(const WCHAR* prefix, const WCHAR* all, ULONG code) {
    const ULONG function = (code >> 2) & 0xFFF;
    WCHAR own[16];
    size_t length = 0;
    for (; prefix[length] && length < 12; ++length)
        own[length] = prefix[length];
    for (int digit = 0; digit < 3; ++digit)
        own[length + digit] = L"0123456789ABCDEF"[(function >> (8 - 4 * digit)) & 0xF];
    own[length + 3] = L'\0';
    return Setting(own, all);
}

// --- Answering, now or later -------------------------------------------------

NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

// Answers a control request from the state as it is now, like buffered I/O:
// the answer reads a copy of the input and writes into the system buffer.
NTSTATUS AnswerRequest(PIRP irp) {
    const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG inSize = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG outSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
    const Request* request = FindRequest(code);
    if (!request)
        return Complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    if (inSize < request->InSize)
        return Complete(irp, STATUS_INVALID_PARAMETER, 0);
    if (outSize < request->OutSize)
        return Complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
    const NTSTATUS failure = static_cast<NTSTATUS>(RequestSetting(L"Fail", L"FailAll", code));
    if (failure != STATUS_SUCCESS)
        return Complete(irp, failure, 0);

    UCHAR input[kMaxInput];
    void* buffer = irp->AssociatedIrp.SystemBuffer;
    memcpy(input, buffer, request->InSize);
    memset(buffer, 0, request->OutSize);
    KIRQL irql;
    KeAcquireSpinLock(&g_Lock, &irql);
    const NTSTATUS status = request->Answer(input, buffer);
    KeReleaseSpinLock(&g_Lock, irql);
    return Complete(irp, status, NT_SUCCESS(status) ? request->OutSize : 0);
}

// Requests held until their time, linked through Tail.Overlay.ListEntry; each
// keeps its due time and whether it may be cancelled in its driver context.
// One thread answers them; the lock guards the list. The time is interrupt
// time, which MinGW's headers read from the kernel's shared page at its
// Windows address, and Wine serves by emulating that read.
LIST_ENTRY g_Pending;
KEVENT g_Wake;
bool g_Stopping;
PVOID g_Thread;

static_assert(sizeof(ULONG_PTR) == sizeof(LONGLONG), "a due time fits into a context slot");

LONGLONG DueTime(PIRP irp) {
    return static_cast<LONGLONG>(reinterpret_cast<ULONG_PTR>(irp->Tail.Overlay.DriverContext[0]));
}

bool Cancellable(PIRP irp) {
    return irp->Tail.Overlay.DriverContext[1] != nullptr;
}

PIRP IrpOf(PLIST_ENTRY entry) {
    return CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
}

// Moves the pending requests that match out of the list into taken. A
// cancellable one whose cancel routine has already started stays: that
// routine takes it out and completes it.
template <typename Match> void TakePending(LIST_ENTRY& taken, Match match) {
    for (PLIST_ENTRY entry = g_Pending.Flink; entry != &g_Pending;) {
        PIRP irp = IrpOf(entry);
        entry = entry->Flink;
        if (!match(irp) || (Cancellable(irp) && !IoSetCancelRoutine(irp, nullptr)))
            continue;
        RemoveEntryList(&irp->Tail.Overlay.ListEntry);
        InsertTailList(&taken, &irp->Tail.Overlay.ListEntry);
    }
}

void CompleteTaken(LIST_ENTRY& taken, bool answer) {
    while (!IsListEmpty(&taken)) {
        PIRP irp = IrpOf(RemoveHeadList(&taken));
        if (answer)
            AnswerRequest(irp);
        else
            Complete(irp, STATUS_CANCELLED, 0);
    }
}

VOID NTAPI CancelPending(PDEVICE_OBJECT, PIRP irp) {
    IoReleaseCancelSpinLock(irp->CancelIrql);
    KIRQL irql;
    KeAcquireSpinLock(&g_Lock, &irql);
    RemoveEntryList(&irp->Tail.Overlay.ListEntry);
    KeReleaseSpinLock(&g_Lock, irql);
    Complete(irp, STATUS_CANCELLED, 0);
}

NTSTATUS HoldRequest(PIRP irp, ULONG delayMs, bool cancellable) {
    IoMarkIrpPending(irp);
    const ULONGLONG due = KeQueryInterruptTime() + ULONGLONG{delayMs} * 10000;
    irp->Tail.Overlay.DriverContext[0] = reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(due));
    irp->Tail.Overlay.DriverContext[1] = cancellable ? irp : nullptr;
    KIRQL irql;
    KeAcquireSpinLock(&g_Lock, &irql);
    InsertTailList(&g_Pending, &irp->Tail.Overlay.ListEntry);
    if (cancellable) {
        (void)IoSetCancelRoutine(irp, CancelPending);
        // Cancelled before the routine was set: nobody else completes it.
        if (irp->Cancel && IoSetCancelRoutine(irp, nullptr)) {
            RemoveEntryList(&irp->Tail.Overlay.ListEntry);
            KeReleaseSpinLock(&g_Lock, irql);
            Complete(irp, STATUS_CANCELLED, 0);
            return STATUS_PENDING;
        }
    }
    KeReleaseSpinLock(&g_Lock, irql);
    KeSetEvent(&g_Wake, IO_NO_INCREMENT, FALSE);
    return STATUS_PENDING;
}

// Answers each held request at its time; when the driver stops, cancels
// whatever is left, held to its time or not.
VOID NTAPI AnswerThread(PVOID) {
    for (;;) {
        LIST_ENTRY due;
        InitializeListHead(&due);
        const LONGLONG now = static_cast<LONGLONG>(KeQueryInterruptTime());
        LONGLONG next = MAXLONGLONG;
        KIRQL irql;
        KeAcquireSpinLock(&g_Lock, &irql);
        const bool stopping = g_Stopping;
        TakePending(due, [&](PIRP irp) { return stopping || DueTime(irp) <= now; });
        for (PLIST_ENTRY entry = g_Pending.Flink; entry != &g_Pending; entry = entry->Flink)
            if (DueTime(IrpOf(entry)) < next)
                next = DueTime(IrpOf(entry));
        KeReleaseSpinLock(&g_Lock, irql);
        CompleteTaken(due, !stopping);
        if (stopping)
            break;
        // A relative time is negative. A request left to its cancel routine
        // may be overdue: look again shortly.
        LARGE_INTEGER timeout;
        timeout.QuadPart = -(next - now > 10000 ? next - now : 10000);
        KeWaitForSingleObject(&g_Wake, Executive, KernelMode, FALSE,
                              next == MAXLONGLONG ? nullptr : &timeout);
    }
    PsTerminateSystemThread(STATUS_SUCCESS);
}

NTSTATUS StartAnswerThread() {
    HANDLE thread;
    NTSTATUS status = PsCreateSystemThread(&thread, THREAD_ALL_ACCESS, nullptr, nullptr, nullptr,
                                           AnswerThread, nullptr);
    if (!NT_SUCCESS(status))
        return status;
    // No object type: MinGW's import library reaches PsThreadType, a variable,
    // only through a function's stub. The handle is the thread just made.
    status =
        ObReferenceObjectByHandle(thread, SYNCHRONIZE, nullptr, KernelMode, &g_Thread, nullptr);
    ZwClose(thread);
    return status;
}

// --- Dispatch ----------------------------------------------------------------

NTSTATUS NTAPI OnDeviceControl(PDEVICE_OBJECT, PIRP irp) {
    const ULONG code = IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.IoControlCode;
    const ULONG delay = RequestSetting(L"Delay", L"DelayAll", code);
    if (delay == 0)
        return AnswerRequest(irp);
    return HoldRequest(irp, delay, Setting(L"IgnoreCancel") == 0);
}

NTSTATUS NTAPI OnCreate(PDEVICE_OBJECT, PIRP irp) {
    return Complete(irp, STATUS_SUCCESS, 0);
}

// The last handle to a file closed: its held requests end cancelled. Windows
// sends the cleanup request then; Wine sends none, but the close request at
// once, even while requests of the file are pending.
NTSTATUS NTAPI OnCleanupOrClose(PDEVICE_OBJECT, PIRP irp) {
    const PFILE_OBJECT file = IoGetCurrentIrpStackLocation(irp)->FileObject;
    LIST_ENTRY cancelled;
    InitializeListHead(&cancelled);
    KIRQL irql;
    KeAcquireSpinLock(&g_Lock, &irql);
    TakePending(cancelled, [file](PIRP held) {
        return Cancellable(held) && IoGetCurrentIrpStackLocation(held)->FileObject == file;
    });
    KeReleaseSpinLock(&g_Lock, irql);
    CompleteTaken(cancelled, false);
    return Complete(irp, STATUS_SUCCESS, 0);
}

WCHAR g_LinkPath[64];
UNICODE_STRING g_Link;
UNICODE_STRING g_DeviceName;

VOID NTAPI Unload(PDRIVER_OBJECT driver) {
    KIRQL irql;
    KeAcquireSpinLock(&g_Lock, &irql);
    g_Stopping = true;
    KeReleaseSpinLock(&g_Lock, irql);
    KeSetEvent(&g_Wake, IO_NO_INCREMENT, FALSE);
    KeWaitForSingleObject(g_Thread, Executive, KernelMode, FALSE, nullptr);
    ObDereferenceObject(g_Thread);
    IoDeleteSymbolicLink(&g_Link);
    IoDeleteDevice(driver->DeviceObject);
}

// Appends text to a counted string, terminated within its buffer.
bool Append(UNICODE_STRING& string, const WCHAR* text, size_t length) {
    const size_t used = string.Length / sizeof(WCHAR);
    if (used + length + 1 > string.MaximumLength / sizeof(WCHAR))
        return false;
    memcpy(string.Buffer + used, text, length * sizeof(WCHAR));
    string.Buffer[used + length] = L'\0';
    string.Length = static_cast<USHORT>((used + length) * sizeof(WCHAR));
    return true;
}

bool MakeNames(PUNICODE_STRING registryPath) {
    g_Parameters = {0, sizeof g_ParametersPath, g_ParametersPath};
    if (!Append(g_Parameters, registryPath->Buffer, registryPath->Length / sizeof(WCHAR)) ||
        !Append(g_Parameters, L"\\Parameters", 11))
        return false;
    WCHAR id[sizeof DRIVER_INTERFACE_ID];
    for (size_t i = 0; i < sizeof DRIVER_INTERFACE_ID; ++i)
        id[i] = static_cast<WCHAR>(DRIVER_INTERFACE_ID[i]);
    g_Link = {0, sizeof g_LinkPath, g_LinkPath};
    RtlInitUnicodeString(&g_DeviceName, L"\\Device\\DemtrelTestDriver");
    return Append(g_Link, L"\\DosDevices\\", 12) &&
           Append(g_Link, id, sizeof DRIVER_INTERFACE_ID - 1);
}

} // namespace

extern "C" NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
    if (!MakeNames(registryPath))
        return STATUS_NAME_TOO_LONG;
    KeInitializeSpinLock(&g_Lock);
    InitializeListHead(&g_Pending);
    KeInitializeEvent(&g_Wake, SynchronizationEvent, FALSE);
    PDEVICE_OBJECT device;
    NTSTATUS status =
        IoCreateDevice(driver, 0, &g_DeviceName, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
    if (!NT_SUCCESS(status))
        return status;
    status = IoCreateSymbolicLink(&g_Link, &g_DeviceName);
    if (NT_SUCCESS(status)) {
        status = StartAnswerThread();
        if (!NT_SUCCESS(status))
            IoDeleteSymbolicLink(&g_Link);
    }
    if (!NT_SUCCESS(status)) {
        IoDeleteDevice(device);
        return status;
    }
    driver->MajorFunction[IRP_MJ_CREATE] = OnCreate;
    driver->MajorFunction[IRP_MJ_CLEANUP] = OnCleanupOrClose;
    driver->MajorFunction[IRP_MJ_CLOSE] = OnCleanupOrClose;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = OnDeviceControl;
    driver->DriverUnload = Unload;
    return STATUS_SUCCESS;
}
