#include "ResString.h"

#include "WinApp.h"

#include <map>
#include <utility>
#include <vector>

namespace {

// Strings are stored in blocks of 16 counted UTF-16 entries; reading the
// block directly has no length limit and tells a missing entry from an
// empty one without a buffer guess.
std::string ReadResString(UINT id) {
    const ResourceBytes block = FindResourceBytes(6, (id >> 4) + 1);
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
    thread_local std::map<std::pair<HINSTANCE, UINT>, std::string> loaded;
    const std::pair<HINSTANCE, UINT> key{AfxGetResourceHandle(), id};
    auto found = loaded.find(key);
    if (found == loaded.end())
        found = loaded.emplace(key, ReadResString(id)).first;
    return found->second;
}

ResourceBytes FindResourceBytes(UINT type, UINT id) {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    HGLOBAL loaded = info != nullptr ? ::LoadResource(module, info) : nullptr;
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    return {data, data != nullptr ? ::SizeofResource(module, info) : 0};
}

std::string FormatResString(UINT id, std::initializer_list<std::string> values) {
    const std::string format = LoadResString(id);
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
