// The clipboard, for the plain text a program hands over.
#pragma once

#include <windows.h>

#include <string>

// Replaces the clipboard's contents with the text (CF_TEXT, in the program's
// code page), owned by the window. FALSE when the clipboard is held by
// another program or the memory cannot be had; the clipboard is then left
// as it was, or empty when the failure came after emptying it.
BOOL SetClipboardText(HWND owner, const std::string& text);
