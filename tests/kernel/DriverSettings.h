// The test driver's settings for failing, slow and stalled requests (see
// TestDriver.cpp): values under its service's Parameters key, which it reads
// for every request.
#pragma once

#include <windows.h>

constexpr char kDriverParameters[] =
    "System\\CurrentControlSet\\Services\\DemtrelTestDriver\\Parameters";

inline bool SetDriverSetting(const char* name, DWORD value) {
    HKEY key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kDriverParameters, 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const bool set =
        ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                         sizeof value) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return set;
}

inline void ClearDriverSettings() {
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kDriverParameters);
}
