// A window bound to its object for the window's whole life. The object is
// handed to the window at creation (lpCreateParams, the dialog init param),
// kept in GWLP_USERDATA from WM_NCCREATE / WM_INITDIALOG and dropped at
// WM_NCDESTROY; one window procedure and one dialog procedure serve every
// class. The object owns the window it created and destroys it at the latest
// in its destructor.
#pragma once

#include "CmdTarget.h"
#include "WindowHandle.h"

#include <utility>
#include <vector>

class CDataExchange;

class CWnd : public CCmdTarget, public CWindowHandle {
public:
    CWnd() = default;
    ~CWnd() override;

    // The object bound to a window of this framework, or null for any other
    // window (controls, foreign windows, windows being created or destroyed).
    static CWnd* FromHandle(HWND hWnd);

    // Creates a window of the framework's own window class (className null) or
    // of a registered class whose procedure is WindowProcedure. PreCreateWindow
    // may change the creation values first.
    BOOL CreateEx(DWORD exStyle, const char* className, const std::string& title, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menuOrId);
    BOOL DestroyWindow() { return m_hWnd != nullptr && ::DestroyWindow(m_hWnd); }

    // Moves data between members and controls: TRUE reads the controls into
    // the members, FALSE writes the members into the controls. FALSE when a
    // control of the exchange is missing.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    virtual void DoDataExchange(CDataExchange*) {}
    // The child with this id, found by id only the first time: under Wine
    // each look-up by id asks the server for the list of children. A child
    // that has gone, or is no longer this one, is looked up again.
    HWND ChildById(int id);

    // Gives a window of this object the first look at a keyboard message
    // taken from the queue; TRUE when it was consumed. A window built from a
    // dialog template runs IsDialogMessage (Tab, Enter, Escape, mnemonics).
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Default processing of the message being handled now.
    LRESULT Default();

    // The framework's window class, registered on first use; with an icon,
    // a class of its own that carries it (one per frame resource id).
    static std::string FrameworkClassName(UINT iconId = 0);
    static LRESULT CALLBACK WindowProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProcedure(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual BOOL PreCreateWindow(CREATESTRUCTA&) { return TRUE; }

    // WM_COMMAND: the message map's entry for the command; TRUE when handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

    // The window's first message with the object bound: WM_INITDIALOG for a
    // window built from a dialog template; its result is the dialog
    // procedure's (TRUE: the system sets the focus).
    virtual BOOL OnInitDialog() { return TRUE; }

    // Called after WM_NCDESTROY, when the object is no longer bound.
    virtual void PostNcDestroy() {}

    // While the thread waits for the driver (UiWait), a message reaches this
    // window's handlers only when this says so; the rest is held and handled
    // after the wait. By default what the system says about the window's
    // life, size, activation and focus runs, and so does every message that
    // only meets the default processing; a command, a system command, a
    // close, and whatever else has a handler of the program waits.
    virtual bool RunsDuringWait(UINT message, WPARAM wParam, LPARAM lParam) const;
    // A message about to be held: what must happen at once (a quit that
    // stops the request) happens here.
    virtual void OnHeldDuringWait(UINT, WPARAM, LPARAM) {}

    // Builds a modeless window from a dialog template, bound to this object.
    // PreCreateWindow sees the template's style and extended style and may
    // change them.
    BOOL CreateDialogWindow(UINT templateId, HWND parent);

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    void Bind(HWND hWnd, bool isDialog);
    void Unbind();
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam, BOOL* handled);
    LRESULT HoldDuringWait(UINT message, WPARAM wParam, LPARAM lParam);
    // A message held with a copy of its record comes back.
    LRESULT DispatchHeldCopy(LPARAM token, BOOL* handled);
    // The map entry that would handle the message, or null.
    const MessageMapEntry* HandlerOf(UINT message, LPARAM lParam) const;
    // WM_COMMAND goes to OnCommand, everything else to the message map: a
    // WM_NOTIFY entry by its sender and code. TRUE when handled, *result set.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    CurrentMessage m_current{};
    std::vector<std::pair<int, HWND>> m_children;
    bool m_isDialog = false;
    bool m_bypassDialogProcedure = false;
};
