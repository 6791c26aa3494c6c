#include "ImportHook.h"

namespace {

template <typename T> T* At(HMODULE module, DWORD offset) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

// The import table's slot for the function, or null.
void** FindSlot(HMODULE module, const char* library, const char* function) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = At<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (auto* entry = At<const IMAGE_IMPORT_DESCRIPTOR>(module, imports.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (lstrcmpiA(At<const char>(module, entry->Name), library) != 0)
            continue;
        auto* names = At<const IMAGE_THUNK_DATA>(module, entry->OriginalFirstThunk);
        auto* slots = At<IMAGE_THUNK_DATA>(module, entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                At<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

} // namespace

ImportHook::ImportHook(HMODULE module, const char* library, const char* function,
                       void* replacement) {
    if (!module)
        return;
    m_slot = FindSlot(module, library, function);
    if (!m_slot)
        return;
    m_original = *m_slot;
    Write(m_slot, replacement);
}

ImportHook::~ImportHook() {
    if (m_slot)
        Write(m_slot, m_original);
}

// Import tables may lie in pages the loader made read-only.
void ImportHook::Write(void** slot, void* value) {
    DWORD previous = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, previous, &previous);
}
