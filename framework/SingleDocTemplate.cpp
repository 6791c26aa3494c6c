#include "SingleDocTemplate.h"

#include "WinApp.h"
#include "WindowPlacement.h"

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, DocumentFactory document,
                                       FrameFactory frame, ViewFactory view)
    : m_resourceId(resourceId), m_makeDocument(document), m_makeFrame(frame), m_makeView(view) {}

BOOL CSingleDocTemplate::OpenNewDocument(int showCommand) {
    if (m_document == nullptr)
        m_document = m_makeDocument();
    if (!m_document->OnNewDocument())
        return FALSE;
    const bool firstFrame = m_frame == nullptr || m_frame->m_hWnd == nullptr;
    if (firstFrame) {
        m_frame.reset();
        std::unique_ptr<CFrameWnd> frame = m_makeFrame();
        CCreateContext context{m_makeView, m_document.get()};
        if (!frame->LoadFrame(m_resourceId, &context))
            return FALSE;
        m_frame = std::move(frame);
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd == nullptr)
            app->m_pMainWnd = m_frame.get();
    }
    if (CView* view = m_frame->GetActiveView())
        view->OnInitialUpdate();
    if (firstFrame) {
        // The system chose the position for a window of another size; the
        // view's initial update has given the frame its own since.
        KeepWindowInsideWorkArea(m_frame->m_hWnd);
        m_frame->ShowWindow(showCommand);
    }
    return TRUE;
}
