#include "Clipboard.h"

#include <cstring>

namespace {

// A movable block with the text and its terminator, as the clipboard takes
// it; null when there is no memory.
HGLOBAL TextBlock(const std::string& text) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    void* data = block ? ::GlobalLock(block) : nullptr;
    if (data == nullptr) {
        if (block)
            ::GlobalFree(block);
        return nullptr;
    }
    std::memcpy(data, text.c_str(), text.size() + 1);
    ::GlobalUnlock(block);
    return block;
}

// Programs that watch the clipboard open it for a moment after each change;
// a copy made just then waits for them rather than failing.
bool OpenClipboardSoon(HWND owner) {
    constexpr DWORD kStepMs = 10;
    for (DWORD waited = 0;; waited += kStepMs) {
        if (::OpenClipboard(owner))
            return true;
        if (waited >= kClipboardWaitMs)
            return false;
        ::Sleep(kStepMs);
    }
}

} // namespace

BOOL SetClipboardText(HWND owner, const std::string& text) {
    HGLOBAL block = TextBlock(text);
    if (block == nullptr)
        return FALSE;
    if (!OpenClipboardSoon(owner)) {
        ::GlobalFree(block);
        return FALSE;
    }
    // Once the clipboard has it, the block is the system's.
    const BOOL placed = ::EmptyClipboard() && ::SetClipboardData(CF_TEXT, block) != nullptr;
    ::CloseClipboard();
    if (!placed)
        ::GlobalFree(block);
    return placed;
}
