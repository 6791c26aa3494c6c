#include "ReplyFuzzer.h"

#include "DriverCodes.h"
#include "FuzzRandom.h"

#include <cstring>
#include <iterator>

namespace {

// What a field of a reply means, for choosing the values that hurt most.
enum class FieldKind {
    Count, // number of valid entries of an array of the record; size is the capacity
    Text,  // zero-terminated text; size is the field's width
    Step,  // a divisor
    Word,  // any other number
};

struct Field {
    uint32_t code;
    uint32_t offset;
    FieldKind kind;
    uint32_t size;
};

using namespace DriverRequest;

// Offsets of the plugs in StreamStatus and of the modes in DeviceSynchModes.
constexpr uint32_t Plug(uint32_t index) {
    return 4 + 52 * index;
}
constexpr uint32_t Mode(uint32_t index) {
    return 56 + 48 * index;
}

const Field kFields[] = {
    {GetInterfaceVersion, 0, FieldKind::Word, 0},
    {GetNotification, 0, FieldKind::Word, 0},
    {GetIncludeDeviceName, 0, FieldKind::Word, 0},
    {GetDeviceList, 0, FieldKind::Count, 64},
    {GetDeviceList, 4, FieldKind::Word, 0},
    {GetChannelList, 0, FieldKind::Count, 256},
    {GetChannelList, 4, FieldKind::Word, 0},
    {GetChannelList, 1028, FieldKind::Count, 256},
    {GetChannelList, 1032, FieldKind::Word, 0},
    {GetDeviceProperties, 0, FieldKind::Word, 0},
    {GetDeviceProperties, 4, FieldKind::Word, 0},
    {GetDeviceProperties, 8, FieldKind::Text, 40},
    {GetDeviceProperties, 48, FieldKind::Text, 384},
    {GetChannelProperties, 0, FieldKind::Word, 0},
    {GetChannelProperties, 4, FieldKind::Word, 0},
    {GetChannelProperties, 12, FieldKind::Text, 40},
    {GetChannelProperties, 52, FieldKind::Text, 40},
    {GetDeviceSynchMode, 0, FieldKind::Word, 0},
    {GetDeviceSynchMode, 4, FieldKind::Word, 0},
    {GetDeviceSynchMode, 8, FieldKind::Word, 0},
    {GetDeviceSynchMode, 12, FieldKind::Text, 40},
    {GetDeviceSynchMode, 52, FieldKind::Count, 16},
    {GetDeviceSynchMode, Mode(0), FieldKind::Word, 0},
    {GetDeviceSynchMode, Mode(0) + 4, FieldKind::Word, 0},
    {GetDeviceSynchMode, Mode(0) + 8, FieldKind::Text, 40},
    {GetDeviceSynchMode, Mode(1) + 4, FieldKind::Word, 0},
    {GetDeviceSynchMode, Mode(15), FieldKind::Word, 0},
    {GetDeviceSynchMode, Mode(15) + 8, FieldKind::Text, 40},
    {GetStreamStatus, Plug(0), FieldKind::Word, 0},
    {GetStreamStatus, Plug(0) + 4, FieldKind::Word, 0},
    {GetStreamStatus, Plug(0) + 8, FieldKind::Word, 0},
    {GetStreamStatus, Plug(0) + 12, FieldKind::Word, 0},
    {GetStreamStatus, Plug(0) + 16, FieldKind::Count, 8},
    {GetStreamStatus, Plug(1), FieldKind::Word, 0},
    {GetStreamStatus, Plug(1) + 16, FieldKind::Count, 8},
    {GetStreamStatus, Plug(2) + 4, FieldKind::Word, 0},
    {GetStreamStatus, Plug(3), FieldKind::Word, 0},
    {GetStreamStatus, Plug(3) + 16, FieldKind::Count, 8},
    {GetSynchSource, 4, FieldKind::Word, 0},
    {GetSynchSource, 8, FieldKind::Word, 0},
    {GetSampleRateMode, 4, FieldKind::Word, 0},
    {GetSampleRates, 4, FieldKind::Word, 0},
    {GetSampleRates, 8, FieldKind::Count, 8},
    {GetSampleRates, 12, FieldKind::Word, 0},
    {GetStreamBufferDepth, 0, FieldKind::Word, 0},
    {GetStreamBufferDepth, 8, FieldKind::Step, 0},
    {GetStreamBufferDepth, 12, FieldKind::Word, 0},
    {GetAsioBufferDepth, 0, FieldKind::Word, 0},
    {GetAsioBufferDepth, 4, FieldKind::Word, 0},
    {GetAsioBufferDepth, 8, FieldKind::Step, 0},
    {GetAsioBufferDepth, 12, FieldKind::Word, 0},
    {GetWdmBufferDepth, 0, FieldKind::Word, 0},
    {GetWdmBufferDepth, 4, FieldKind::Word, 0},
    {GetWdmBufferDepth, 8, FieldKind::Step, 0},
    {GetWdmBufferDepth, 12, FieldKind::Word, 0},
    {GetAsioStatistics, 52, FieldKind::Word, 0},
};

uint32_t FailingStatus(FuzzRandom& random) {
    if (random.Chance(10))
        return random.Word() | 1u;
    return random.OneOf(
        {ERROR_INVALID_HANDLE, ERROR_DEVICE_NOT_CONNECTED, ERROR_FILE_NOT_FOUND, ERROR_BAD_COMMAND,
         ERROR_GEN_FAILURE, ERROR_INVALID_PARAMETER, ERROR_INSUFFICIENT_BUFFER, ERROR_MORE_DATA,
         ERROR_INVALID_FUNCTION, DRVSTATUS_FAILED, DRVSTATUS_NO_MORE_NOTIFICATIONS,
         DRVSTATUS_NOT_OPEN, DRVSTATUS_VERSION_MISMATCH, DRVSTATUS_WDM_DEVICE_IN_USE,
         DRVSTATUS_SAMPLE_RATE_NOT_SUPPORTED, 0xE00000FFu, 0xFFFFFFFFu, 0x80000000u});
}

uint32_t EdgeValue(FuzzRandom& random, const Field& field) {
    switch (field.kind) {
    case FieldKind::Count:
        return random.OneOf({0, 1, field.size - 1, field.size, field.size + 1, field.size * 2,
                             0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, random.Word()});
    case FieldKind::Step:
        return random.OneOf({0, 0, 0, 1, 3, 0x7FFFFFFFu, 0xFFFFFFFFu, random.Word()});
    default:
        return random.OneOf({0, 1, 2, 3, 4, 5, 100, 10001, 40001, 48000, 0x7FFFFFFFu, 0x80000000u,
                             0xFFFFFFFEu, 0xFFFFFFFFu, random.Word()});
    }
}

// Fills a text field to its last byte: no terminator, and characters that
// a careless formatter or a byte-wise cut would trip over.
void BreakText(FuzzRandom& random, uint8_t* text, uint32_t size) {
    static const char kAwkward[] = "%s%n%x\\\n\r\t\x81\xFE\xFF&";
    const uint32_t style = random.Below(3);
    for (uint32_t i = 0; i < size; ++i)
        if (style == 0)
            text[i] = static_cast<uint8_t>('A' + i % 26);
        else if (style == 1)
            text[i] = static_cast<uint8_t>(kAwkward[random.Below(sizeof kAwkward - 1)]);
        else
            text[i] = static_cast<uint8_t>(random.Below(255) + 1);
    // Now and then a text of exactly its field's width less the terminator.
    if (random.Chance(25))
        text[size - 1] = 0;
}

void BreakField(FuzzRandom& random, const Field& field, std::vector<uint8_t>& reply) {
    const uint32_t width = field.kind == FieldKind::Text ? field.size : 4;
    if (field.offset + width > reply.size())
        return;
    if (field.kind == FieldKind::Text) {
        BreakText(random, reply.data() + field.offset, field.size);
        return;
    }
    const uint32_t value = EdgeValue(random, field);
    std::memcpy(reply.data() + field.offset, &value, sizeof value);
}

// One to three of the code's known fields, or any bytes when it has none.
void BreakFields(FuzzRandom& random, uint32_t code, std::vector<uint8_t>& reply) {
    std::vector<const Field*> fields;
    for (const Field& field : kFields)
        if (field.code == code)
            fields.push_back(&field);
    if (fields.empty() || random.Chance(15)) {
        const uint32_t count = 1 + random.Below(8);
        for (uint32_t i = 0; i < count && !reply.empty(); ++i)
            reply[random.Below(static_cast<uint32_t>(reply.size()))] =
                static_cast<uint8_t>(random.Word());
        return;
    }
    const uint32_t count = 1 + random.Below(3);
    for (uint32_t i = 0; i < count; ++i)
        BreakField(random, *fields[random.Below(static_cast<uint32_t>(fields.size()))], reply);
}

} // namespace

ReplyFuzzer::ReplyFuzzer(uint64_t seed, uint32_t percent) : m_Seed(seed), m_Percent(percent) {}

void ReplyFuzzer::Filter(uint32_t code, uint32_t& status, std::vector<uint8_t>& reply,
                         DWORD& returned) {
    FuzzRandom random = FuzzRandom::For(m_Seed, code, m_Calls[code]++);
    if (!random.Chance(m_Percent))
        return;
    ++m_Tampered;
    // A request without a reply, or one that failed, can only fail (again).
    const bool succeeded = status == DRVSTATUS_SUCCESS && returned > 0;
    const uint32_t choice = succeeded ? random.Below(10) : 0;
    if (choice < 3) {
        status = FailingStatus(random);
    } else if (choice < 8) {
        BreakFields(random, code, reply);
    } else {
        // A reply cut short: the rest of the caller's buffer stays as it was.
        returned = random.Chance(40) ? 0 : random.Below(returned);
    }
}
