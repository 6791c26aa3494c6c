#include "FrameIcons.h"

#include "Dpi.h"
#include "resource.h"

#include <utility>

namespace {

HICON LoadIconOfSize(HINSTANCE resources, UINT id, int size) {
    return static_cast<HICON>(
        ::LoadImageA(resources, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

} // namespace

void FrameIcons::Load(HINSTANCE resources, UINT dpi) {
    Destroy();
    // The system's sizes at this DPI, which follow the user's choice of
    // icon sizes where there is one: 16 and 32 pixels scaled by the DPI.
    const int smallSize = SystemMetricForDpi(SM_CXSMICON, dpi);
    const int bigSize = SystemMetricForDpi(SM_CXICON, dpi);
    m_hSmall = LoadIconOfSize(resources, IDR_MAINFRAME, smallSize);
    m_hBig = LoadIconOfSize(resources, IDR_MAINFRAME, bigSize);
    m_hWarning = LoadIconOfSize(resources, IDI_TRAY_WARNING, smallSize);
}

void FrameIcons::Swap(FrameIcons& other) noexcept {
    std::swap(m_hSmall, other.m_hSmall);
    std::swap(m_hBig, other.m_hBig);
    std::swap(m_hWarning, other.m_hWarning);
}

void FrameIcons::Destroy() {
    for (HICON* icon : {&m_hSmall, &m_hBig, &m_hWarning}) {
        if (*icon)
            ::DestroyIcon(*icon);
        *icon = nullptr;
    }
}
