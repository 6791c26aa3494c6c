#include "DeviceNotification.h"

#include <dbt.h>

#include <cstddef>
#include <cstring>
#include <vector>

LRESULT SendDeviceInterfaceChange(HWND window, WPARAM event, const GUID& interfaceClass,
                                  const std::string& interfaceName) {
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    std::vector<char> bytes(nameOffset + interfaceName.size() + 1);
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(bytes.data());
    record->dbcc_size = static_cast<DWORD>(bytes.size());
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_classguid = interfaceClass;
    std::memcpy(bytes.data() + nameOffset, interfaceName.c_str(), interfaceName.size() + 1);
    return ::SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(bytes.data()));
}
