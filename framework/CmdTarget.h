// Base of everything that receives commands through a message map: windows
// and the application object.
#pragma once

#include "MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Runs the WM_COMMAND entry for this id and notification code (0 for menus
    // and accelerators); FALSE when the map has none.
    virtual BOOL OnCmdMsg(UINT id, UINT code);

protected:
    static const MessageMap messageMap;
    virtual const MessageMap* GetMessageMap() const { return &messageMap; }

    // The entry for the message in this object's table or its bases', or null.
    const MessageMapEntry* FindEntry(UINT message, UINT code, UINT id) const;
};
