// The clipboard, for the plain text a program hands over.
#pragma once

#include <windows.h>

#include <string>

// Replaces the clipboard's contents with the text (CF_TEXT, in the program's
// code page), owned by the window. Another program that has the clipboard
// open for a moment (a clipboard viewer or manager reading the last copy) is
// waited for, up to kClipboardWaitMs. FALSE when the clipboard stays held or
// the memory cannot be had; the clipboard is then left as it was, or empty
// when the failure came after emptying it.
constexpr DWORD kClipboardWaitMs = 200;
BOOL SetClipboardText(HWND owner, const std::string& text);
BOOL SetClipboardText(HWND owner, const std::string& text);
