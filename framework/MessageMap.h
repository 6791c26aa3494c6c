// Message maps: per class, a constant table that names which member function
// handles which message, and a link to the base class's table. A class
// declares `static const MessageMap messageMap;` and overrides GetMessageMap;
// its source file defines the table (the definition of a static member may
// name private handlers; constexpr has the compiler build it):
//
//   constexpr MessageMap CMyPage::messageMap{&CDlgPgBase::messageMap, {
//       {WM_COMMAND, BN_CLICKED, IDC_APPLY, On<&CMyPage::OnApply>},
//       {WM_NOTIFY, LVN_ITEMCHANGED, IDC_LIST, On<&CMyPage::OnItemChanged>},
//       {WM_TIMER, 0, 0, On<&CMyPage::OnTimer>},
//       {&CMyPage::RegisteredMessage, 0, 0, On<&CMyPage::OnRegistered>},
//   }};
//
// A message registered at run time is named by the function that returns its
// id. Matching: WM_COMMAND entries match the control id and the notification
// code (commands from menus and accelerators arrive with code 0, like
// BN_CLICKED); WM_NOTIFY entries match NMHDR::idFrom and NMHDR::code; every
// other entry matches the message alone and keeps code and id 0. The first
// match in the class's own table wins, then its base's table is searched.
//
// Handler signatures (the entry's message decides nothing; the signature says
// how wParam and lParam are unpacked; On<> of any other does not compile):
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

#include <initializer_list>

class CCmdTarget;

// Unpacks the parameters for one handler and calls it; returns the message's result.
using HandlerFn = LRESULT (*)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);

// A message id, fixed or registered at run time.
struct MessageId {
    constexpr MessageId(UINT id) : value(id) {}
    constexpr MessageId(UINT (*registered)()) : lookUp(registered) {}
    UINT Get() const { return lookUp != nullptr ? lookUp() : value; }

    UINT value = 0;
    UINT (*lookUp)() = nullptr;
};

struct MessageMapEntry {
    MessageId message;
    UINT code;
    UINT id;
    HandlerFn handler;
};

struct MessageMap {
    const MessageMap* base;
    std::initializer_list<MessageMapEntry> entries;
};

namespace message_map {

template <class> struct ClassOf;
template <class T, class Member> struct ClassOf<Member T::*> { using Type = T; };

// One overload per handler signature: how it takes wParam and lParam apart.
template <class T> LRESULT Invoke(T& t, LRESULT (T::*fn)(WPARAM, LPARAM), WPARAM w, LPARAM l) {
    return (t.*fn)(w, l);
}
template <class T> LRESULT Invoke(T& t, void (T::*fn)(), WPARAM, LPARAM) {
    (t.*fn)();
    return 0;
}
template <class T> LRESULT Invoke(T& t, void (T::*fn)(NMHDR*, LRESULT*), WPARAM, LPARAM l) {
    LRESULT result = 0;
    (t.*fn)(reinterpret_cast<NMHDR*>(l), &result);
    return result;
}
template <class T> LRESULT Invoke(T& t, int (T::*fn)(CREATESTRUCTA*), WPARAM, LPARAM l) {
    return (t.*fn)(reinterpret_cast<CREATESTRUCTA*>(l));
}
template <class T> LRESULT Invoke(T& t, void (T::*fn)(UINT_PTR), WPARAM w, LPARAM) {
    (t.*fn)(static_cast<UINT_PTR>(w));
    return 0;
}
template <class T> LRESULT Invoke(T& t, void (T::*fn)(BOOL, UINT), WPARAM w, LPARAM l) {
    (t.*fn)(static_cast<BOOL>(w), static_cast<UINT>(l));
    return 0;
}
template <class T> LRESULT Invoke(T& t, void (T::*fn)(UINT, UINT, HWND), WPARAM w, LPARAM l) {
    (t.*fn)(LOWORD(w), HIWORD(w), reinterpret_cast<HWND>(l));
    return 0;
}
template <class T> LRESULT Invoke(T& t, void (T::*fn)(UINT, LPARAM), WPARAM w, LPARAM l) {
    (t.*fn)(static_cast<UINT>(w), l);
    return 0;
}
template <class T> LRESULT Invoke(T& t, BOOL (T::*fn)(UINT, DWORD_PTR), WPARAM w, LPARAM l) {
    return (t.*fn)(static_cast<UINT>(w), static_cast<DWORD_PTR>(l));
}

template <auto Fn> LRESULT Thunk(CCmdTarget& target, WPARAM wParam, LPARAM lParam) {
    return Invoke(static_cast<typename ClassOf<decltype(Fn)>::Type&>(target), Fn, wParam, lParam);
}

} // namespace message_map

// The handler of an entry: On<&CMyClass::OnSomething>.
template <auto Fn> constexpr HandlerFn On = &message_map::Thunk<Fn>;
