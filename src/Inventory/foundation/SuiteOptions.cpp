#include "SuiteOptions.h"

#include "Trace.h"

SuiteOptions::~SuiteOptions() {
    TVL_TRACE("SuiteOptions::~SuiteOptions");
}

std::optional<int> SuiteOptions::MinProductCodeLength(WSIDatabase* db) {
    TVL_TRACE("SuiteOptions::MinProductCodeLength");
    // Until the options record is read here, the module keeps its initial settings.
    (void)db;
    return std::nullopt;
}
