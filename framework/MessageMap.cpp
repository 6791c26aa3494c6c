#include "MessageMap.h"

#include "CmdTarget.h"

LRESULT MessageHandler::Call(CCmdTarget& target, WPARAM wParam, LPARAM lParam) const {
    switch (kind) {
    case Kind::Raw:
        return (target.*raw)(wParam, lParam);
    case Kind::Void:
        (target.*plain)();
        return 0;
    case Kind::Notify: {
        LRESULT result = 0;
        (target.*notify)(reinterpret_cast<NMHDR*>(lParam), &result);
        return result;
    }
    case Kind::Create:
        return (target.*create)(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case Kind::Timer:
        (target.*timer)(static_cast<UINT_PTR>(wParam));
        return 0;
    case Kind::ShowWindow:
        (target.*showWindow)(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        return 0;
    case Kind::Scroll:
        (target.*scroll)(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case Kind::SysCommand:
        (target.*sysCommand)(static_cast<UINT>(wParam), lParam);
        return 0;
    case Kind::DeviceChange:
        return (target.*deviceChange)(static_cast<UINT>(wParam), static_cast<DWORD_PTR>(lParam));
    }
    return 0;
}

const MessageMapEntry* MessageMap::Find(UINT message, UINT code, UINT id) const {
    for (const MessageMap* map = this; map != nullptr; map = map->base) {
        for (const MessageMapEntry& entry : map->entries)
            if (entry.message == message && entry.code == code && entry.id == id)
                return &entry;
    }
    return nullptr;
}
