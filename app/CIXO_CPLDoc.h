// The program's document. It holds no data: the driver keeps every setting,
// and the single-document template only needs a document to exist.
#pragma once

#include "Document.h"

class CIXO_CPLDoc : public CDocument {
public:
    // Only the base class's new-document step; its result is the result.
    BOOL OnNewDocument() override;
};
