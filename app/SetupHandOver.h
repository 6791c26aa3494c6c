// A second start hands a setup file to the running instance in a
// WM_COPYDATA: "-load" to be loaded at once, with the outcome sent back to
// the second start's reply window, "-preview" (opening a setup file in
// Explorer) to be shown in the Load preview. Any program can send the
// running window this message, so what arrives is checked before it is used.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

enum class SetupAction : uint32_t { Load = 1, Preview = 2 };

struct SetupHandOver {
    SetupAction Action;
    std::string Path;
    uint32_t ReplyWindow; // 0 for none; window handles fit 32 bits on every Windows
};

// The hand-over a WM_COPYDATA carries; false when it carries none, or no
// sound one.
bool ReadSetupHandOver(const COPYDATASTRUCT* data, SetupHandOver& handOver);

// Sends the file, by its full path, to the running window. For a load, waits until the running
// instance tells the outcome (or ends) and returns its exit code and summary;
// false when the file could not be handed over.
bool HandSetupOver(HWND running, SetupAction action, const std::string& path, int* code,
                   std::string* summary);

// The running instance's answer to a load handed over.
void ReplySetupHandOver(uint32_t replyWindow, int code, const std::string& summary);
