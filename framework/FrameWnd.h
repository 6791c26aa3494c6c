// A top-level frame around one view and the status bar child (if the
// derived class creates one with the id AFX_IDW_STATUS_BAR): the view fills
// the client area above the status bar.
//
// Commands (menus, accelerators, posted WM_COMMAND with lParam 0) go through
// the frame's message map, then the active view's, then the application's.
// The status bar's pane 0 shows the first line of the string whose id is the
// highlighted menu command, and the idle text "Ready" (string 57345) when the
// menu closes and once the message loop runs after creation.
//
// The keyboard focus belongs to the frame's children: when the frame is
// deactivated it remembers which child had it, and when it is activated again
// (or given the focus itself) it hands the focus back to that child, or to the
// view's own choice when that child can no longer take it.
#pragma once

#include "FrameworkIds.h"
#include "View.h"

#include <memory>

// What the frame needs to make its view during WM_CREATE.
struct CCreateContext {
    std::unique_ptr<CView> (*makeView)();
    CDocument* document;
};

class CFrameWnd : public CWnd {
public:
    // Creates the frame with menu, class icon, accelerators and title (first
    // line of the string) of resourceId; PreCreateWindow may change the
    // overlapped window's style.
    BOOL LoadFrame(UINT resourceId, CCreateContext* context = nullptr);

    CView* GetActiveView() const { return m_view.get(); }
    CDocument* GetActiveDocument() const { return m_view ? m_view->GetDocument() : nullptr; }

    // Puts the view and the status bar in place for the current client size.
    void RecalcLayout();
    // The height the status bar takes at the bottom; 0 without one. A bar
    // counts by its own style, also while the frame is still hidden.
    int GetStatusBarHeight() const;
    // Writes pane 0 of the status bar.
    void SetMessageText(const std::string& text);
    void SetMessageText(UINT stringId);
    // The text pane 0 returns to when a menu closes ("Ready" until changed),
    // shown at once.
    void SetIdleMessage(UINT stringId);
    std::string GetMessageText() const;

    // The accelerators, except for the editing keys (Ctrl+C, Shift+Insert and
    // the like) while an edit control has the focus: those are the control's.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

    virtual int OnCreate(CREATESTRUCTA* cs);
    virtual void OnDestroy() {}

    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    // The focus goes back to the child that had it when the frame was last
    // deactivated, or else to the view's first choice: the default processing
    // would put it on the frame itself, where no key does anything.
    void RestoreFocus();
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
    void OnSetMessageString(UINT_PTR stringId) { SetMessageText(static_cast<UINT>(stringId)); }

    HWND StatusBarWindow() const { return GetDlgItem(AFX_IDW_STATUS_BAR); }

    HACCEL m_hAccel = nullptr;
    CCreateContext* m_pContext = nullptr;
    std::unique_ptr<CView> m_view;
    HWND m_hWndFocus = nullptr; // the child that had the focus at the last deactivation
    UINT m_nIdleMessage = AFX_IDS_IDLEMESSAGE;
};
