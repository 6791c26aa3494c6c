#include "CmdTarget.h"

constexpr MessageMap CCmdTarget::messageMap{nullptr, {}};

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const MessageMapEntry* entry = FindEntry(WM_COMMAND, code, id);
    if (entry == nullptr)
        return FALSE;
    entry->handler(*this, MAKEWPARAM(id, code), 0);
    return TRUE;
}

const MessageMapEntry* CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const {
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageMapEntry& entry : map->entries)
            if (entry.message.Get() == message && entry.code == code && entry.id == id)
                return &entry;
    }
    return nullptr;
}
