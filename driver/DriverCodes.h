// Status codes and event types of the driver interface, and its control
// codes (DriverRequests.h).
#pragma once

#include "DriverRequests.h"

#include <cstdint>

static_assert(DriverRequest::GetInterfaceVersion == 0x80882804);
static_assert(DriverRequest::GetNotification == 0x80882828);
static_assert(DriverRequest::SetSampleRateMode == 0x8088288C);
static_assert(DriverRequest::GetStreamStatus == 0x80882928);
static_assert(DriverRequest::GetAsioStatistics == 0x80882AC8);

// Statuses: 0 is success; others are Win32 errors or these codes.
constexpr uint32_t DRVSTATUS_SUCCESS = 0;
constexpr uint32_t DRVSTATUS_FAILED = 0xE0000001;
constexpr uint32_t DRVSTATUS_NO_MORE_NOTIFICATIONS = 0xE0000007;
constexpr uint32_t DRVSTATUS_NOT_OPEN = 0xE0000013;
constexpr uint32_t DRVSTATUS_VERSION_MISMATCH = 0xE0000014;
// The program's own: the driver did not end a request within the time limit.
constexpr uint32_t DRVSTATUS_TIMEOUT = 0xE0000015;
constexpr uint32_t DRVSTATUS_FCP_REJECTED = 0xE0000022;
constexpr uint32_t DRVSTATUS_WDM_DEVICE_IN_USE = 0xE0000047;
constexpr uint32_t DRVSTATUS_CHANNEL_ALLOCATION_FAILED = 0xE0000072;
constexpr uint32_t DRVSTATUS_BANDWIDTH_ALLOCATION_FAILED = 0xE0000073;
constexpr uint32_t DRVSTATUS_ISO_RESOURCE_ALLOCATION_FAILED = 0xE0000074;
constexpr uint32_t DRVSTATUS_START_STREAMING_FAILED = 0xE0000076;
constexpr uint32_t DRVSTATUS_CHANNEL_CHANGED_BY_BUS_RESET = 0xE0000077;
constexpr uint32_t DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED = 0xE0000080;

// Types of the notifications that the driver queues.
constexpr uint32_t EvtType_BusReset = 1;
constexpr uint32_t EvtType_StreamingRestarted = 2;
constexpr uint32_t EvtType_DomainConfigurationChanged = 3;
constexpr uint32_t EvtType_AsioBufferSizeChanged = 100;

// The name printed for an event type; "unknown" for any other value.
const char* EventTypeName(uint32_t type);

// True when a request failed because the driver no longer knows the handle
// or its device is gone: only a new connection can work again.
bool IsConnectionLost(uint32_t status);

// Plug states of PlugStatus.
constexpr uint32_t PLUG_STATE_CONNECTED = 3;
constexpr uint32_t PLUG_STATE_CONNECT_FAILED = 4;

// The name under which the driver's device is opened, and the interface
// class its devices are announced under.
constexpr const char DRIVER_INTERFACE_ID[] = "{73516540-7548-4a92-BA38-8B63F8333411}";
constexpr const char DRIVER_DEVICE_CLASS[] = "{006902CB-E626-45B4-8A62-2EAAD63F8D12}";
