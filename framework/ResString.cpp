#include "ResString.h"

#include "WinApp.h"

#include <map>
#include <tuple>
#include <vector>

namespace {

// Strings are stored in blocks of 16 counted UTF-16 entries; reading the
// block directly has no length limit and tells a missing entry from an
// empty one without a buffer guess.
std::string ReadResString(UINT id, LANGID language) {
    const ResourceBytes block = FindResourceBytes(6, (id >> 4) + 1, language);
    const WCHAR* entry = static_cast<const WCHAR*>(block.data);
    if (entry == nullptr)
        return std::string();
    const WCHAR* end = entry + block.size / sizeof(WCHAR);
    for (UINT skip = id & 15; skip > 0 && entry < end; --skip)
        entry += 1 + *entry;
    if (entry >= end || *entry == 0 || entry + 1 + *entry > end)
        return std::string();
    const int length = *entry;
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, entry + 1, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(bytes));
    ::WideCharToMultiByte(CP_ACP, 0, entry + 1, length, text.data(), bytes, nullptr, nullptr);
    return std::string(text.data(), text.size());
}

} // namespace

// A list asks for the same few texts for each of its rows: each is found
// and converted once per thread and resource module.
std::string LoadResString(UINT id) {
    return LoadResString(id, 0);
}

std::string LoadResString(UINT id, LANGID language) {
    thread_local std::map<std::tuple<HINSTANCE, UINT, LANGID>, std::string> loaded;
    const std::tuple<HINSTANCE, UINT, LANGID> key{AfxGetResourceHandle(), id, language};
    auto found = loaded.find(key);
    if (found == loaded.end())
        found = loaded.emplace(key, ReadResString(id, language)).first;
    return found->second;
}

ResourceBytes FindResourceBytes(UINT type, UINT id, LANGID language) {
    HINSTANCE module = AfxGetResourceHandle();
    // Language 0 (neutral) lets Windows pick by the user's interface language,
    // falling back to any language the module has.
    HRSRC info = ::FindResourceExA(module, MAKEINTRESOURCEA(type), MAKEINTRESOURCEA(id), language);
    HGLOBAL loaded = info != nullptr ? ::LoadResource(module, info) : nullptr;
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    return {data, data != nullptr ? ::SizeofResource(module, info) : 0};
}

std::string FormatResString(UINT id, std::initializer_list<std::string> values) {
    return FormatResString(id, 0, values);
}

std::string FormatResString(UINT id, LANGID language, std::initializer_list<std::string> values) {
    const std::string format = LoadResString(id, language);
    std::string text;
    auto next = values.begin();
    for (size_t at = 0; at < format.size(); ++at) {
        if (format.compare(at, 2, "%s") != 0) {
            text += format[at];
            continue;
        }
        if (next != values.end())
            text += *next++;
        ++at;
    }
    return text;
}
