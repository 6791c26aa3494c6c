#include "PagesFixture.h"

namespace {

// Constructed before any test, as the program's own object is; the frame
// and the view exist only while a shell test runs.
CIXO_CPLApp theApp;

} // namespace

CIXO_CPLApp& TestApp() {
    return theApp;
}
