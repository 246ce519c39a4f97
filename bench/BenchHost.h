#pragma once

// The host of the benchmarks that open screens: the string table and the database, and
// every box answered with OK (a benchmark has nobody to ask).

#include "StringTable.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIProfile.h"

class BenchHost : public WSIApplication {
public:
    StringTable strings;
    WSIDatabase* db = nullptr;
    WSIProfile profile; // empty: every key its default, unless a benchmark sets it
    int LoadString(unsigned code, char* buf, int size) const override {
        return strings.Load(code, buf, size);
    }
    WSIDatabase* GetDb() override { return db; }
    WSIProfile* GetProfile() override { return &profile; }
    int MessageBox(WSIWindow*, const char*, const char*, unsigned) override { return id::OK; }
};
