#include "ProgramPath.h"

#include <cstdio>

const char* FindLastBackslash(const char* path, UINT codePage) noexcept {
    const char* last = nullptr;
    for (const char* p = path; *p != '\0';) {
        const BYTE byte = static_cast<BYTE>(*p);
        if (IsDBCSLeadByteEx(codePage, byte) && p[1] != '\0') {
            p += 2;
            continue;
        }
        if (*p == '\\') {
            last = p;
        }
        ++p;
    }
    return last;
}

bool ProgramBesideModule(const char* modulePath, const char* program, UINT codePage, char* out,
                         size_t size) noexcept {
    if (size == 0) {
        return false;
    }
    out[0] = '\0';
    const char* backslash = FindLastBackslash(modulePath, codePage);
    if (!backslash) {
        return false;
    }
    const int directoryLength = static_cast<int>(backslash - modulePath);
    const int written = std::snprintf(out, size, "%.*s\\%s", directoryLength, modulePath, program);
    if (written < 0 || static_cast<size_t>(written) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}
