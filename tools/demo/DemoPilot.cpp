// Steers a running Demtrel for the demo's screenshots:
//   DemoPilot wait       waits (at most 30 s) until the main window exists
//   DemoPilot page N     selects the N-th item (0-based) of the page tree
//   DemoPilot tab N      presses Tab N times where the program's focus is
//   DemoPilot rect       prints the main window's rectangle on the desktop
//                        as ImageMagick's geometry (WxH+X+Y), for cropping
//   DemoPilot hide       closes the window to the notification area, as
//                        File > Close does
// It only sends the messages a user's clicks would cause. When the demo's Wine
// desktop "Demtrel" exists, it looks for the program there.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char kMainTitle[] = "Tarnet Control Panel";
constexpr char kDemoDesktop[] = "Demtrel";
constexpr int kTreeId = 1000;
constexpr WPARAM kHideCommand = 32773; // File > Close

// Windows are found only on the caller's own desktop. The demo's desktop may
// still be starting; true once this thread has moved there.
bool UseDemoDesktop() {
    HDESK desktop = OpenDesktopA(kDemoDesktop, 0, FALSE, GENERIC_ALL);
    return desktop && SetThreadDesktop(desktop);
}

HWND FindMainWindow() {
    return FindWindowA(nullptr, kMainTitle);
}

// The tree is a child of the view, which is a child of the frame.
BOOL CALLBACK FindTree(HWND child, LPARAM result) {
    if (GetDlgCtrlID(child) != kTreeId)
        return TRUE;
    *reinterpret_cast<HWND*>(result) = child;
    return FALSE;
}

int WaitForMainWindow(bool inDemoDesktop) {
    for (int i = 0; i < 300; ++i) {
        inDemoDesktop = inDemoDesktop || UseDemoDesktop();
        if (FindMainWindow())
            return 0;
        Sleep(100);
    }
    std::fprintf(stderr, "DemoPilot: no window titled \"%s\"\n", kMainTitle);
    return 1;
}

int SelectPage(int index) {
    HWND tree = nullptr;
    HWND frame = FindMainWindow();
    if (frame)
        EnumChildWindows(frame, FindTree, reinterpret_cast<LPARAM>(&tree));
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
int PressTab(int count) {
    HWND frame = FindMainWindow();
    if (!frame) {
        std::fprintf(stderr, "DemoPilot: no window titled \"%s\"\n", kMainTitle);
        return 1;
    }
    const DWORD thread = GetWindowThreadProcessId(frame, nullptr);
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyA(VK_TAB, 0)) << 16;
    for (int i = 0; i < count; ++i) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(thread, &info) || !info.hwndFocus) {
            std::fprintf(stderr, "DemoPilot: nothing has the focus\n");
            return 1;
        }
        PostMessageA(info.hwndFocus, WM_KEYDOWN, VK_TAB, scanCode | 1);
        PostMessageA(info.hwndFocus, WM_KEYUP, VK_TAB,
                     scanCode | static_cast<LPARAM>(0xC0000001UL));
        Sleep(300);
    }
    return 0;
}

// The frame's, or that of the dialog or message box it shows.
int PrintWindowRect(bool popup) {
    RECT rect{};
    HWND frame = FindMainWindow();
    HWND window = frame && popup ? GetLastActivePopup(frame) : frame;
    if (!window || !GetWindowRect(window, &rect)) {
        std::fprintf(stderr, "DemoPilot: no window titled \"%s\"\n", kMainTitle);
        return 1;
    }
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                rect.top);
    return 0;
}

// OK in the dialog or message box the frame shows.
int PressOk() {
    HWND frame = FindMainWindow();
    HWND popup = frame ? GetLastActivePopup(frame) : nullptr;
    if (!popup || popup == frame) {
        std::fprintf(stderr, "DemoPilot: no dialog over the window\n");
        return 1;
    }
    PostMessageA(popup, WM_COMMAND, IDOK, 0);
    return 0;
}

int HideWindow() {
    HWND frame = FindMainWindow();
    if (!frame) {
        std::fprintf(stderr, "DemoPilot: no window titled \"%s\"\n", kMainTitle);
        return 1;
    }
    PostMessageA(frame, WM_COMMAND, kHideCommand, 0);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool inDemoDesktop = UseDemoDesktop();
    if (argc == 2 && std::strcmp(argv[1], "wait") == 0)
        return WaitForMainWindow(inDemoDesktop);
    if (argc == 3 && std::strcmp(argv[1], "page") == 0)
        return SelectPage(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "tab") == 0)
        return PressTab(std::atoi(argv[2]));
    if (argc == 2 && std::strcmp(argv[1], "rect") == 0)
        return PrintWindowRect(false);
    if (argc == 3 && std::strcmp(argv[1], "rect") == 0 && std::strcmp(argv[2], "popup") == 0)
        return PrintWindowRect(true);
    if (argc == 2 && std::strcmp(argv[1], "ok") == 0)
        return PressOk();
    if (argc == 2 && std::strcmp(argv[1], "hide") == 0)
        return HideWindow();
    std::fprintf(stderr, "usage: DemoPilot wait | DemoPilot page N | DemoPilot tab N | "
                         "DemoPilot rect [popup] | DemoPilot ok | DemoPilot hide\n");
    return 2;
}
