#include "CmdTarget.h"

const MessageMap CCmdTarget::messageMap{nullptr, {}};

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code) {
    const MessageMapEntry* entry = FindEntry(WM_COMMAND, code, id);
    if (entry == nullptr)
        return FALSE;
    entry->handler.Call(*this, MAKEWPARAM(id, code), 0);
    return TRUE;
}

const MessageMapEntry* CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const {
    return GetMessageMap()->Find(message, code, id);
}
