#include "Preferences.h"

#include <windows.h>

namespace Preferences {

bool WarnAboutDropOuts() {
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    const LSTATUS status = ::RegGetValueA(HKEY_CURRENT_USER, kKey, kWarnAboutDropOuts, RRF_RT_ANY,
                                          &type, &value, &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value || value > 1)
        return true;
    return value == 1;
}

bool SetWarnAboutDropOuts(bool warn) {
    const DWORD value = warn ? 1 : 0;
    return ::RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kWarnAboutDropOuts, REG_DWORD, &value,
                             sizeof value) == ERROR_SUCCESS;
}

} // namespace Preferences
