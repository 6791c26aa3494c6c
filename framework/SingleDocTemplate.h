// Makes the document, frame and view of the program's one document from
// their factories, sharing one resource id (menu, icon, accelerators,
// document string).
//
//   AddDocTemplate(CSingleDocTemplate::Make<CIXO_CPLDoc, CMainFrame, CIXO_CPLView>(128));
#pragma once

#include "Document.h"
#include "FrameWnd.h"

#include <memory>

class CSingleDocTemplate {
public:
    using DocumentFactory = std::unique_ptr<CDocument> (*)();
    using FrameFactory = std::unique_ptr<CFrameWnd> (*)();
    using ViewFactory = std::unique_ptr<CView> (*)();

    CSingleDocTemplate(UINT resourceId, DocumentFactory document, FrameFactory frame,
                       ViewFactory view);

    template <class Doc, class Frame, class View>
    static std::unique_ptr<CSingleDocTemplate> Make(UINT resourceId) {
        return std::make_unique<CSingleDocTemplate>(
            resourceId, [] { return std::unique_ptr<CDocument>(std::make_unique<Doc>()); },
            [] { return std::unique_ptr<CFrameWnd>(std::make_unique<Frame>()); },
            [] { return std::unique_ptr<CView>(std::make_unique<View>()); });
    }

    // See CWinApp::OnFileNew.
    BOOL OpenNewDocument(int showCommand);

private:
    UINT m_resourceId;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    ViewFactory m_makeView;
    std::unique_ptr<CDocument> m_document;
    std::unique_ptr<CFrameWnd> m_frame; // goes, and the view with it, before the document
};
