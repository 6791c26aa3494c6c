// Steers a running Demtrel for the demo's screenshots:
//   DemoPilot wait          waits (at most 30 s) until the main window exists
//   DemoPilot wait balloon  waits (at most 30 s) until a balloon shows over the tray
//   DemoPilot page N        selects the N-th item (0-based) of the page tree
//   DemoPilot key NAME [N]  presses a key N times (default 1) where the
//                           program's focus is: tab, home, end, up, down,
//                           space or f2
//   DemoPilot click NAME    clicks a button of the shown page: edit-device-name,
//                           edit-channel-name or change-synch-mode
//   DemoPilot command NAME  chooses a command as from the menus: about,
//                           load-setup, hide (File > Close), open (the tray's
//                           Open) or close (the caption's close box)
//   DemoPilot rect [popup]  makes the main window, or the dialog or message
//                           box it shows, the foreground window, as a click on
//                           it would, and prints its rectangle on the desktop,
//                           title bar and frame included, as ImageMagick's
//                           geometry (WxH+X+Y), for cropping
//   DemoPilot ok | cancel   OK or Cancel in the dialog the window shows
// It only sends the messages a user's clicks and keys would cause. When the
// demo's Wine desktop "Demtrel" exists, it looks for the program there.
#include <windows.h>
#include <commctrl.h>

#include "FrameworkIds.h"
#include "resource.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kMainTitle[] = "Tarnet Control Panel";
constexpr char kDemoDesktop[] = "Demtrel";

struct Named {
    const char* name;
    UINT value;
};

constexpr Named kKeys[] = {{"tab", VK_TAB},   {"home", VK_HOME},   {"end", VK_END}, {"up", VK_UP},
                           {"down", VK_DOWN}, {"space", VK_SPACE}, {"f2", VK_F2}};
constexpr Named kButtons[] = {{"edit-device-name", IDC_EDIT_DEVICE_NAME},
                              {"edit-channel-name", IDC_EDIT_CHANNEL_NAME},
                              {"change-synch-mode", IDC_CHANGE_SYNCH_MODE}};
constexpr Named kCommands[] = {{"about", ID_APP_ABOUT},
                               {"load-setup", ID_LOAD_SETUP},
                               {"hide", ID_HIDE},
                               {"open", ID_TRAY_OPEN}};

template <size_t N> bool Find(const Named (&table)[N], const char* name, UINT& value) {
    for (const Named& entry : table) {
        if (std::strcmp(entry.name, name) == 0) {
            value = entry.value;
            return true;
        }
    }
    std::fprintf(stderr, "DemoPilot: unknown name \"%s\"\n", name);
    return false;
}

// Windows are found only on the caller's own desktop. The demo's desktop may
// still be starting; true once this thread has moved there.
bool UseDemoDesktop() {
    HDESK desktop = OpenDesktopA(kDemoDesktop, 0, FALSE, GENERIC_ALL);
    return desktop && SetThreadDesktop(desktop);
}

HWND FindMainWindow() {
    HWND frame = FindWindowA(nullptr, kMainTitle);
    if (!frame)
        std::fprintf(stderr, "DemoPilot: no window titled \"%s\"\n", kMainTitle);
    return frame;
}

HWND FindPopup() {
    HWND frame = FindMainWindow();
    HWND popup = frame ? GetLastActivePopup(frame) : nullptr;
    if (!popup || popup == frame) {
        std::fprintf(stderr, "DemoPilot: no dialog over the window\n");
        return nullptr;
    }
    return popup;
}

struct ControlSearch {
    int id;
    HWND found;
};

// The pages are children of the view, which is a child of the frame; only the
// shown page's controls count, since every page has its own.
BOOL CALLBACK FindVisibleControl(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(child) != search->id || !IsWindowVisible(child))
        return TRUE;
    search->found = child;
    return FALSE;
}

HWND FindControl(HWND frame, int id) {
    ControlSearch search{id, nullptr};
    if (frame)
        EnumChildWindows(frame, FindVisibleControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// As a click on the window would: a window shot as it is may show the grey
// caption of an inactive one.
void BringToFront(HWND window) {
    if (GetForegroundWindow() == window)
        return;
    SetForegroundWindow(window);
    for (int i = 0; i < 20 && GetForegroundWindow() != window; ++i)
        Sleep(100);
    Sleep(500);
}

BOOL CALLBACK FindBalloon(HWND window, LPARAM result) {
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, TOOLTIPS_CLASSA) != 0 || !IsWindowVisible(window) ||
        (GetWindowLongA(window, GWL_STYLE) & TTS_BALLOON) == 0)
        return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

// The tray shows the program's balloon, and shows it again with each update
// while it is up: a picture taken at a fixed time may fall between the two.
int WaitForBalloon() {
    for (int i = 0; i < 300; ++i) {
        HWND balloon = nullptr;
        EnumWindows(FindBalloon, reinterpret_cast<LPARAM>(&balloon));
        if (balloon) {
            Sleep(300);
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "DemoPilot: no balloon over the tray\n");
    return 1;
}

// Wine's virtual desktop has no window manager to hand the program the
// foreground when it starts: its window becomes the active one of its own
// thread but keeps the caption of an inactive one, and asking for the
// foreground then changes nothing, since the window is active already. The
// desktop takes the foreground for a moment, and the window takes it back
// as a started program's window does.
void ActivateStartedWindow(HWND frame) {
    SetForegroundWindow(GetDesktopWindow());
    Sleep(200);
    BringToFront(frame);
}

int WaitForMainWindow(bool inDemoDesktop) {
    for (int i = 0; i < 300; ++i) {
        inDemoDesktop = inDemoDesktop || UseDemoDesktop();
        HWND frame = FindWindowA(nullptr, kMainTitle);
        if (frame && IsWindowVisible(frame)) {
            ActivateStartedWindow(frame);
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "DemoPilot: no window titled \"%s\"\n", kMainTitle);
    return 1;
}

int SelectPage(int index) {
    HWND tree = FindControl(FindMainWindow(), IDC_PAGE_TREE);
    if (!tree) {
        std::fprintf(stderr, "DemoPilot: page tree not found\n");
        return 1;
    }
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = 0; item && i < index; ++i)
        item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
    if (!item) {
        std::fprintf(stderr, "DemoPilot: no page %d\n", index);
        return 1;
    }
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    return 0;
}

// Each press goes to the window that has the focus now, through the
// program's own message loop, as typing does.
int PressKey(const char* name, int count) {
    UINT key = 0;
    if (!Find(kKeys, name, key))
        return 2;
    HWND frame = FindMainWindow();
    if (!frame)
        return 1;
    const DWORD thread = GetWindowThreadProcessId(frame, nullptr);
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyA(key, 0)) << 16;
    for (int i = 0; i < count; ++i) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(thread, &info) || !info.hwndFocus) {
            std::fprintf(stderr, "DemoPilot: nothing has the focus\n");
            return 1;
        }
        PostMessageA(info.hwndFocus, WM_KEYDOWN, key, scanCode | 1);
        PostMessageA(info.hwndFocus, WM_KEYUP, key, scanCode | static_cast<LPARAM>(0xC0000001UL));
        Sleep(300);
    }
    return 0;
}

int ClickButton(const char* name) {
    UINT id = 0;
    if (!Find(kButtons, name, id))
        return 2;
    HWND button = FindControl(FindMainWindow(), static_cast<int>(id));
    if (!button || !IsWindowEnabled(button)) {
        std::fprintf(stderr, "DemoPilot: no button \"%s\" to click on the shown page\n", name);
        return 1;
    }
    PostMessageA(button, BM_CLICK, 0, 0);
    return 0;
}

// The close box is the system menu's Close, which the frame takes as Hide.
int ChooseCommand(const char* name) {
    HWND frame = FindMainWindow();
    if (!frame)
        return 1;
    if (std::strcmp(name, "close") == 0) {
        PostMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    UINT id = 0;
    if (!Find(kCommands, name, id))
        return 2;
    PostMessageA(frame, WM_COMMAND, id, 0);
    return 0;
}

int PrintWindowRect(bool popup) {
    RECT rect{};
    HWND window = popup ? FindPopup() : FindMainWindow();
    if (!window)
        return 1;
    BringToFront(window);
    if (!GetWindowRect(window, &rect))
        return 1;
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top);
    return 0;
}

int PressDialogButton(WPARAM id) {
    HWND popup = FindPopup();
    if (!popup)
        return 1;
    PostMessageA(popup, WM_COMMAND, id, 0);
    return 0;
}

int Usage() {
    std::fprintf(stderr, "usage: DemoPilot wait [balloon] | page N | key NAME [N] | click NAME | "
                         "command NAME | rect [popup] | ok | cancel\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const bool inDemoDesktop = UseDemoDesktop();
    if (argc < 2)
        return Usage();
    const char* verb = argv[1];
    const char* arg = argc > 2 ? argv[2] : nullptr;
    if (argc == 2 && std::strcmp(verb, "wait") == 0)
        return WaitForMainWindow(inDemoDesktop);
    if (argc == 3 && std::strcmp(verb, "wait") == 0 && std::strcmp(arg, "balloon") == 0)
        return WaitForBalloon();
    if (argc == 3 && std::strcmp(verb, "page") == 0)
        return SelectPage(std::atoi(arg));
    if ((argc == 3 || argc == 4) && std::strcmp(verb, "key") == 0)
        return PressKey(arg, argc == 4 ? std::atoi(argv[3]) : 1);
    if (argc == 3 && std::strcmp(verb, "click") == 0)
        return ClickButton(arg);
    if (argc == 3 && std::strcmp(verb, "command") == 0)
        return ChooseCommand(arg);
    if (argc == 2 && std::strcmp(verb, "rect") == 0)
        return PrintWindowRect(false);
    if (argc == 3 && std::strcmp(verb, "rect") == 0 && std::strcmp(arg, "popup") == 0)
        return PrintWindowRect(true);
    if (argc == 2 && std::strcmp(verb, "ok") == 0)
        return PressDialogButton(IDOK);
    if (argc == 2 && std::strcmp(verb, "cancel") == 0)
        return PressDialogButton(IDCANCEL);
    return Usage();
}
