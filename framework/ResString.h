// String-table access.
#pragma once

#include <windows.h>

#include <string>

// The text of string-table entry id (any length), empty when there is none.
std::string LoadResString(UINT id);
