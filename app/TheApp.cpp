// The application object of the programs. Tests build their own, so this
// unit is linked only into Demtrel and DemtrelSim.
#include "CIXO_CPLApp.h"

CIXO_CPLApp theApp;
