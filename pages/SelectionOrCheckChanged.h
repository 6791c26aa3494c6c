// What a list view's LVN_ITEMCHANGED is about. Refilling a list reports every
// row's new item data as a change too; only a change of the selection or of a
// check box is one that a page has to follow.
#pragma once

#include <windows.h>

bool SelectionOrCheckChanged(const NMHDR* header);
