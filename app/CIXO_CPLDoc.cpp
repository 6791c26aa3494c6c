#include "CIXO_CPLDoc.h"

BOOL CIXO_CPLDoc::OnNewDocument() {
    return CDocument::OnNewDocument();
}
