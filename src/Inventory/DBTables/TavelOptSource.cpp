#include "TavelOptSource.h"

#include "Records.h"
#include "Trace.h"

TavelOptSource::TavelOptSource() {
    TVL_TRACE("TavelOptSource::TavelOptSource");
}

TavelOptSource::~TavelOptSource() {
    TVL_TRACE("TavelOptSource::~TavelOptSource");
}

std::optional<int> TavelOptSource::MinProductCodeLength(WSIDatabase* db) {
    TVL_TRACE("TavelOptSource::MinProductCodeLength");
    if (!db)
        return std::nullopt;
    WSITavelOpt options(db);
    if (!options.GetFirst())
        return std::nullopt;
    return options.data.MinProductLength;
}
