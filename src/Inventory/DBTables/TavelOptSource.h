#pragma once

#include "SuiteOptions.h"

// The suite options as stored: the first WSITavelOpt record of the database. The
// handler reads it at InitApp to set the minimum product-code length once it is given
// this source (WSIInventoryApp::SetSuiteOptions) by whoever attaches the module.
class TavelOptSource : public SuiteOptions {
public:
    TavelOptSource();
    ~TavelOptSource() override;

    // The "MinProductLength" of the first options record; nullopt without a database or
    // without a record.
    std::optional<int> MinProductCodeLength(WSIDatabase* db) override;
};
