// Sarvent loaded the way the Control Panel loads it: as a library driven
// through its one export.
#pragma once

#include <windows.h>

#include <string>

// A file in the folder of the running test program (where the build puts
// the applet and the programs).
std::string BesideThisProgram(const char* name);

class LoadedApplet {
public:
    LoadedApplet() = default;
    ~LoadedApplet();
    LoadedApplet(const LoadedApplet&) = delete;
    LoadedApplet& operator=(const LoadedApplet&) = delete;

    // Loads the library and finds CPlApplet; false when either fails.
    bool Load(const std::string& path);
    // Frees the library, so that its file can be deleted.
    void Unload();
    HMODULE Module() const { return m_module; }
    // One applet message, sent as the Control Panel sends it (no window).
    LONG Send(UINT message, LPARAM first = 0, LPARAM second = 0) const;

private:
    using Entry = LONG(APIENTRY*)(HWND, UINT, LPARAM, LPARAM);
    HMODULE m_module = nullptr;
    Entry m_entry = nullptr;
};
