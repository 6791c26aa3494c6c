// The test program's application object, like the program's own: the frame
// and the pages find the main window and the view through it.
#include "CIXO_CPLApp.h"

namespace {

CIXO_CPLApp theApp;

} // namespace
