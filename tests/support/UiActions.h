// What a person does to controls, done the way the controls themselves tell
// their parent: the parent's message map sees the same notifications.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

// BN_CLICKED from the button id of parent (also IDOK / IDCANCEL).
void ClickButton(HWND parent, int id);
// Sets a check box or radio button, then clicks it.
void SetButtonCheck(HWND parent, int id, int state);
std::string ChildText(HWND parent, int id);
void SetChildText(HWND parent, int id, const std::string& text);

// A list view's column headings, each as "text/width in pixels", left to
// right; the extended styles it has.
std::string ListHeading(HWND list, int column);
std::vector<std::string> ListHeadings(HWND list);
DWORD ListExtendedStyle(HWND list);

// What a list view shows: its rows, one cell's text, the selected row (-1 for
// none) and whether a row's check box is ticked.
int ListRowCount(HWND list);
std::string ListCellText(HWND list, int row, int column);
int ListSelectedRow(HWND list);
bool ListRowChecked(HWND list, int row);

// A combo box's item texts, top down, and the selected item (-1 for none).
std::vector<std::string> ComboItemTexts(HWND combo);
int ComboSelection(HWND combo);

// Selects (and focuses) one row; the parent gets LVN_ITEMCHANGED.
void SelectListRow(HWND list, int row);
// Ticks or clears a row's check box; the parent gets LVN_ITEMCHANGED.
void CheckListRow(HWND list, int row, bool checked);
// NM_DBLCLK on a row, sent to the list's parent.
LRESULT DoubleClickListRow(HWND list, int row);

// Selects the item and sends CBN_SELCHANGE to the combo box's parent.
void SelectComboItem(HWND combo, int index);

// Moves the trackbar and sends its WM_HSCROLL to its parent.
void MoveTrackbar(HWND trackbar, int position, UINT code = TB_THUMBPOSITION);

// A key pressed in a window, taken through the message queue like typing.
void PressKey(HWND target, UINT virtualKey);

// Modifier keys held down while a key is typed.
enum KeyModifiers : unsigned { kNoModifier = 0, kShift = 1, kControl = 2, kAlt = 4 };
// A key typed with the modifiers held, where the keyboard sends it: to the
// focus window, or to the active window when nothing has the focus. It goes
// through the message queue and the application's PreTranslateMessage, and
// the modifiers are held in the thread's key state meanwhile, as a keyboard
// does.
void TypeKey(UINT virtualKey, unsigned modifiers = kNoModifier);

// The first top-level window of this process with this title, or null. Tests
// run beside other test processes that may show windows of the same title.
HWND FindOwnWindow(const char* title);
