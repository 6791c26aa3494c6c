// The user's settings of this process in a key of its own while it lives:
// test programs running beside it open and close windows of their own, as a
// user would, and change the same settings meanwhile.
#pragma once

#include <windows.h>

#include <string>

class PrivateUserSettings {
public:
    PrivateUserSettings()
        : m_path("Software\\DemtrelTests\\" + std::to_string(::GetCurrentProcessId())) {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
        ::RegCreateKeyExA(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &m_key, nullptr);
        ::RegOverridePredefKey(HKEY_CURRENT_USER, m_key);
    }
    ~PrivateUserSettings() {
        ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        ::RegCloseKey(m_key);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, m_path.c_str());
    }
    PrivateUserSettings(const PrivateUserSettings&) = delete;
    PrivateUserSettings& operator=(const PrivateUserSettings&) = delete;

private:
    const std::string m_path;
    HKEY m_key = nullptr;
};
