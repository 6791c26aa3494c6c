#include "DriverCodes.h"

namespace {

struct EventTypeEntry {
    uint32_t Type;
    const char* Name;
};

const EventTypeEntry kEventTypes[] = {
    {EvtType_BusReset, "EvtType_BusReset"},
    {EvtType_StreamingRestarted, "EvtType_StreamingRestarted"},
    {EvtType_DomainConfigurationChanged, "EvtType_DomainConfigurationChanged"},
    {EvtType_AsioBufferSizeChanged, "EvtType_AsioBufferSizeChanged"},
};

} // namespace

const char* EventTypeName(uint32_t type) {
    for (const EventTypeEntry& entry : kEventTypes)
        if (entry.Type == type)
            return entry.Name;
    return "unknown";
}
