#include "VersionInfo.h"

#include <gtest/gtest.h>

std::vector<char> FileVersionInfo(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> data(size);
    if (size == 0 || !::GetFileVersionInfoA(path.c_str(), 0, size, data.data()))
        data.clear();
    return data;
}

const VS_FIXEDFILEINFO* FixedVersion(std::vector<char>& info) {
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (info.empty() ||
        !::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length))
        return nullptr;
    return fixed;
}

void ExpectFixedVersion(const VS_FIXEDFILEINFO& fixed, WORD major, WORD minor, DWORD fileType) {
    EXPECT_EQ(fixed.dwFileVersionMS, MAKELONG(minor, major));
    EXPECT_EQ(fixed.dwFileVersionLS, 0u);
    EXPECT_EQ(fixed.dwProductVersionMS, MAKELONG(minor, major));
    EXPECT_EQ(fixed.dwProductVersionLS, 0u);
    EXPECT_EQ(fixed.dwFileType, fileType);
}
