// Whether the process's heaps are sound: a block written past its end, or
// memory written after it was freed, breaks a heap's bookkeeping.
#pragma once

// The number of a heap of the process that does not validate, or -1 when
// every heap does.
int BrokenHeap();
