#include "DriverCodes.h"

#include <windows.h>

namespace {

// What a request on a once-good handle returns when the driver behind it is
// gone: unloaded and loaded again (an update, a reinstall), or its device
// removed. The driver's own refusals (0xE00000xx) say that it is there and
// knows the handle, and the other system errors (busy, out of memory, an
// I/O error) are a moment's trouble of a live connection; neither is cured
// by opening again.
constexpr uint32_t kLostStatuses[] = {
    ERROR_FILE_NOT_FOUND,       // the device object behind the handle was deleted
    ERROR_ACCESS_DENIED,        // the device is being deleted: the handle can never work again
    ERROR_INVALID_HANDLE,       // the handle itself is no longer known
    ERROR_BAD_COMMAND,          // a device stopped for removal or restart refuses everything
    ERROR_DEV_NOT_EXIST,        // the device does not exist any more
    ERROR_DEVICE_NOT_CONNECTED, // the device was disconnected
    ERROR_DEVICE_REMOVED,       // the device was removed
};

} // namespace

bool IsConnectionLost(uint32_t status) {
    for (uint32_t lost : kLostStatuses)
        if (lost == status)
            return true;
    return false;
}
