#include "Preferences.h"

#include <windows.h>

namespace Preferences {

namespace {

bool ReadFlag(const char* name, bool byDefault) {
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    const LSTATUS status =
        ::RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, &type, &value, &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value || value > 1)
        return byDefault;
    return value == 1;
}

bool WriteFlag(const char* name, bool flag) {
    const DWORD value = flag ? 1 : 0;
    return ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, name, REG_DWORD, &value, sizeof value) ==
           ERROR_SUCCESS;
}

} // namespace

bool WarnAboutDropOuts() {
    return ReadFlag(kWarnAboutDropOuts, true);
}

bool SetWarnAboutDropOuts(bool warn) {
    return WriteFlag(kWarnAboutDropOuts, warn);
}

bool ToldAboutClosing() {
    return ReadFlag(kToldAboutClosing, false);
}

bool SetToldAboutClosing() {
    return WriteFlag(kToldAboutClosing, true);
}

} // namespace Preferences
