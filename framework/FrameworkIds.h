// Identifiers that the framework itself defines: its stock commands, strings
// and child-window ids.
#pragma once

#include <windows.h>

// Stock commands of menus and accelerators.
constexpr UINT ID_FILE_NEW = 57600;
constexpr UINT ID_FILE_OPEN = 57601;
constexpr UINT ID_APP_ABOUT = 57664;
constexpr UINT ID_APP_EXIT = 57665;
constexpr UINT ID_NEXT_PANE = 57680;
constexpr UINT ID_PREV_PANE = 57681;

// Stock strings: the caption of message boxes and the idle status text.
constexpr UINT AFX_IDS_APP_TITLE = 57344;
constexpr UINT AFX_IDS_IDLEMESSAGE = 57345;

// Child-window ids inside a frame.
constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
// Inside a list: the text that says why it is empty (CListCtrl::SetEmptyText).
constexpr UINT IDW_LIST_EMPTY_TEXT = 0xE810;
