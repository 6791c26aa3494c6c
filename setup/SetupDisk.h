// A setup file on disk: read whole, never more of it than the format
// allows, and written whole, so that a failed save leaves an older file as
// it was.
#pragma once

#include "SetupFile.h"

#include <windows.h>

#include <string>

namespace SetupDisk {

struct Loaded {
    DWORD error = 0;          // the system's, when the file could not be read
    SetupFile::Result result; // when it could
};

Loaded Load(const std::string& path);
// 0, or the system's error.
DWORD Save(const std::string& path, const std::string& text);

} // namespace SetupDisk
