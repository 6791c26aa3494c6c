// A setup read afresh from the driver, with every request that failed: a
// setting whose request failed is left out of the setup, and the failure is
// named so that the user can be told.
#pragma once

#include "CDriver.h"
#include "Setup.h"

#include <cstdint>
#include <vector>

struct SetupReadFailure {
    const char* Request; // the request's name
    uint32_t Status;
};

struct SetupRead {
    Setup setup;
    std::vector<SetupReadFailure> failures;
};

SetupRead ReadSetup(CDriver& driver);
