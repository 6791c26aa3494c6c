// The last hour's drop-outs per minute as bars, newest on the right: a child
// control of its own window class, placed by a dialog template as
//   CONTROL "", id, "DemtrelDropOutGraph", WS_TABSTOP, x, y, w, h
// It paints in system colours with its dialog's font, and its window text is
// the graph told in words, which is what a screen reader reads of it.
#pragma once

#include "DropOutHistory.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr char kDropOutGraphClass[] = "DemtrelDropOutGraph";

// Registers the control's class; true once it is there, however often called.
// Dialogs that hold the control need it registered before they are created.
bool RegisterDropOutGraphClass();

// Gives a control of this class the minutes to draw (oldest first; it keeps
// a copy) and the description in words that becomes its window text.
void SetDropOutGraph(HWND graph, const std::vector<DropOutHistory::Minute>& minutes,
                     const std::string& description);

// The top of the scale for a largest count: the smallest of 1, 2, 5, 10,
// 20, 50... not below it.
uint64_t NiceScaleMax(uint32_t largest);
// The scale for the minutes: gaps count nothing, and a jump of the count is
// never in DropOuts, so it cannot squash the real bars.
uint64_t GraphScaleMax(const std::vector<DropOutHistory::Minute>& minutes);

// The minutes that start a quarter hour of local time, which the time axis
// marks.
std::vector<size_t> TimeMarkMinutes(const std::vector<DropOutHistory::Minute>& minutes);

// Where the control draws its minutes, in client coordinates, for its size,
// font, DPI and current scale.
RECT DropOutGraphPlot(HWND graph);
// The column of minute index of count across the plot.
RECT MinuteColumn(const RECT& plot, size_t index, size_t count);
