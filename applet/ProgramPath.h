// Where the applet finds the program it starts: beside its own file.
#ifndef DEMTREL_APPLET_PROGRAMPATH_H
#define DEMTREL_APPLET_PROGRAMPATH_H

#include <windows.h>

#include <cstddef>

// The last backslash of a zero-terminated path, or nullptr when it has none. The
// search steps over double-byte characters of the given code page, so a trail byte
// that happens to equal the backslash code is never taken for one.
const char* FindLastBackslash(const char* path, UINT codePage) noexcept;

// Writes "<directory of modulePath>\<program>" into out. False, with out emptied,
// when the path has no backslash or the result does not fit into size bytes.
bool ProgramBesideModule(const char* modulePath, const char* program, UINT codePage, char* out,
                         size_t size) noexcept;

#endif
