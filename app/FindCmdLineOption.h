// Looks for an option among the white-space-separated tokens of a command line.
#pragma once

#include <string>

// True when option occurs as a whole token of cmdLine (quotes are ordinary
// characters, never grouping). The first match ends the search; when
// following is given it receives the token after the match, or stays empty.
// That token may be a path in double quotes: it is given without them, and
// with the spaces they hold.
bool FindCmdLineOption(const char* cmdLine, const char* option, std::string* following,
                       bool ignoreCase);
