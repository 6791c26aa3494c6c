#include "Dpi.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

// Windows before 10 (1607) has neither; the program must still start there, so
// the functions are looked up instead of imported.
FARPROC LookUpUser32(const char* name) {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    return user32 ? ::GetProcAddress(user32, name) : nullptr;
}

// The system DPI, as every window had it before per-monitor DPI.
UINT SystemDpi(HWND window) {
    HDC dc = ::GetDC(window);
    const int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc)
        ::ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

} // namespace

UINT DpiForWindow(HWND window) {
    if (!window)
        return kDesignDpi;
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(LookUpUser32("GetDpiForWindow")));
    const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi(window);
}

int ScaleForDpi(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto getSystemMetricsForDpi = reinterpret_cast<GetSystemMetricsForDpiFn>(
        reinterpret_cast<void*>(LookUpUser32("GetSystemMetricsForDpi")));
    if (getSystemMetricsForDpi)
        return getSystemMetricsForDpi(index, dpi);
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi),
                    static_cast<int>(SystemDpi(nullptr)));
}
