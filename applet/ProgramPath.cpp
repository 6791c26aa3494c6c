#include "ProgramPath.h"

#include <cstring>

const char* FindLastBackslash(const char* path, UINT codePage) noexcept {
    const char* last = nullptr;
    for (const char* p = path; *p != '\0';) {
        const BYTE byte = static_cast<BYTE>(*p);
        if (IsDBCSLeadByteEx(codePage, byte) && p[1] != '\0') {
            p += 2;
            continue;
        }
        if (*p == '\\')
            last = p;
        ++p;
    }
    return last;
}

bool ProgramBesideModule(const char* modulePath, const char* program, UINT codePage, char* out,
                         size_t size) noexcept {
    if (size == 0)
        return false;
    out[0] = '\0';
    const char* backslash = FindLastBackslash(modulePath, codePage);
    if (!backslash)
        return false;
    // The folder with its backslash, then the program's name and its terminator. Plain
    // copies keep the applet free of the runtime's formatted printing.
    const size_t folderLength = static_cast<size_t>(backslash - modulePath) + 1;
    const size_t programSize = std::strlen(program) + 1;
    if (folderLength + programSize > size)
        return false;
    std::memcpy(out, modulePath, folderLength);
    std::memcpy(out + folderLength, program, programSize);
    return true;
}
