#include "SetupFile.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

namespace SetupFile {
namespace {

constexpr uint32_t kMaxRank = 63;
constexpr uint32_t kMaxPosition = 256;
constexpr size_t kMaxSerialBytes = 383;

struct Range {
    uint32_t low;
    uint32_t high;
};
constexpr Range kRateRange{8000, 768000};
constexpr Range kStreamRange{1, 10000};
constexpr Range kAudioRange{1, 40000};

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A value written in double quotes keeps the spaces at its ends.
std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

// A vector rather than a wide string: the program has no other use for one,
// and its code would be a tenth of the program's size.
using WideText = std::vector<wchar_t>;

WideText Wide(const std::string& text, UINT codePage, DWORD flags, bool& ok) {
    ok = true;
    if (text.empty())
        return WideText();
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) {
        ok = false;
        return WideText();
    }
    WideText wide(static_cast<size_t>(length));
    ::MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

bool IsUtf8(const std::string& text) {
    bool ok = false;
    Wide(text, CP_UTF8, MB_ERR_INVALID_CHARS, ok);
    return ok;
}

// UTF-8 into the system's code page; false when a character has no exact
// counterpart there.
bool ToCodePage(const std::string& utf8, std::string& text) {
    bool ok = false;
    const WideText wide = Wide(utf8, CP_UTF8, MB_ERR_INVALID_CHARS, ok);
    text.clear();
    if (!ok || wide.empty())
        return ok;
    const int size = static_cast<int>(wide.size());
    BOOL defaulted = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                             nullptr, 0, nullptr, &defaulted);
    if (length <= 0 || defaulted)
        return false;
    text.assign(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, &text[0], length,
                          nullptr, nullptr);
    return true;
}

std::string ToUtf8(const std::string& codePageText) {
    bool ok = false;
    const WideText wide = Wide(codePageText, CP_ACP, 0, ok);
    if (wide.empty())
        return std::string();
    const int size = static_cast<int>(wide.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(std::max(length, 0)), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, &text[0], length, nullptr, nullptr);
    return text;
}

bool ParseNumber(const std::string& text, Range range, uint32_t& value) {
    if (text.empty() || text.size() > 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    unsigned long long number = 0;
    for (char digit : text)
        number = number * 10 + static_cast<unsigned>(digit - '0');
    if (number < range.low || number > range.high)
        return false;
    value = static_cast<uint32_t>(number);
    return true;
}

// Reads one file, line by line, into a setup; stops at the first problem.
class Reader {
public:
    Problem Read(const std::string& bytes);
    size_t Line() const { return m_Line; }
    Setup Take() { return std::move(m_Setup); }

private:
    enum class Section { None, Driver, Device };

    Problem FirstLine(const std::string& line);
    Problem Header(const std::string& name);
    Problem Setting(const std::string& line);
    Problem DriverSetting(const std::string& key, const std::string& value);
    Problem DeviceSetting(const std::string& key, const std::string& value);
    Problem Channel(bool output, const std::string& position, const std::string& value);
    Problem Name(const std::string& value, std::string& name) const;
    Problem EndOfDevice();
    // A key seen before in this section is a mistake, not a correction.
    bool Seen(const std::string& key);

    Setup m_Setup;
    Section m_Section = Section::None;
    size_t m_Line = 0;
    size_t m_SectionLine = 0;
    std::vector<std::string> m_Keys;
    // Looked up, not compared with each device before: a file may hold tens
    // of thousands of sections.
    std::set<std::string> m_Serials;
    bool m_DriverSeen = false;
};

Problem Reader::Read(const std::string& bytes) {
    if (bytes.size() > kMaxFileBytes)
        return Problem::TooLarge;
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start <= bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ++m_Line;
        if (!IsUtf8(line))
            return Problem::NotUtf8;
        const Problem problem = m_Line == 1 ? FirstLine(Trim(line)) : Setting(Trim(line));
        if (problem != Problem::None)
            return problem;
        start = end + 1;
    }
    m_Line = m_SectionLine;
    return EndOfDevice();
}

Problem Reader::FirstLine(const std::string& line) {
    const std::string name = kFormatName;
    if (line.compare(0, name.size(), name) != 0 || line.size() <= name.size() + 1 ||
        line[name.size()] != ' ')
        return Problem::NotASetup;
    uint32_t version = 0;
    if (!ParseNumber(line.substr(name.size() + 1), {1, 0xFFFFFFFFu}, version))
        return Problem::NotASetup;
    return version > kVersion ? Problem::NewerVersion : Problem::None;
}

Problem Reader::Setting(const std::string& line) {
    if (line.empty() || line[0] == ';')
        return Problem::None;
    if (line.front() == '[') {
        if (line.back() != ']')
            return Problem::UnknownSection;
        return Header(Lower(Trim(line.substr(1, line.size() - 2))));
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos)
        return Problem::NoEquals;
    const std::string key = Lower(Trim(line.substr(0, equals)));
    const std::string value = Unquoted(Trim(line.substr(equals + 1)));
    // Write leaves such a value out: read, the setup could not be saved as it
    // came.
    if (!Writable(value))
        return Problem::ControlCharacter;
    switch (m_Section) {
    case Section::Driver:
        return DriverSetting(key, value);
    case Section::Device:
        return DeviceSetting(key, value);
    case Section::None:
        break;
    }
    return Problem::NoSection;
}

Problem Reader::Header(const std::string& name) {
    const size_t headerLine = m_Line;
    if (m_Section == Section::Device) {
        m_Line = m_SectionLine;
        const Problem problem = EndOfDevice();
        if (problem != Problem::None)
            return problem;
        m_Line = headerLine;
    }
    m_Keys.clear();
    m_SectionLine = m_Line;
    if (name == "driver") {
        if (m_DriverSeen)
            return Problem::DuplicateKey;
        m_DriverSeen = true;
        m_Section = Section::Driver;
        return Problem::None;
    }
    if (name == "device") {
        m_Setup.Devices.emplace_back();
        m_Section = Section::Device;
        return Problem::None;
    }
    return Problem::UnknownSection;
}

bool Reader::Seen(const std::string& key) {
    if (std::find(m_Keys.begin(), m_Keys.end(), key) != m_Keys.end())
        return true;
    m_Keys.push_back(key);
    return false;
}

Problem Reader::DriverSetting(const std::string& key, const std::string& value) {
    if (Seen(key))
        return Problem::DuplicateKey;
    Setup& s = m_Setup;
    uint32_t number = 0;
    if (key == "clock source") {
        if (Lower(value) != "internal" && Lower(value) != "external")
            return Problem::BadChoice;
        s.ClockSource = Lower(value) == "external" ? 1 : 0;
    } else if (key == "clock master") {
        if (value.empty() || value.size() > kMaxSerialBytes)
            return Problem::BadChoice;
        s.ClockMaster = value;
    } else if (key == "sampling rate mode") {
        if (Lower(value) != "manual" && Lower(value) != "automatic")
            return Problem::BadChoice;
        s.SampleRateMode = Lower(value) == "automatic" ? 1 : 0;
    } else if (key == "include device name") {
        if (Lower(value) != "yes" && Lower(value) != "no")
            return Problem::BadChoice;
        s.IncludeDeviceName = Lower(value) == "yes";
    } else if (key == "sampling rate" || key == "stream buffer" || key == "asio buffer" ||
               key == "wdm buffer") {
        const Range range = key == "sampling rate"   ? kRateRange
                            : key == "stream buffer" ? kStreamRange
                                                     : kAudioRange;
        if (!ParseNumber(value, range, number))
            return Problem::BadNumber;
        (key == "sampling rate"   ? s.SampleRate
         : key == "stream buffer" ? s.StreamBufferUs
         : key == "asio buffer"   ? s.AsioBufferUs
                                  : s.WdmBufferUs) = number;
    } else {
        return Problem::UnknownKey;
    }
    return Problem::None;
}

Problem Reader::Name(const std::string& value, std::string& name) const {
    if (!ToCodePage(value, name))
        return Problem::NotInCodePage;
    return name.size() > kMaxNameBytes ? Problem::NameTooLong : Problem::None;
}

Problem Reader::DeviceSetting(const std::string& key, const std::string& value) {
    if (Seen(key))
        return Problem::DuplicateKey;
    SetupDevice& device = m_Setup.Devices.back();
    if (key == "serial") {
        if (value.empty() || value.size() > kMaxSerialBytes)
            return Problem::BadChoice;
        if (!m_Serials.insert(value).second)
            return Problem::DuplicateKey;
        device.Serial = value;
        return Problem::None;
    }
    if (key == "name") {
        std::string name;
        const Problem problem = Name(value, name);
        device.Name = name;
        return problem;
    }
    if (key == "rank") {
        uint32_t rank = 0;
        if (!ParseNumber(value, {0, kMaxRank}, rank))
            return Problem::BadNumber;
        device.Rank = rank;
        return Problem::None;
    }
    if (key == "synchronisation mode") {
        const size_t space = value.find(' ');
        SetupSynchMode mode;
        if (!ParseNumber(value.substr(0, space), {0, 0xFFFFFFFFu}, mode.ModeId))
            return Problem::BadNumber;
        const std::string name =
            space == std::string::npos ? std::string() : Unquoted(Trim(value.substr(space + 1)));
        const Problem problem = Name(name, mode.Name);
        device.Mode = mode;
        return problem;
    }
    for (const char* direction : {"input ", "output "}) {
        const std::string prefix = direction;
        if (key.compare(0, prefix.size(), prefix) == 0)
            return Channel(prefix == "output ", Trim(key.substr(prefix.size())), value);
    }
    return Problem::UnknownKey;
}

Problem Reader::Channel(bool output, const std::string& position, const std::string& value) {
    SetupChannel channel;
    channel.Output = output;
    if (!ParseNumber(position, {1, kMaxPosition}, channel.Position))
        return Problem::BadNumber;
    // "input 2" and "input 02" name one channel: the key's spelling cannot
    // tell, only its place can.
    std::vector<SetupChannel>& channels = m_Setup.Devices.back().Channels;
    if (std::any_of(channels.begin(), channels.end(), [&](const SetupChannel& other) {
            return other.Output == output && other.Position == channel.Position;
        }))
        return Problem::DuplicateKey;
    const Problem problem = Name(value, channel.Name);
    channels.push_back(channel);
    return problem;
}

Problem Reader::EndOfDevice() {
    if (m_Section == Section::Device && m_Setup.Devices.back().Serial.empty())
        return Problem::NoSerial;
    return Problem::None;
}

// Quoted when its ends would otherwise be lost or misread.
std::string Value(const std::string& text) {
    const bool quote =
        !text.empty() && (text.front() == ' ' || text.back() == ' ' || text.front() == '"' ||
                          text.front() == '\t' || text.back() == '\t');
    return quote ? "\"" + text + "\"" : text;
}

void Put(std::string& out, const char* key, const std::string& value) {
    out += std::string(key) + " = " + value + "\r\n";
}

} // namespace

namespace {

bool InRange(uint32_t value, Range range) {
    return value >= range.low && value <= range.high;
}

bool SerialWritable(const std::string& serial) {
    return !serial.empty() && serial.size() <= kMaxSerialBytes && Writable(serial);
}

bool NameWritable(const std::string& name) {
    return name.size() <= kMaxNameBytes && Writable(name);
}

// Leaves the value out when the file cannot hold it, and names its place.
template <typename Value, typename Check>
void Keep(std::optional<Value>& value, Check fits, SetupPlace place,
          std::vector<SetupPlace>& leftOut) {
    if (value && !fits(*value)) {
        value.reset();
        leftOut.push_back(std::move(place));
    }
}

void LeaveOutOfDevice(SetupDevice& device, std::vector<SetupPlace>& leftOut) {
    const std::string shownName = device.Name.value_or("");
    const auto place = [&](SetupSetting setting) {
        return SetupPlace{setting, device.Serial, shownName, false, 0};
    };
    Keep(device.Name, NameWritable, place(SetupSetting::DeviceName), leftOut);
    Keep(
        device.Rank, [](uint32_t rank) { return rank <= kMaxRank; },
        place(SetupSetting::DeviceRank), leftOut);
    Keep(
        device.Mode, [](const SetupSynchMode& mode) { return NameWritable(mode.Name); },
        place(SetupSetting::SynchMode), leftOut);
    auto& channels = device.Channels;
    const auto unwritable = [&](const SetupChannel& channel) {
        if (channel.Position >= 1 && channel.Position <= kMaxPosition && NameWritable(channel.Name))
            return false;
        SetupPlace channelPlace = place(SetupSetting::ChannelName);
        channelPlace.Output = channel.Output;
        channelPlace.Position = channel.Position;
        leftOut.push_back(std::move(channelPlace));
        return true;
    };
    channels.erase(std::remove_if(channels.begin(), channels.end(), unwritable), channels.end());
}

} // namespace

std::vector<SetupPlace> LeaveOutUnwritable(Setup& setup) {
    std::vector<SetupPlace> leftOut;
    const auto driverPlace = [](SetupSetting setting) {
        return SetupPlace{setting, {}, {}, false, 0};
    };
    Keep(setup.ClockMaster, SerialWritable, driverPlace(SetupSetting::ClockMaster), leftOut);
    const std::pair<std::optional<uint32_t>*, std::pair<Range, SetupSetting>> numbers[] = {
        {&setup.SampleRate, {kRateRange, SetupSetting::SampleRate}},
        {&setup.StreamBufferUs, {kStreamRange, SetupSetting::StreamBuffer}},
        {&setup.AsioBufferUs, {kAudioRange, SetupSetting::AsioBuffer}},
        {&setup.WdmBufferUs, {kAudioRange, SetupSetting::WdmBuffer}},
    };
    for (const auto& [value, limits] : numbers) {
        const Range range = limits.first;
        Keep(
            *value, [range](uint32_t number) { return InRange(number, range); },
            driverPlace(limits.second), leftOut);
    }
    // A device without a serial number a file can name, or with one named
    // before, cannot be told apart when the file is loaded.
    std::set<std::string> serials;
    auto& devices = setup.Devices;
    const auto unnamed = [&](const SetupDevice& device) {
        if (SerialWritable(device.Serial) && serials.insert(device.Serial).second)
            return false;
        leftOut.push_back(
            {SetupSetting::DeviceName, device.Serial, device.Name.value_or(""), false, 0});
        return true;
    };
    devices.erase(std::remove_if(devices.begin(), devices.end(), unnamed), devices.end());
    for (SetupDevice& device : devices)
        LeaveOutOfDevice(device, leftOut);
    return leftOut;
}

bool Writable(const std::string& text) {
    return std::none_of(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

Result Parse(const std::string& bytes) {
    Reader reader;
    Result result;
    result.problem = reader.Read(bytes);
    if (result.problem == Problem::None) {
        // What is read must save to a file that reads again, and the spaces
        // and line ends the writer puts in can make a dense file longer.
        Setup setup = reader.Take();
        if (Write(setup).size() <= kMaxFileBytes) {
            result.setup = std::move(setup);
            return result;
        }
        result.problem = Problem::TooLarge;
    }
    result.line = result.problem == Problem::TooLarge ? 0 : reader.Line();
    return result;
}

std::string Write(const Setup& setup) {
    std::string out = std::string(kFormatName) + " " + std::to_string(kVersion) + "\r\n";
    out += "[driver]\r\n";
    if (setup.ClockSource)
        Put(out, "clock source", *setup.ClockSource ? "external" : "internal");
    if (setup.ClockMaster && Writable(*setup.ClockMaster))
        Put(out, "clock master", Value(*setup.ClockMaster));
    if (setup.SampleRateMode)
        Put(out, "sampling rate mode", *setup.SampleRateMode ? "automatic" : "manual");
    const std::pair<const char*, const std::optional<uint32_t>*> numbers[] = {
        {"sampling rate", &setup.SampleRate},
        {"stream buffer", &setup.StreamBufferUs},
        {"asio buffer", &setup.AsioBufferUs},
        {"wdm buffer", &setup.WdmBufferUs},
    };
    for (const auto& [key, value] : numbers)
        if (*value)
            Put(out, key, std::to_string(**value));
    if (setup.IncludeDeviceName)
        Put(out, "include device name", *setup.IncludeDeviceName ? "yes" : "no");
    for (const SetupDevice& device : setup.Devices) {
        if (!Writable(device.Serial))
            continue;
        out += "\r\n[device]\r\n";
        Put(out, "serial", Value(device.Serial));
        if (device.Name && Writable(*device.Name))
            Put(out, "name", Value(ToUtf8(*device.Name)));
        if (device.Rank)
            Put(out, "rank", std::to_string(*device.Rank));
        if (device.Mode && Writable(device.Mode->Name))
            Put(out, "synchronisation mode",
                std::to_string(device.Mode->ModeId) +
                    (device.Mode->Name.empty() ? "" : " " + Value(ToUtf8(device.Mode->Name))));
        for (const SetupChannel& channel : device.Channels)
            if (Writable(channel.Name))
                Put(out,
                    ((channel.Output ? "output " : "input ") + std::to_string(channel.Position))
                        .c_str(),
                    Value(ToUtf8(channel.Name)));
    }
    return out;
}

} // namespace SetupFile
