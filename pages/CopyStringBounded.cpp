#include "CopyStringBounded.h"

#include <cstring>

size_t BoundedLength(const char* text, size_t size, UINT codePage) {
    size_t length = 0;
    while (text[length] != '\0') {
        const bool lead = ::IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[length])) != FALSE;
        if (lead && text[length + 1] == '\0')
            break;
        const size_t next = length + (lead ? 2 : 1);
        if (next >= size)
            break;
        length = next;
    }
    return length;
}

char* CopyStringBounded(char* dest, const char* src, size_t size, UINT codePage) {
    if (size == 0)
        return dest;
    const size_t length = BoundedLength(src, size, codePage);
    std::memcpy(dest, src, length);
    dest[length] = '\0';
    return dest + length;
}
