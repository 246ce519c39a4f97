#pragma once

// The host of the benchmarks that open screens: the string table and the database, and
// every box answered with OK (a benchmark has nobody to ask).

#include "InventoryModule.h"
#include "StringTable.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "WSIProfile.h"

#include <memory>
#include <string>

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

// Attaches the inventory module to the host on `db` with the default texts, as a
// workstation starts it.
inline void AttachModule(BenchHost& host, WSIDatabase* db) {
    host.strings.LoadDefault();
    host.db = db;
    tavel::ModuleAttach();
    tavel::CurrentInventoryApp()->AttachHost(&host);
    tavel::CurrentInventoryApp()->InitApp(1);
}

// The busiest store room: the location with the most product locations.
inline std::string BusiestLocation(WSIDatabase& db) {
    char code[16] = "";
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", code,
                 "SELECT \"InvLoc\" FROM PRDLOC WHERE \"InvLoc\" <> ' ' GROUP BY \"InvLoc\" "
                 "ORDER BY COUNT(1) DESC");
    return cursor->GetFirst() ? code : "";
}
