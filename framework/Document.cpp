#include "Document.h"

BOOL CDocument::OnNewDocument() {
    return TRUE;
}
