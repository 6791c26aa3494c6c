// The bounded copy by which user-edited names enter fixed record fields.
#pragma once

#include <cstddef>

// Copies src into dest until src's terminator or until size - 1 characters
// are copied, always terminates dest (when size > 0) and returns the position
// of the terminator. The copy is byte-wise: a double-byte character may be cut.
char* CopyStringBounded(char* dest, const char* src, size_t size);
