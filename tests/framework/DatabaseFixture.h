#pragma once

// A fresh database file in a folder of its own (which also receives the error log), with
// two small tables described by record classes of the tests' own.

#include "TableRegistry.h"
#include "WSIDatabase.h"
#include "WSITable.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

// Composite key: an id and a code.
class TstLoc : public WSITable {
public:
    struct WSIData {
        long Product;
        char InvLoc[7];
        char Bin[13];
        short Stocked;
        double Balance;
        WSIDate LastCountDate;
    };
    WSIData data{};
    TVL_RECORD_CLASS(TstLoc)
    static const TableDesc& Table() {
        static const ColumnDesc cols[] = {
            TVL_COL(WSIData, Product, Id, 0, true),
            TVL_COL(WSIData, InvLoc, Code, 6, true),
            TVL_COL(WSIData, Bin, Text, 12, false),
            TVL_COL(WSIData, Stocked, Flag, 0, false),
            TVL_COL(WSIData, Balance, Amount, 0, false),
            TVL_COL(WSIData, LastCountDate, Date, 0, false),
        };
        static const TableDesc t{"TSTLOC", cols, std::size(cols), sizeof(WSIData)};
        return t;
    }
};

// One id key: assigned by the database.
class TstItem : public WSITable {
public:
    struct WSIData {
        long Item;
        char Name[21];
        long Audit;
    };
    WSIData data{};
    TVL_RECORD_CLASS(TstItem)
    static const TableDesc& Table() {
        static const ColumnDesc cols[] = {
            TVL_COL(WSIData, Item, Id, 0, true),
            TVL_COL(WSIData, Name, Text, 20, false),
            TVL_COL(WSIData, Audit, Id, 0, false),
        };
        static const TableDesc t{"TSTITEM", cols, std::size(cols), sizeof(WSIData)};
        return t;
    }
};

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("tavel-db-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        setenv("TAVEL_DATA_DIR", dir_.c_str(), 1);
        RegisterTable(TstLoc::Table());
        RegisterTable(TstItem::Table());
        db_ = Connect();
        ASSERT_TRUE(db_->IsOpen());
        ASSERT_TRUE(db_->CreateTable(TstLoc::Table()));
        ASSERT_TRUE(db_->CreateTable(TstItem::Table()));
        ASSERT_TRUE(db_->ExecNative(__FILE__, __LINE__,
                                    "CREATE TABLE AUDITHIS (\"Audit\" INTEGER PRIMARY KEY, "
                                    "\"User\" INTEGER, \"Date\" TEXT)"));
    }
    void TearDown() override {
        db_.reset();
        std::filesystem::remove_all(dir_);
    }

    // Another connection to the same file (another workstation).
    std::unique_ptr<WSIDatabase> Connect() {
        auto db = std::make_unique<WSIDatabase>((dir_ / "tavel.db").string());
        db->SetLockTimeout(100);
        return db;
    }

    std::string ErrorLog() const {
        std::ifstream in(dir_ / WSIDatabase::kErrorLog);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // A stored TSTLOC row.
    TstLoc PutLoc(long product, const char* loc, double balance, WSIDatabase* db = nullptr) {
        TstLoc r(db ? db : db_.get());
        r.data.Product = product;
        std::snprintf(r.data.InvLoc, sizeof r.data.InvLoc, "%s", loc);
        r.data.Balance = balance;
        EXPECT_TRUE(r.InsertDB(__FILE__, __LINE__));
        return r;
    }

    long Count(const char* where, WSIDatabase* db = nullptr) {
        long n = -1;
        auto c = (db ? db : db_.get())
                     ->Query(__FILE__, __LINE__, "SELECT COUNT(1) FROM TSTLOC WHERE %s", &n, where);
        EXPECT_TRUE(c->GetFirst());
        return n;
    }

    std::filesystem::path dir_;
    std::unique_ptr<WSIDatabase> db_;
};
