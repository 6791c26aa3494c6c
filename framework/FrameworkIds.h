// Identifiers and flags that the framework itself defines: its stock
// commands, strings and child-window ids, and the frame's title flags.
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

// Title flags. The frame composes no title from its document, so nothing
// sets them; a frame may still clear them from its style.
constexpr DWORD FWS_PREFIXTITLE = 0x00004000L;
constexpr DWORD FWS_ADDTOTITLE = 0x00008000L;

// Status bar pane styles.
constexpr UINT SBPS_NORMAL = 0x0000;
constexpr UINT SBPS_STRETCH = 0x0800;
