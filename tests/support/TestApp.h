// The application object of the tests that run the program's frame and view.
#pragma once

class CIXO_CPLApp;

CIXO_CPLApp& TestApp();
