#include "CIXO_CPLApp.h"

#include "resource.h"

namespace {

// Like the program's own object: constructed before any test, and with the
// icon the frame puts into the notification area.
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
