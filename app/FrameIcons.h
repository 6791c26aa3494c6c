// The program's icons at one DPI, as its frame shows them: small in the caption
// and the notification area, large in the caption's place in Alt+Tab and the
// task bar, and the tray's warning form. Each is loaded at the size the DPI
// asks for, from an image drawn for that size, so that none is scaled.
#pragma once

#include <windows.h>

class FrameIcons {
public:
    FrameIcons() = default;
    ~FrameIcons() { Destroy(); }
    FrameIcons(const FrameIcons&) = delete;
    FrameIcons& operator=(const FrameIcons&) = delete;

    // The icons of the given DPI instead of the ones held; an icon that
    // cannot be loaded stays null.
    void Load(HINSTANCE resources, UINT dpi);
    // Lets a window take new icons before the old ones go: the old ones are
    // destroyed with the other object.
    void Swap(FrameIcons& other) noexcept;
    void Destroy();

    HICON Small() const { return m_hSmall; }
    HICON Big() const { return m_hBig; }
    HICON Warning() const { return m_hWarning; }

private:
    HICON m_hSmall = nullptr;
    HICON m_hBig = nullptr;
    HICON m_hWarning = nullptr;
};
