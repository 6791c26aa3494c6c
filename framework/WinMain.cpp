// The program's entry: the application object was constructed before this
// runs and is destroyed after it returns.
#include "WinApp.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;
    ::InitCommonControlsEx(&controls);

    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine != nullptr ? commandLine : "";
    app->m_nCmdShow = showCommand;
    if (app->InitInstance())
        app->Run();
    return app->ExitInstance();
}
