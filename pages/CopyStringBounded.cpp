#include "CopyStringBounded.h"

char* CopyStringBounded(char* dest, const char* src, size_t size) {
    if (size == 0)
        return dest;
    size_t i = 0;
    for (; i + 1 < size && src[i] != '\0'; ++i)
        dest[i] = src[i];
    dest[i] = '\0';
    return dest + i;
}
