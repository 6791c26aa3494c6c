#include "TextFormat.h"

#include <windows.h>

#include <cstdarg>

std::string FormatText(const char* format, ...) {
    // The system never writes more than 1024 characters and the terminator.
    char text[1025] = "";
    va_list args;
    va_start(args, format);
    const int length = ::wvsprintfA(text, format, args);
    va_end(args);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}
