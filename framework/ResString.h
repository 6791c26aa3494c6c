// String-table and other resource access, from the framework's resource module.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// The text of string-table entry id (any length), empty when there is none.
std::string LoadResString(UINT id);
// The text of entry id in the given language (a LANGID), whatever the user's
// interface language; 0 is the user's language, as above. Empty when that
// language has no such entry.
std::string LoadResString(UINT id, LANGID language);
// The text of entry id with each "%s" replaced by the next value, in order;
// a "%s" with no value left stays empty.
std::string FormatResString(UINT id, std::initializer_list<std::string> values);
// The same in the given language (a LANGID; 0: the user's).
std::string FormatResString(UINT id, LANGID language, std::initializer_list<std::string> values);

// The bytes of a resource; null data when there is none.
struct ResourceBytes {
    const void* data;
    DWORD size;
};
ResourceBytes FindResourceBytes(UINT type, UINT id, LANGID language = 0);
