// The Control Panel entry of Demtrel: one entry that starts the program lying in the
// applet's own folder. Every failure is silent; the Control Panel always gets an answer.
#include "ProgramPath.h"
#include "SarventResource.h"

#include <windows.h>
#include <cpl.h>
#include <shellapi.h>

namespace {

const char kProgram[] = "Demtrel.exe";

// Set once when the library is attached, read when the entry is opened.
HMODULE gModule = nullptr;

void StartProgram() noexcept {
    char modulePath[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(gModule, modulePath, MAX_PATH);
    // A full buffer means the path was cut (and perhaps not terminated).
    if (length == 0 || length >= MAX_PATH)
        return;
    char programPath[MAX_PATH] = {};
    if (!ProgramBesideModule(modulePath, kProgram, GetACP(), programPath, sizeof programPath))
        return;
    ShellExecuteA(nullptr, "open", programPath, nullptr, nullptr, SW_SHOWNORMAL);
}

void Inquire(LPARAM info) noexcept {
    CPLINFO* entry = reinterpret_cast<CPLINFO*>(info);
    if (entry) {
        entry->lData = 0;
        entry->idIcon = IDI_SARVENT;
        entry->idName = IDS_SARVENT_NAME;
        entry->idInfo = IDS_SARVENT_INFO;
    }
}

void Open(LPARAM) noexcept {
    StartProgram();
}

// What each message does with the applet's second parameter, and what it answers.
// Messages without an entry are ignored and answered with 0.
struct Handler {
    UINT message;
    void (*action)(LPARAM second) noexcept;
    LONG result;
};

const Handler kHandlers[] = {
    {CPL_INIT, nullptr, 1},
    {CPL_GETCOUNT, nullptr, 1},
    {CPL_INQUIRE, Inquire, 0},
    {CPL_DBLCLK, Open, 0},
};

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept {
    if (reason == DLL_PROCESS_ATTACH)
        gModule = instance;
    return TRUE;
}

extern "C" LONG APIENTRY CPlApplet(HWND, UINT message, LPARAM, LPARAM second) noexcept {
    for (const Handler& handler : kHandlers) {
        if (handler.message == message) {
            if (handler.action)
                handler.action(second);
            return handler.result;
        }
    }
    return 0;
}
