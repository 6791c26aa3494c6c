#include "Dpi.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// Windows before 10 (1607) has no GetDpiForWindow; the program must still
// start there, so the function is looked up instead of imported.
GetDpiForWindowFn LookUpGetDpiForWindow() {
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    FARPROC proc = user32 ? ::GetProcAddress(user32, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(proc));
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
    static const GetDpiForWindowFn getDpiForWindow = LookUpGetDpiForWindow();
    const UINT dpi = getDpiForWindow ? getDpiForWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi(window);
}

int ScaleForDpi(int value, UINT dpi) {
    return ::MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}
