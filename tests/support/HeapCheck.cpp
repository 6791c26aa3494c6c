#include "HeapCheck.h"

#include <windows.h>

int BrokenHeap() {
    HANDLE heaps[64];
    const DWORD count = ::GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i)
        if (!::HeapValidate(heaps[i], 0, nullptr))
            return static_cast<int>(i);
    return -1;
}
