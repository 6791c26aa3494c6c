#include "ResString.h"

#include "WinApp.h"

#include <vector>

// Strings are stored in blocks of 16 counted UTF-16 entries; reading the
// block directly has no length limit and tells a missing entry from an
// empty one without a buffer guess.
std::string LoadResString(UINT id) {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA((id >> 4) + 1), MAKEINTRESOURCEA(6));
    HGLOBAL loaded = info != nullptr ? ::LoadResource(module, info) : nullptr;
    const WCHAR* entry =
        loaded != nullptr ? static_cast<const WCHAR*>(::LockResource(loaded)) : nullptr;
    if (entry == nullptr)
        return std::string();
    const WCHAR* end = entry + ::SizeofResource(module, info) / sizeof(WCHAR);
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
