// Message maps: per class, a static table that names which member function
// handles which message, and a link to the base class's table.
//
// Usage (in the class):
//
//   class CMyPage : public CDlgPgBase {
//   protected:
//       static const MessageMap messageMap;
//       const MessageMap* GetMessageMap() const override { return &messageMap; }
//   private:
//       void OnApply();                                  // BN_CLICKED, menu command
//       void OnItemChanged(NMHDR* header, LRESULT* result); // WM_NOTIFY code
//       void OnTimer(UINT_PTR id);
//       LRESULT OnDriverEvent(WPARAM wParam, LPARAM lParam); // any message
//   };
//
// and in its source file:
//
//   const MessageMap CMyPage::messageMap{&CDlgPgBase::messageMap, {
//       {WM_COMMAND, BN_CLICKED, IDC_APPLY, &CMyPage::OnApply},
//       {WM_NOTIFY, LVN_ITEMCHANGED, IDC_LIST, &CMyPage::OnItemChanged},
//       {WM_TIMER, 0, 0, &CMyPage::OnTimer},
//       {WM_APP_DRIVER_EVENT, 0, 0, &CMyPage::OnDriverEvent},
//   }};
//
// Matching: WM_COMMAND entries match the control id and the notification code
// (commands from menus and accelerators arrive with code 0, like BN_CLICKED);
// WM_NOTIFY entries match NMHDR::idFrom and NMHDR::code; every other entry
// matches the message alone and keeps code and id 0. The first match in the
// class's own table wins, then its base's table is searched.
//
// Handler signatures (the entry's message decides nothing; the signature says
// how wParam and lParam are unpacked):
//   LRESULT (WPARAM, LPARAM)        any message, raw; the result is returned
//   void ()                         WM_COMMAND, WM_DESTROY or any message; returns 0
//   void (NMHDR*, LRESULT*)         WM_NOTIFY; *result starts at 0
//   int (CREATESTRUCTA*)            WM_CREATE; -1 fails creation
//   void (UINT_PTR id)              WM_TIMER
//   void (BOOL show, UINT status)   WM_SHOWWINDOW
//   void (UINT code, UINT pos, HWND bar)  WM_HSCROLL / WM_VSCROLL
//   void (UINT id, LPARAM point)    WM_SYSCOMMAND
//   BOOL (UINT event, DWORD_PTR data)     WM_DEVICECHANGE; the result is returned
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

class CCmdTarget;

class MessageHandler {
public:
    enum class Kind : unsigned char {
        Raw,
        Void,
        Notify,
        Create,
        Timer,
        ShowWindow,
        Scroll,
        SysCommand,
        DeviceChange
    };

    using RawFn = LRESULT (CCmdTarget::*)(WPARAM, LPARAM);
    using VoidFn = void (CCmdTarget::*)();
    using NotifyFn = void (CCmdTarget::*)(NMHDR*, LRESULT*);
    using CreateFn = int (CCmdTarget::*)(CREATESTRUCTA*);
    using TimerFn = void (CCmdTarget::*)(UINT_PTR);
    using ShowWindowFn = void (CCmdTarget::*)(BOOL, UINT);
    using ScrollFn = void (CCmdTarget::*)(UINT, UINT, HWND);
    using SysCommandFn = void (CCmdTarget::*)(UINT, LPARAM);
    using DeviceChangeFn = BOOL (CCmdTarget::*)(UINT, DWORD_PTR);

    template <class T>
    MessageHandler(LRESULT (T::*fn)(WPARAM, LPARAM))
        : kind(Kind::Raw), raw(static_cast<RawFn>(fn)) {}
    template <class T>
    MessageHandler(void (T::*fn)()) : kind(Kind::Void), plain(static_cast<VoidFn>(fn)) {}
    template <class T>
    MessageHandler(void (T::*fn)(NMHDR*, LRESULT*))
        : kind(Kind::Notify), notify(static_cast<NotifyFn>(fn)) {}
    template <class T>
    MessageHandler(int (T::*fn)(CREATESTRUCTA*))
        : kind(Kind::Create), create(static_cast<CreateFn>(fn)) {}
    template <class T>
    MessageHandler(void (T::*fn)(UINT_PTR)) : kind(Kind::Timer), timer(static_cast<TimerFn>(fn)) {}
    template <class T>
    MessageHandler(void (T::*fn)(BOOL, UINT))
        : kind(Kind::ShowWindow), showWindow(static_cast<ShowWindowFn>(fn)) {}
    template <class T>
    MessageHandler(void (T::*fn)(UINT, UINT, HWND))
        : kind(Kind::Scroll), scroll(static_cast<ScrollFn>(fn)) {}
    template <class T>
    MessageHandler(void (T::*fn)(UINT, LPARAM))
        : kind(Kind::SysCommand), sysCommand(static_cast<SysCommandFn>(fn)) {}
    template <class T>
    MessageHandler(BOOL (T::*fn)(UINT, DWORD_PTR))
        : kind(Kind::DeviceChange), deviceChange(static_cast<DeviceChangeFn>(fn)) {}

    // Unpacks the parameters for the handler's signature and calls it on target.
    LRESULT Call(CCmdTarget& target, WPARAM wParam, LPARAM lParam) const;

private:
    Kind kind;
    union {
        RawFn raw;
        VoidFn plain;
        NotifyFn notify;
        CreateFn create;
        TimerFn timer;
        ShowWindowFn showWindow;
        ScrollFn scroll;
        SysCommandFn sysCommand;
        DeviceChangeFn deviceChange;
    };
};

struct MessageMapEntry {
    UINT message;
    UINT code;
    UINT id;
    MessageHandler handler;
};

struct MessageMap {
    const MessageMap* base;
    std::vector<MessageMapEntry> entries;

    // The entry for the message in this table or its bases, or null.
    const MessageMapEntry* Find(UINT message, UINT code, UINT id) const;
};
