// The document of the single-document template.
#pragma once

#include "CmdTarget.h"

class CDocument : public CCmdTarget {
public:
    // Prepares a new, empty document; FALSE stops the new-document step.
    virtual BOOL OnNewDocument() { return TRUE; }
};
