// The setup file's reader against broken files: a rich, valid file is
// mutated by seeded random edits (cuts, repeated, swapped and dropped lines,
// flipped and inserted bytes, binary bytes, very long lines, repeated keys and
// sections, odd values and quotes, files at the size limit), several at once.
// Whatever comes out, the reader must either refuse it with a line that
// exists (and give no setup), or give a valid setup that, written and read
// again, is the same setup.
//
// DEMTREL_SETUP_FUZZ_SEED and DEMTREL_SETUP_FUZZ_ITERATIONS choose the seeds
// (iteration i runs seed SEED + i); without them the fixed range that CI runs.
// A failure prints its seed, which replays alone with
// DEMTREL_SETUP_FUZZ_SEED=<seed> DEMTREL_SETUP_FUZZ_ITERATIONS=1 in the
// environment of tools/with-wine, whose Wine passes it on to the test.
#include "FatalException.h"
#include "FuzzRandom.h"
#include "SetupFile.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using SetupFile::Problem;

constexpr uint64_t kCiFirstSeed = 1;
constexpr uint64_t kCiIterations = 5000;
constexpr size_t kMaxReports = 10;

// The limits a setup the reader gives must keep: what the driver accepts.
constexpr uint32_t kMaxRank = 63;
constexpr uint32_t kMaxPosition = 256;
constexpr size_t kMaxSerialBytes = 383;

// Every key of both sections, three devices, quoted values, comments, line
// ends of both kinds, names of exactly kMaxNameBytes (one of them with a
// character of two UTF-8 bytes and one code-page byte).
const std::string kValidFile = "Tarnet Control Panel setup 1\r\n"
                               "; the studio's tracking set-up\r\n"
                               "[driver]\r\n"
                               "clock source = external\r\n"
                               "clock master = TQ18-2207-0413\r\n"
                               "sampling rate mode = manual\r\n"
                               "sampling rate = 48000\r\n"
                               "stream buffer = 2000\r\n"
                               "asio buffer = 4000\r\n"
                               "wdm buffer = 10000\r\n"
                               "include device name = yes\r\n"
                               "\r\n"
                               "[device]\r\n"
                               "serial = TQ18-2207-0413\r\n"
                               "name = \"Tarnet Quadra 1818 \"\r\n"
                               "rank = 0\r\n"
                               "synchronisation mode = 3 \"Internal crystal\"\r\n"
                               "input 1 = Mic 1\r\n"
                               "input 2 = Drum room overheads, left + right pair.\r\n"
                               "output 1 = \" Main L\"\r\n"
                               "output 2 = B\xC3\xBChne\r\n"
                               "   ; an indented comment\r\n"
                               "[device]\n"
                               "serial = \"TD08 1911 0077 \"\n"
                               "name = B\xC3\xBChne links: Gesang, Chor und Klavier!!\n"
                               "rank = 63\n"
                               "synchronisation mode = 4294967295\n"
                               "input 256 = \n"
                               "output 256 = \"\"quoted\"\"\n"
                               "output 3 = Control room talkback to the live rooms\n"
                               "\n"
                               "  [ Device ]  \r\n"
                               "Serial=TS04-0001\r\n"
                               "synchronisation mode = 0 Word clock\r\n"
                               "INPUT 3 = Kick = In ; not a comment\r\n"
                               "rank = 2\r\n";

// What a failing iteration is told by, for the report of a crash: an
// exception handler gets no parameter of its own.
uint64_t g_RunningSeed = 0;
size_t g_RunningSize = 0;

LONG CALLBACK ReportCrash(EXCEPTION_POINTERS* info) {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    const bool fatal = IsFatalException(code);
    if (fatal) {
        std::printf("setup fuzz: FAILED seed %llu (input of %zu bytes): exception 0x%08lX\n",
                    static_cast<unsigned long long>(g_RunningSeed), g_RunningSize, code);
        std::fflush(stdout);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

uint64_t EnvironmentNumber(const char* name, uint64_t fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::strtoull(text, nullptr, 10) : fallback;
}

// ---- Mutations -------------------------------------------------------------

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t newline = text.find('\n', start);
        const size_t end = newline == std::string::npos ? text.size() : newline + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

size_t Below(FuzzRandom& random, size_t bound) {
    return random.Below(static_cast<uint32_t>(bound));
}

// A line's text without its end.
size_t BodySize(const std::string& line) {
    size_t size = line.size();
    if (size && line[size - 1] == '\n')
        --size;
    if (size && line[size - 1] == '\r')
        --size;
    return size;
}

std::string Ending(FuzzRandom& random) {
    return random.Chance(50) ? "\r\n" : "\n";
}

// A random line that has "key = value", or npos.
size_t SettingLine(FuzzRandom& random, const std::vector<std::string>& lines) {
    std::vector<size_t> settings;
    for (size_t i = 1; i < lines.size(); ++i)
        if (lines[i].find('=') < BodySize(lines[i]))
            settings.push_back(i);
    return settings.empty() ? std::string::npos : settings[Below(random, settings.size())];
}

// Changes one random "key = value" line of the text, if it has one.
template <class Edit> void EditSettingLine(FuzzRandom& random, std::string& text, Edit edit) {
    std::vector<std::string> lines = SplitLines(text);
    const size_t index = SettingLine(random, lines);
    if (index == std::string::npos)
        return;
    edit(lines[index]);
    text = Join(lines);
}

void InsertLine(FuzzRandom& random, std::string& text, const std::string& line) {
    std::vector<std::string> lines = SplitLines(text);
    if (!lines.empty() && lines.back().back() != '\n')
        lines.back() += "\n";
    lines.insert(lines.begin() + Below(random, lines.size() + 1), line + Ending(random));
    text = Join(lines);
}

std::string Name39() {
    return "Drum room overheads, left + right pair.";
}

const std::vector<std::string>& OddValues() {
    static const std::vector<std::string> values = {
        "", " ", "0", "1", "-1", "+1", "01", "1 2", "1.5", "0x10", "1e3", "4294967295",
        "4294967296", "99999999999", "18446744073709551616", "00000000000048000", "7999", "8000",
        "768000", "768001", "10000", "10001", "40000", "40001", "63", "64", "256", "257",
        "internal", "EXTERNAL", "Manual", "automatic", "yes", "NO", "maybe", "\"", "\"\"", "\"x",
        "x\"", "\" x \"", "\"\"\"", "a\"b", "\"yes\"", Name39(), Name39() + "!",
        // 39 bytes in the code page, 40 in UTF-8; then one byte more.
        "B\xC3\xBChne links: Gesang, Chor und Klavier!!",
        "B\xC3\xBChne links: Gesang, Chor und Klavier!!!", "\xE6\xBC\xA2", "\xE2\x82\xAC",
        "\xC2\x81", "\xEF\xBB\xBF", std::string(kMaxSerialBytes, 'S'),
        std::string(kMaxSerialBytes + 1, 'S'), "3 Internal crystal", "3", "3 \"  spaced  \"",
        "4294967295 x", "4294967296 x", "x 3", " 3 x", "a\tb", "\t", "TQ18-2207-0413",
        "TD08 1911 0077 ", std::string(1, '\0'), "a\rb"};
    return values;
}

const std::vector<std::string>& ForeignLines() {
    static const std::vector<std::string> lines = {"[driver]",
                                                   "[device]",
                                                   "[ DEVICE ]",
                                                   "[devices]",
                                                   "[",
                                                   "[]",
                                                   "]",
                                                   "=",
                                                   " = x",
                                                   "serial = TQ18-2207-0413",
                                                   "serial = TX99-0000-0001",
                                                   "input 1 = x",
                                                   "output 300 = y",
                                                   "rank = 1",
                                                   "name = ",
                                                   "; comment",
                                                   "Tarnet Control Panel setup 1",
                                                   "Tarnet Control Panel setup 2",
                                                   "synchronisation mode = 1",
                                                   "clock source = internal",
                                                   "wdm buffer = 1",
                                                   "just words",
                                                   "\xEF\xBB\xBFserial = B",
                                                   "input 01 = again",
                                                   "output  2 = again"};
    return lines;
}

void Cut(FuzzRandom& random, std::string& text) {
    text.resize(Below(random, text.size() + 1));
}

void RepeatLine(FuzzRandom& random, std::string& text) {
    std::vector<std::string> lines = SplitLines(text);
    if (lines.empty())
        return;
    const size_t from = Below(random, lines.size());
    const size_t to = random.Chance(50) ? from + 1 : Below(random, lines.size() + 1);
    const std::string copy = lines[from];
    lines.insert(lines.begin() + to, copy);
    text = Join(lines);
}

void SwapLines(FuzzRandom& random, std::string& text) {
    std::vector<std::string> lines = SplitLines(text);
    if (lines.size() < 2)
        return;
    std::swap(lines[Below(random, lines.size())], lines[Below(random, lines.size())]);
    text = Join(lines);
}

void DropLine(FuzzRandom& random, std::string& text) {
    std::vector<std::string> lines = SplitLines(text);
    if (lines.empty())
        return;
    lines.erase(lines.begin() + Below(random, lines.size()));
    text = Join(lines);
}

void FlipBits(FuzzRandom& random, std::string& text) {
    if (text.empty())
        return;
    const unsigned mask = random.Chance(75) ? 1u << random.Below(8) : 1 + random.Below(255);
    char& c = text[Below(random, text.size())];
    c = static_cast<char>(static_cast<unsigned char>(c) ^ mask);
}

void InsertByte(FuzzRandom& random, std::string& text) {
    text.insert(Below(random, text.size() + 1), 1, static_cast<char>(random.Below(256)));
}

void InsertBinary(FuzzRandom& random, std::string& text) {
    // NUL, bytes that never start UTF-8, lone lead and continuation bytes,
    // a surrogate and an overlong form, CR without LF, a tab, a mark.
    static const std::string pieces[] = {
        std::string(1, '\0'), "\xFF",     "\xFE", "\xC3", "\xE2\x82", "\xF0\x9F",    "\x80", "\xBF",
        "\xED\xA0\x80",       "\xC0\xAF", "\r",   "\t",   "\x7F",     "\xEF\xBB\xBF"};
    const std::string& piece = pieces[Below(random, std::size(pieces))];
    text.insert(Below(random, text.size() + 1), piece);
}

void LongLine(FuzzRandom& random, std::string& text) {
    const size_t length = 10000 + Below(random, 50000);
    const std::string fill(length, 'a');
    std::string line;
    switch (random.Below(8)) {
    case 0:
        line = ";" + fill;
        break;
    case 1:
        line = "name = " + fill;
        break;
    case 2:
        line = fill + " = 1";
        break;
    case 3:
        line = "rank = " + std::string(length, '0') + "1";
        break;
    case 4:
        line = "[" + fill + "]";
        break;
    case 5:
        line = std::string(length, ' ') + "rank = 1";
        break;
    case 6:
        line = "serial = " + fill;
        break;
    default:
        for (size_t i = 0; i < length / 2; ++i)
            line += "\xC3\xBC";
        line = "input 4 = " + line;
        break;
    }
    InsertLine(random, text, line);
}

void RepeatSection(FuzzRandom& random, std::string& text) {
    if (random.Chance(40)) {
        InsertLine(random, text, random.Chance(50) ? "[driver]" : "[device]");
        return;
    }
    std::vector<std::string> lines = SplitLines(text);
    std::vector<size_t> starts;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find_first_not_of(" \t") < lines[i].size() &&
            lines[i][lines[i].find_first_not_of(" \t")] == '[')
            starts.push_back(i);
    if (starts.empty())
        return;
    const size_t pick = Below(random, starts.size());
    const size_t begin = starts[pick];
    const size_t end = pick + 1 < starts.size() ? starts[pick + 1] : lines.size();
    std::vector<std::string> block(lines.begin() + begin, lines.begin() + end);
    if (!block.back().empty() && block.back().back() != '\n')
        block.back() += "\n";
    const size_t at = random.Chance(50) ? end : Below(random, lines.size() + 1);
    if (at > 0 && at == lines.size() && lines.back().back() != '\n')
        lines.back() += "\n";
    lines.insert(lines.begin() + at, block.begin(), block.end());
    text = Join(lines);
}

// The values at either side of a key's limits: those the reader must take
// and those it must refuse.
std::vector<std::string> EdgeValues(std::string key) {
    key.erase(0, key.find_first_not_of(" \t"));
    key.erase(key.find_last_not_of(" \t") + 1);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (key == "sampling rate")
        return {"7999", "8000", "768000", "768001"};
    if (key == "stream buffer")
        return {"0", "1", "10000", "10001"};
    if (key == "asio buffer" || key == "wdm buffer")
        return {"0", "1", "40000", "40001"};
    if (key == "rank")
        return {"0", "63", "64"};
    if (key == "synchronisation mode")
        return {"0", "4294967295 x", "4294967296 x", "7 " + Name39(), "7 " + Name39() + "!"};
    if (key == "clock source")
        return {"internal", "External", "word clock"};
    if (key == "sampling rate mode")
        return {"manual", "AUTOMATIC", "auto"};
    if (key == "include device name")
        return {"yes", "No", "true"};
    if (key == "serial" || key == "clock master")
        return {std::string(kMaxSerialBytes, 'S'), std::string(kMaxSerialBytes + 1, 'S'),
                "\"" + std::string(kMaxSerialBytes - 1, 'S') + " \""};
    // A name: of the driver's length, one byte longer, in UTF-8 longer than
    // in the code page.
    return {Name39(),
            Name39() + "!",
            "\"" + Name39() + "\"",
            "\"" + Name39() + " \"",
            "B\xC3\xBChne links: Gesang, Chor und Klavier!!",
            "B\xC3\xBChne links: Gesang, Chor und Klavier!!!"};
}

void ReplaceValue(FuzzRandom& random, std::string& text) {
    EditSettingLine(
        random, text,
        [&](std::string& line) {
            const size_t equals = line.find('=');
            const std::vector<std::string> values =
                random.Chance(50) ? EdgeValues(line.substr(0, equals)) : OddValues();
            line.replace(equals + 1, BodySize(line) - equals - 1,
                         " " + values[Below(random, values.size())]);
        });
}

void UnbalanceQuote(FuzzRandom& random, std::string& text) {
    EditSettingLine(
        random, text,
        [&](std::string& line) {
            const size_t quote = line.find('"');
            switch (random.Below(3)) {
            case 0:
                line.insert(line.find('=') + 1, " \"");
                break;
            case 1:
                line.insert(BodySize(line), "\"");
                break;
            default:
                if (quote != std::string::npos)
                    line.erase(random.Chance(50) ? quote : line.rfind('"'), 1);
                break;
            }
        });
}

// The same key written another way: its case, its spaces, its number.
void Respell(FuzzRandom& random, std::string& text) {
    EditSettingLine(
        random, text,
        [&](std::string& line) {
            const size_t equals = line.find('=');
            switch (random.Below(5)) {
            case 0:
                for (size_t i = 0; i < equals; ++i)
                    if (random.Chance(50))
                        line[i] =
                            static_cast<char>(std::toupper(static_cast<unsigned char>(line[i])));
                break;
            case 1:
                line.insert(0, random.Chance(50) ? "  " : "\t");
                break;
            case 2: {
                const size_t space = line.find(' ');
                if (space < equals)
                    line.insert(space, random.Chance(50) ? " " : " \t");
                break;
            }
            case 3: {
                const size_t digit = line.find_first_of("0123456789");
                if (digit < equals)
                    line.insert(digit, random.Chance(50) ? "0" : "000");
                break;
            }
            default:
                line.insert(equals, random.Chance(50) ? "\t" : "  ");
                break;
            }
        });
}

// A channel moved to another place or direction, so that two may meet.
void Renumber(FuzzRandom& random, std::string& text) {
    std::vector<std::string> lines = SplitLines(text);
    std::vector<size_t> channels;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string lower = lines[i];
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const size_t first = lower.find_first_not_of(" \t");
        if (first != std::string::npos &&
            (lower.compare(first, 6, "input ") == 0 || lower.compare(first, 7, "output ") == 0))
            channels.push_back(i);
    }
    if (channels.empty())
        return;
    std::string& line = lines[channels[Below(random, channels.size())]];
    const size_t digit = line.find_first_of("0123456789");
    const size_t equals = line.find('=');
    if (random.Chance(30)) {
        const size_t first = line.find_first_not_of(" \t");
        const bool output = line[first] == 'o' || line[first] == 'O';
        line.replace(first, output ? 6 : 5, output ? "input" : "output");
    } else if (digit < equals) {
        const size_t end = line.find_first_not_of("0123456789", digit);
        const std::string number =
            random.Chance(20) ? std::to_string(random.OneOf({0, kMaxPosition, kMaxPosition + 1}))
                              : std::to_string(random.Below(5));
        line.replace(digit, end - digit, random.Chance(20) ? "0" + number : number);
    }
    text = Join(lines);
}

void LineEnds(FuzzRandom& random, std::string& text) {
    std::string out;
    switch (random.Below(6)) {
    case 0: // LF only
        for (size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
                out += text[i];
        text = out;
        break;
    case 1: // CR only
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n')
                out += (out.empty() || out.back() != '\r') ? "\r" : "";
            else
                out += text[i];
        text = out;
        break;
    case 2: { // one line ends in CR CR LF
        const size_t newline = text.find('\n', Below(random, text.size() + 1));
        if (newline != std::string::npos)
            text.insert(newline, "\r\r");
        break;
    }
    case 3:
        text.insert(0, "\xEF\xBB\xBF");
        break;
    case 4: // no end on the last line
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        break;
    default: { // spaces and tabs at a line's end
        const size_t newline = text.find('\n', Below(random, text.size() + 1));
        text.insert(newline == std::string::npos ? text.size() : newline,
                    random.Chance(50) ? " \t " : "\t");
        break;
    }
    }
}

void ForeignLine(FuzzRandom& random, std::string& text) {
    const std::vector<std::string>& lines = ForeignLines();
    InsertLine(random, text, lines[Below(random, lines.size())]);
}

// Devices with every channel named, the densest settings there are, up to
// the given size: written back with the spaces and line ends the writer puts
// in, they take more room than they did.
std::string DeviceSections(size_t size) {
    const std::string name = "=" + Name39() + "\n";
    std::string block;
    for (size_t device = 0, channel = 0;; channel = channel == 2 * kMaxPosition ? 0 : channel + 1) {
        std::string line;
        if (channel == 0)
            line = "[device]\nserial=pad " + std::to_string(device++) + "\n";
        else if (channel <= kMaxPosition)
            line = "input " + std::to_string(channel) + name;
        else
            line = "output " + std::to_string(channel - kMaxPosition) + name;
        if (block.size() + line.size() + 1 > size)
            return block;
        block += line;
    }
}

// A file at the size limit, one byte either side, or just over it: padded
// with comments, or with settings.
void NearLimit(FuzzRandom& random, std::string& text) {
    const size_t target = SetupFile::kMaxFileBytes - 1 + random.OneOf({0, 1, 2, 3}) +
                          (random.Chance(25) ? Below(random, 64) : 0);
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    if (text.size() + 2 >= target) {
        text.resize(target);
        return;
    }
    const size_t padding = target - text.size();
    std::string block;
    const uint32_t kind = random.Below(4);
    if (kind == 0) {
        // At the end, where new sections leave no setting of the file's own
        // without its section.
        block = DeviceSections(padding);
        text += block + std::string(padding - block.size() - 1, ' ') + "\n";
        return;
    }
    if (kind == 1) {
        block = ";" + std::string(padding - 2, 'p') + "\n";
    } else {
        while (block.size() + 100 < padding)
            block += ";" + std::string(98, 'p') + "\n";
        block += std::string(padding - block.size() - 1, ' ') + "\n";
    }
    // After the first line, which names the format.
    std::vector<std::string> lines = SplitLines(text);
    lines.insert(lines.begin() + (lines.empty() ? 0 : 1 + Below(random, lines.size())), block);
    text = Join(lines);
}

struct Mutation {
    const char* name;
    void (*apply)(FuzzRandom&, std::string&);
    uint32_t weight;
};

// A file of a megabyte costs far more to read than the others: rare, and
// applied last, so that the size it gives is the file's.
const Mutation kMutations[] = {
    {"cut", Cut, 12},
    {"repeat line", RepeatLine, 20},
    {"swap lines", SwapLines, 16},
    {"drop line", DropLine, 12},
    {"flip bits", FlipBits, 20},
    {"insert byte", InsertByte, 16},
    {"insert binary", InsertBinary, 20},
    {"long line", LongLine, 6},
    {"repeat section", RepeatSection, 16},
    {"replace value", ReplaceValue, 32},
    {"unbalance quote", UnbalanceQuote, 16},
    {"respell key", Respell, 16},
    {"renumber channel", Renumber, 16},
    {"line ends", LineEnds, 12},
    {"foreign line", ForeignLine, 20},
    {"near limit", NearLimit, 1},
};

const Mutation& PickMutation(FuzzRandom& random) {
    uint32_t total = 0;
    for (const Mutation& m : kMutations)
        total += m.weight;
    uint32_t pick = random.Below(total);
    for (const Mutation& m : kMutations) {
        if (pick < m.weight)
            return m;
        pick -= m.weight;
    }
    return kMutations[0];
}

// ---- Checks ----------------------------------------------------------------

// The lines of a text as the reader counts them: ended by LF; an empty file
// has its one empty line.
size_t LineCount(const std::string& text) {
    const size_t ends = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    return text.empty() || text.back() != '\n' ? ends + 1 : ends;
}

bool Empty(const Setup& s) {
    return !s.ClockSource && !s.ClockMaster && !s.SampleRateMode && !s.SampleRate &&
           !s.StreamBufferUs && !s.AsioBufferUs && !s.WdmBufferUs && !s.IncludeDeviceName &&
           s.Devices.empty();
}

template <typename T> std::string Shown(const std::optional<T>& value) {
    if (!value)
        return "(absent)";
    if constexpr (std::is_same_v<T, std::string>)
        return "\"" + *value + "\"";
    else
        return std::to_string(*value);
}

// The first field in which two setups differ, or nothing.
std::string Difference(const Setup& a, const Setup& b) {
    auto field = [](const char* name, const auto& x, const auto& y) {
        return x == y ? std::string() : std::string(name) + ": " + Shown(x) + " / " + Shown(y);
    };
    for (const std::string& d :
         {field("clock source", a.ClockSource, b.ClockSource),
          field("clock master", a.ClockMaster, b.ClockMaster),
          field("sampling rate mode", a.SampleRateMode, b.SampleRateMode),
          field("sampling rate", a.SampleRate, b.SampleRate),
          field("stream buffer", a.StreamBufferUs, b.StreamBufferUs),
          field("asio buffer", a.AsioBufferUs, b.AsioBufferUs),
          field("wdm buffer", a.WdmBufferUs, b.WdmBufferUs),
          field("include device name", a.IncludeDeviceName, b.IncludeDeviceName)})
        if (!d.empty())
            return d;
    if (a.Devices.size() != b.Devices.size())
        return "devices: " + std::to_string(a.Devices.size()) + " / " +
               std::to_string(b.Devices.size());
    for (size_t i = 0; i < a.Devices.size(); ++i) {
        const SetupDevice& x = a.Devices[i];
        const SetupDevice& y = b.Devices[i];
        const std::string where = "device " + std::to_string(i + 1) + " ";
        const auto modeId = [](const SetupDevice& d) {
            return d.Mode ? std::optional<uint32_t>(d.Mode->ModeId) : std::nullopt;
        };
        const auto modeName = [](const SetupDevice& d) {
            return d.Mode ? std::optional<std::string>(d.Mode->Name) : std::nullopt;
        };
        for (const std::string& d :
             {field("serial", std::optional<std::string>(x.Serial),
                    std::optional<std::string>(y.Serial)),
              field("name", x.Name, y.Name), field("rank", x.Rank, y.Rank),
              field("mode id", modeId(x), modeId(y)), field("mode name", modeName(x), modeName(y))})
            if (!d.empty())
                return where + d;
        if (x.Channels.size() != y.Channels.size())
            return where + "channels: " + std::to_string(x.Channels.size()) + " / " +
                   std::to_string(y.Channels.size());
        for (size_t c = 0; c < x.Channels.size(); ++c) {
            const SetupChannel& p = x.Channels[c];
            const SetupChannel& q = y.Channels[c];
            if (p.Output != q.Output || p.Position != q.Position || p.Name != q.Name)
                return where + "channel " + std::to_string(c + 1) + ": " +
                       (p.Output ? "output " : "input ") + std::to_string(p.Position) + " \"" +
                       p.Name + "\" / " + (q.Output ? "output " : "input ") +
                       std::to_string(q.Position) + " \"" + q.Name + "\"";
        }
    }
    return std::string();
}

// Why a setup the reader gave is not one the driver could take, or nothing.
std::string Invalid(const Setup& s) {
    const auto outside = [](const std::optional<uint32_t>& value, uint32_t low, uint32_t high) {
        return value && (*value < low || *value > high);
    };
    if (outside(s.ClockSource, 0, 1) || outside(s.SampleRateMode, 0, 1))
        return "a choice out of its words";
    if (outside(s.SampleRate, 8000, 768000) || outside(s.StreamBufferUs, 1, 10000) ||
        outside(s.AsioBufferUs, 1, 40000) || outside(s.WdmBufferUs, 1, 40000))
        return "a number out of its range";
    if (s.ClockMaster && (s.ClockMaster->empty() || s.ClockMaster->size() > kMaxSerialBytes))
        return "clock master of " + std::to_string(s.ClockMaster->size()) + " bytes";
    std::set<std::string> serials;
    for (const SetupDevice& d : s.Devices) {
        if (d.Serial.empty() || d.Serial.size() > kMaxSerialBytes)
            return "serial of " + std::to_string(d.Serial.size()) + " bytes";
        if (!serials.insert(d.Serial).second)
            return "serial \"" + d.Serial + "\" twice";
        if (outside(d.Rank, 0, kMaxRank))
            return "rank " + std::to_string(*d.Rank);
        if ((d.Name && d.Name->size() > SetupFile::kMaxNameBytes) ||
            (d.Mode && d.Mode->Name.size() > SetupFile::kMaxNameBytes))
            return "a name too long for the driver";
        std::set<std::pair<bool, uint32_t>> places;
        for (const SetupChannel& c : d.Channels) {
            if (c.Position < 1 || c.Position > kMaxPosition)
                return "channel position " + std::to_string(c.Position);
            if (c.Name.size() > SetupFile::kMaxNameBytes)
                return "a channel name too long for the driver";
            if (!places.insert({c.Output, c.Position}).second)
                return std::string(c.Output ? "output " : "input ") + std::to_string(c.Position) +
                       " twice on " + d.Serial;
        }
    }
    return std::string();
}

// The text with its control and non-ASCII bytes shown, cut short.
std::string Printable(const std::string& text, size_t limit = 600) {
    std::string out;
    for (size_t i = 0; i < text.size() && i < limit; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            out += "\\n\n";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return text.size() > limit ? out + "..." : out;
}

struct Tally {
    size_t accepted = 0;
    std::map<Problem, size_t> refused;
};

// What is wrong with the reader's answer to one input, or nothing.
std::string Check(const std::string& input, Tally& tally) {
    SetupFile::Result read;
    try {
        read = SetupFile::Parse(input);
    } catch (const std::exception& e) {
        return std::string("the reader threw: ") + e.what();
    }
    if (read.problem != Problem::None) {
        ++tally.refused[read.problem];
        if (!Empty(read.setup))
            return "refused with problem " + std::to_string(static_cast<int>(read.problem)) +
                   " yet gave part of a setup";
        const bool tooLarge = read.problem == Problem::TooLarge;
        // Over the limit a file is too large; within it, only when its setup
        // would be once written, and the writer's spaces and line ends never
        // add half as much again.
        if (input.size() > SetupFile::kMaxFileBytes
                ? !tooLarge
                : tooLarge && input.size() * 3 < SetupFile::kMaxFileBytes * 2)
            return "problem " + std::to_string(static_cast<int>(read.problem)) + " for " +
                   std::to_string(input.size()) + " bytes";
        if (tooLarge ? read.line != 0 : (read.line < 1 || read.line > LineCount(input)))
            return "problem " + std::to_string(static_cast<int>(read.problem)) + " on line " +
                   std::to_string(read.line) + " of " + std::to_string(LineCount(input));
        return std::string();
    }
    ++tally.accepted;
    if (input.size() > SetupFile::kMaxFileBytes)
        return "a file over the limit read";
    const std::string invalid = Invalid(read.setup);
    if (!invalid.empty())
        return "read a setup the driver cannot take: " + invalid;
    const std::string written = SetupFile::Write(read.setup);
    const SetupFile::Result again = SetupFile::Parse(written);
    if (again.problem != Problem::None)
        return "what was read, written, is refused: problem " +
               std::to_string(static_cast<int>(again.problem)) + " on line " +
               std::to_string(again.line) + " of the written text:\n" + Printable(written, 4000);
    const std::string difference = Difference(read.setup, again.setup);
    if (!difference.empty())
        return "what was read, written and read again differs in " + difference +
               "\nwritten text:\n" + Printable(written, 4000);
    return std::string();
}

} // namespace

TEST(SetupFileFuzz, TheStartingFileIsValidAndReadsBackAlike) {
    Tally tally;
    EXPECT_EQ("", Check(kValidFile, tally));
    const SetupFile::Result read = SetupFile::Parse(kValidFile);
    ASSERT_EQ(Problem::None, read.problem) << "line " << read.line;
    // The fuzz starts from every key and every kind of device line.
    ASSERT_EQ(3u, read.setup.Devices.size());
    EXPECT_TRUE(read.setup.ClockSource && read.setup.ClockMaster && read.setup.SampleRateMode &&
                read.setup.SampleRate && read.setup.StreamBufferUs && read.setup.AsioBufferUs &&
                read.setup.WdmBufferUs && read.setup.IncludeDeviceName);
    const SetupDevice& quadra = read.setup.Devices[0];
    EXPECT_TRUE(quadra.Name && quadra.Rank && quadra.Mode);
    EXPECT_EQ(4u, quadra.Channels.size());
    ASSERT_TRUE(read.setup.Devices[1].Name.has_value());
    EXPECT_EQ(SetupFile::kMaxNameBytes, read.setup.Devices[1].Name->size());
}

TEST(SetupFileFuzz, AnyFileIsRefusedAtALineOrReadAsASetupThatWritesBackAlike) {
    const uint64_t first = EnvironmentNumber("DEMTREL_SETUP_FUZZ_SEED", kCiFirstSeed);
    const uint64_t iterations = EnvironmentNumber("DEMTREL_SETUP_FUZZ_ITERATIONS", kCiIterations);
    void* handler = ::AddVectoredExceptionHandler(1, &ReportCrash);
    const auto start = std::chrono::steady_clock::now();
    Tally tally;
    size_t failures = 0;
    std::string firstFailure;
    double slowest = 0;
    uint64_t slowestSeed = first;
    for (uint64_t i = 0; i < iterations; ++i) {
        const uint64_t seed = first + i;
        FuzzRandom random(seed);
        std::string input = kValidFile;
        std::string applied;
        bool nearLimit = false;
        for (uint32_t n = 1 + random.Below(4); n > 0; --n) {
            const Mutation& mutation = PickMutation(random);
            if (mutation.apply == NearLimit) {
                nearLimit = true;
                continue;
            }
            mutation.apply(random, input);
            applied += applied.empty() ? mutation.name : std::string(", ") + mutation.name;
        }
        if (nearLimit) {
            NearLimit(random, input);
            applied += applied.empty() ? "near limit" : ", near limit";
        }
        g_RunningSeed = seed;
        g_RunningSize = input.size();
        const auto before = std::chrono::steady_clock::now();
        const std::string failure = Check(input, tally);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
        if (seconds > slowest)
            slowest = seconds, slowestSeed = seed;
        if (failure.empty())
            continue;
        if (++failures == 1)
            firstFailure = "seed " + std::to_string(seed) + ": " + failure;
        if (failures <= kMaxReports) {
            std::printf("setup fuzz: FAILED seed %llu (iteration %llu), input of %zu bytes after "
                        "%s: %s\ninput:\n%s\n",
                        static_cast<unsigned long long>(seed), static_cast<unsigned long long>(i),
                        input.size(), applied.c_str(), failure.c_str(),
                        Printable(input, 3000).c_str());
            std::fflush(stdout);
        }
    }
    ::RemoveVectoredExceptionHandler(handler);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::string refusals;
    size_t refused = 0;
    for (const auto& [problem, count] : tally.refused) {
        refused += count;
        refusals += " " + std::to_string(static_cast<int>(problem)) + ":" + std::to_string(count);
    }
    std::printf("setup fuzz: %llu iterations (seeds %llu to %llu) in %.1f s on %s: %zu read, "
                "%zu refused (by problem%s); slowest %.3f s, seed %llu\n",
                static_cast<unsigned long long>(iterations), static_cast<unsigned long long>(first),
                static_cast<unsigned long long>(first + iterations - 1), seconds,
                sizeof(void*) == 8 ? "x86_64" : "i686", tally.accepted, refused, refusals.c_str(),
                slowest, static_cast<unsigned long long>(slowestSeed));
    std::fflush(stdout);
    EXPECT_EQ(0u, failures) << failures << " failing seeds; the first: " << firstFailure;
    // The fuzz proves little unless both answers are common: many files that
    // read, to be written back, and many refusals, to be placed.
    if (iterations >= 1000) {
        EXPECT_GT(tally.accepted * 10, iterations) << "too few mutated files read";
        EXPECT_GT(refused * 10, iterations) << "too few mutated files refused";
    }
}
