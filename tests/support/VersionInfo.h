// A file's version resource, read the way Explorer's properties read it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The whole version block of the file; empty when it has none or it cannot
// be read.
std::vector<char> FileVersionInfo(const std::string& path);
// The fixed part of a version block (the numeric versions and the file
// type), or null.
const VS_FIXEDFILEINFO* FixedVersion(std::vector<char>& info);
