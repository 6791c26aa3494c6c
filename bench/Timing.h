// The clock the benchmarks time by, and the figure they report of many runs.
#pragma once

#include <windows.h>

#include <vector>

namespace Timing {

// The high-resolution clock, and the milliseconds between two of its readings.
LARGE_INTEGER Now();
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to);

// The middle value, the upper one of an even count; the values are not empty.
double Median(std::vector<double> values);

} // namespace Timing
