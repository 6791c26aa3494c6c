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
// Expects the file and the product version of the fixed part both to be
// major.minor.0.0, and the file type (VFT_APP, VFT_DLL).
void ExpectFixedVersion(const VS_FIXEDFILEINFO& fixed, WORD major, WORD minor, DWORD fileType);
