#include "TestApp.h"

#include "CIXO_CPLApp.h"
#include "resource.h"

namespace {

// Like the program's own object once it starts: constructed before any test,
// and with the icon the frame puts into the notification area. The frame, the
// view and the pages find the main window and the view through it.
struct TestApplication : CIXO_CPLApp {
    TestApplication() {
        m_hAppIcon = static_cast<HICON>(::LoadImageA(m_hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                     IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    }
};

TestApplication theApp;

} // namespace

CIXO_CPLApp& TestApp() {
    return theApp;
}
