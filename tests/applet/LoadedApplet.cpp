#include "LoadedApplet.h"

std::string BesideThisProgram(const char* name) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

LoadedApplet::~LoadedApplet() {
    Unload();
}

void LoadedApplet::Unload() {
    if (m_module)
        ::FreeLibrary(m_module);
    m_module = nullptr;
    m_entry = nullptr;
}

bool LoadedApplet::Load(const std::string& path) {
    m_module = ::LoadLibraryA(path.c_str());
    if (!m_module)
        return false;
    m_entry =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(::GetProcAddress(m_module, "CPlApplet")));
    return m_entry != nullptr;
}

LONG LoadedApplet::Send(UINT message, LPARAM first, LPARAM second) const {
    return m_entry(nullptr, message, first, second);
}
