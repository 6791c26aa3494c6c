// Puts a test's own function in place of one that a module imports from a
// system library, for the life of the object: every call the module makes
// through its import table reaches the replacement. Tests use it to see the
// arguments of a system call that leaves no trace to look at afterwards (a
// timer's period, the verb of a shell start).
#pragma once

#include <windows.h>

class ImportHook {
public:
    // Replaces function of library (for example "user32.dll", "SetTimer") in
    // the import table of module; Installed() tells whether it was found.
    ImportHook(HMODULE module, const char* library, const char* function, void* replacement);
    ~ImportHook();
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool Installed() const { return m_slot != nullptr; }
    // What the module called before; the replacement forwards to it.
    void* Original() const { return m_original; }

private:
    static void Write(void** slot, void* value);

    void** m_slot = nullptr;
    void* m_original = nullptr;
};
