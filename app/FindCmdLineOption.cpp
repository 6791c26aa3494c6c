#include "FindCmdLineOption.h"

#include <cctype>
#include <mbstring.h>

namespace {

// isspace is undefined for negative char values, which every byte of a
// double-byte character or an accented letter is on this compiler.
bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Skips white space at pos, then returns the following run of other characters.
std::string NextToken(const char* text, size_t& pos) {
    while (text[pos] != '\0' && IsSpace(text[pos]))
        ++pos;
    const size_t start = pos;
    while (text[pos] != '\0' && !IsSpace(text[pos]))
        ++pos;
    return std::string(text + start, pos - start);
}

// The token after an option: a path with spaces comes in double quotes, which
// group it and are not part of it; a quote left open runs to the end.
std::string NextArgument(const char* text, size_t& pos) {
    while (text[pos] != '\0' && IsSpace(text[pos]))
        ++pos;
    if (text[pos] != '"')
        return NextToken(text, pos);
    const size_t start = ++pos;
    while (text[pos] != '\0' && text[pos] != '"')
        ++pos;
    const std::string argument(text + start, pos - start);
    if (text[pos] == '"')
        ++pos;
    return argument;
}

bool SameToken(const std::string& token, const char* option, bool ignoreCase) {
    const auto* a = reinterpret_cast<const unsigned char*>(token.c_str());
    const auto* b = reinterpret_cast<const unsigned char*>(option);
    return (ignoreCase ? _mbsicmp(a, b) : _mbscmp(a, b)) == 0;
}

} // namespace

bool FindCmdLineOption(const char* cmdLine, const char* option, std::string* following,
                       bool ignoreCase) {
    if (following)
        following->clear();
    if (!cmdLine || !option)
        return false;
    size_t pos = 0;
    while (cmdLine[pos] != '\0') {
        const std::string token = NextToken(cmdLine, pos);
        if (token.empty() || !SameToken(token, option, ignoreCase))
            continue;
        const std::string next = NextArgument(cmdLine, pos);
        if (following && !next.empty())
            *following = next;
        return true;
    }
    return false;
}
