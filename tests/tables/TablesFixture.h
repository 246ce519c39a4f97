#pragma once

// A fresh inventory database per test, with the module attached to a scripted host.
// Rows of the scene are stored directly through the record classes, so that the rules
// under test never run while it is set up; fields are named as their columns.

#include "EngineFixture.h"
#include "FakeHost.h"
#include "Records.h"
#include "TableLookup.h"
#include "WSIDatabase.h"
#include "dbTable.h"
#include "schema/InventoryCodes.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Column name and value as text; a date is "@n" (today moved by n days), "y-m-d" or "".
using Fields = std::vector<std::pair<const char*, std::string>>;

// One case of a table of rule checks: changes to a valid record, the operation checked,
// and the error number and message that must follow (0 and "" when it must pass).
struct RuleCase {
    const char* name;
    DB_OP op;
    Fields changes;
    std::uint16_t error;
    const char* message;
};

class TablesTest : public ModuleTest {
protected:
    // The scene every test starts from: a product type with category "CAT", the unit
    // "Box" (dividable), internal order type "INT", external "EXT", locations "STORE"
    // (type 0) and "WARD" (type 1), and a vendor.
    void SetUp() override;
    void TearDown() override;
    // Another connection to the test's database (another workstation).
    std::unique_ptr<WSIDatabase> Connect();

    void Set(WSITable& record, const Fields& fields);
    // Stores a row as given; returns its id (the first key column when it is a number).
    template <class Record> long Store(const Fields& fields) {
        Record r(db.get());
        Set(r, fields);
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__)) << Record::Table().name;
        return r.GetFieldLong(Record::Table().columns[0].name);
    }
    // A product that passes every rule, with changes.
    long AddProduct(const char* code, const Fields& changes = {});
    Fields ValidProduct(const char* code);
    // An order dated today: internal from the ward to the store, or external to the vendor.
    Fields ValidOrder(bool external);
    long AddOrder(bool external, const Fields& changes = {});

    long Rows(const char* table, const std::string& where = "1 = 1");
    std::string Id(long id) { return std::to_string(id); }

    // Text of the only message box shown since the last call; "" when none or several.
    std::string OnlyMessage();

    // Each case: a fresh table object with the screen as parent, filled from base and the
    // case's changes, checked with VerifyData.
    template <class Table>
    void ExpectCases(const Fields& base, const std::vector<RuleCase>& cases) {
        for (const RuleCase& c : cases) {
            SCOPED_TRACE(c.name);
            Table t(db.get());
            t.SetParent(&screen);
            Set(t, base);
            Set(t, c.changes);
            const bool ok = t.VerifyData(c.op);
            EXPECT_EQ(t.GetError(), c.error);
            EXPECT_EQ(ok, c.error == 0);
            EXPECT_EQ(OnlyMessage(), c.message);
        }
    }

    // An update of the stored row (key) that must be asked first: refused silently without
    // a screen, refused after No, accepted after Yes; message is the question.
    template <class Table>
    void ExpectQuestion(const Fields& key, const std::function<void(Table&)>& change,
                        std::uint16_t error, const char* message) {
        for (int answer : {0, id::NO, id::YES}) {
            SCOPED_TRACE(answer);
            Table t(db.get());
            Set(t, key);
            ASSERT_TRUE(t.GetEqual(__FILE__, __LINE__, dbiNOLOCK));
            if (answer)
                t.SetParent(&screen);
            host.answer = answer;
            change(t);
            EXPECT_EQ(t.VerifyData(DB_UPDATE), answer == id::YES);
            EXPECT_EQ(t.GetError(), answer == id::YES ? 0 : error);
            EXPECT_EQ(OnlyMessage(), answer ? message : "");
        }
    }

    template <class Table>
    void ExpectQuestion(const Fields& key, const Fields& changes, std::uint16_t error,
                        const char* message) {
        ExpectQuestion<Table>(
            key, [&](Table& t) { Set(t, changes); }, error, message);
    }

    // Deletes the row with these key fields through Table, as the business layer does;
    // the error number, 0 when deleted.
    template <class Table> std::uint16_t Delete(const Fields& key) {
        Table t(db.get());
        Set(t, key);
        const bool deleted = t.DeleteDB(__FILE__, __LINE__, false);
        EXPECT_EQ(deleted, t.GetError() == 0);
        return t.GetError();
    }

    std::filesystem::path dir;
    std::unique_ptr<tvltest::ServerSchema> serverSchema; // the PostgreSQL run's schema
    std::unique_ptr<WSIDatabase> db;
    WSIWindow screen;
    long prdType = 0;
    long vendor = 0;
    long boxUnit = 0;
};
