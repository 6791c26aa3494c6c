// The application object: one per process, constructed as a global before
// WinMain runs. WinMain calls InitInstance, then Run (only when it returned
// TRUE), then ExitInstance.
#pragma once

#include "CmdTarget.h"

#include <memory>
#include <string>

class CWnd;
class CSingleDocTemplate;

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    HINSTANCE m_hInstance;
    CWnd* m_pMainWnd = nullptr;
    const char* m_lpCmdLine = ""; // the command line after the program name
    int m_nCmdShow = SW_SHOWNORMAL;

    virtual BOOL InitInstance() { return TRUE; }
    // The message loop; ends with WM_QUIT and returns its exit code.
    virtual int Run();
    // Frees the document, frame and view; returns the program's exit code.
    virtual int ExitInstance();
    // For keyboard messages: the main frame's accelerators first, then each
    // window from the message's own up to its top level (dialogs, pages and
    // form views: Tab, Enter, Escape). TRUE when the message was consumed.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // The single-document template; the application owns it.
    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    // Creates the document, and the first time the frame and the view, runs
    // the view's initial update and shows the frame with m_nCmdShow (the frame
    // becomes m_pMainWnd). A later call starts a new document in the same
    // frame and view. FALSE on failure or without a template.
    BOOL OnFileNew();
    // What the process ends with when InitInstance returns FALSE.
    void SetExitCode(int code) { m_quitCode = code; }

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    // Stock commands: new and open (there are no files: open starts a new
    // document), exit (destroys the main window).
    void OnFileNewCommand() { OnFileNew(); }
    void OnAppExit();

    std::unique_ptr<CSingleDocTemplate> m_docTemplate;
    int m_quitCode = 0; // the exit code that WM_QUIT carried
};

// The one application object, or null when there is none.
CWinApp* AfxGetApp();
// The main window of the application object, or null.
HWND AfxGetMainWindow();
// The module whose resources the framework loads.
HINSTANCE AfxGetResourceHandle();
// A message box owned by the main window with the application title
// (string 57344) as caption, placed over the main window like a dialog;
// returns the button pressed.
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
