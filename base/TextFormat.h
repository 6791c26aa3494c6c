// Numbers and texts formatted by the system (wvsprintfA): "%s", "%d", "%u",
// "%X" with widths and zero padding, no floating point. The C library's
// printf family would bring its floating-point formatting along, a sixth of
// the program's size, for texts that never hold a fraction.
#pragma once

#include <string>

// At most 1024 characters; the rest is cut.
std::string FormatText(const char* format, ...);
