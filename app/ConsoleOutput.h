// Text for whoever started the program from a console or a script: the
// standard output the process was given, or else the console of the process
// that started it. A program started from Explorer has neither, and prints
// nothing.
#pragma once

#include <string>

// The text is in the system's code page; a line break follows it.
void PrintToConsole(const std::string& text);
