// The bounded copy by which user-edited names enter fixed record fields.
#pragma once

#include <windows.h>

#include <cstddef>

// Copies src into dest until src's terminator or until size - 1 bytes are
// copied, always terminates dest (when size > 0) and returns the position of
// the terminator. Text is in the given code page (the system's by default):
// a double-byte character that would not fit whole is left out, never cut
// in two, and so is a lead byte that has no trail byte.
char* CopyStringBounded(char* dest, const char* src, size_t size, UINT codePage = CP_ACP);

// The bytes of text that such a copy into a field of this size keeps.
size_t BoundedLength(const char* text, size_t size, UINT codePage = CP_ACP);
