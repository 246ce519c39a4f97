#pragma once

#include <optional>

class WSIDatabase;

// Read access to the suite-wide options record that the module's settings derive from.
// Kept behind an interface so that the handler does not depend on the record class and
// tests can supply the options without a database.
class SuiteOptions {
public:
    virtual ~SuiteOptions();
    // Product-code length of the suite's first options record; nullopt when there is none.
    virtual std::optional<int> MinProductCodeLength(WSIDatabase* db);
};
