#include "RecordSql.h"
#include "Schema.h"
#include "SchemaTestSupport.h"
#include "TableRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

using schematest::TempDatabase;

namespace {

// A record buffer for any descriptor, aligned like the record structs.
struct AnyRecord {
    explicit AnyRecord(const TableDesc& d) : desc(d), words((d.dataSize + 7) / 8 + 1) {}
    void* data() { return words.data(); }
    char* bytes() { return reinterpret_cast<char*>(words.data()); }
    template <typename T> T& at(const ColumnDesc& c) {
        return *reinterpret_cast<T*>(bytes() + c.offset);
    }
    const TableDesc& desc;
    std::vector<long long> words;
};

// Gives every column a value no other column has, with text filling its whole width.
void FillDistinct(AnyRecord& r, int seed) {
    for (std::size_t i = 0; i < r.desc.count; ++i) {
        const ColumnDesc& c = r.desc.columns[i];
        const int n = seed * 100 + static_cast<int>(i) + 1;
        if (c.type == ColType::Id || c.type == ColType::Int)
            r.at<long>(c) = 100000L + n;
        else if (c.type == ColType::Flag || c.type == ColType::Count)
            r.at<short>(c) = static_cast<short>(c.type == ColType::Flag ? 1 : n);
        else if (c.type == ColType::Amount)
            r.at<double>(c) = n + 0.25;
        else if (c.type == ColType::Date)
            r.at<WSIDate>(c) =
                WSIDate{static_cast<short>(2020 + seed), static_cast<short>(1 + i % 12),
                        static_cast<short>(1 + i % 28)};
        else {
            char* t = r.bytes() + c.offset;
            for (unsigned w = 0; w < c.width; ++w)
                t[w] = static_cast<char>('A' + (n + w) % 26);
            t[c.width] = '\0';
        }
    }
}

const ColumnDesc* SingleIdKey(const TableDesc& t) {
    const ColumnDesc* key = nullptr;
    for (std::size_t i = 0; i < t.count; ++i) {
        if (!t.columns[i].key)
            continue;
        if (key || t.columns[i].type != ColType::Id)
            return nullptr;
        key = &t.columns[i];
    }
    return key;
}

class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string problem;
        ASSERT_TRUE(tavel::CreateSchema(t.db, &problem)) << problem;
    }
    TempDatabase t;
};

// Every column of every table keeps its full value through an insert and a read by key.
TEST_F(RecordsTest, EveryTableStoresAndReadsBackEveryColumnAtFullWidth) {
    for (const TableDesc* desc : RecordTables()) {
        SCOPED_TRACE(desc->name);
        AnyRecord written(*desc);
        FillDistinct(written, 1);
        WSITable record(&t.db, *desc, written.data());
        ASSERT_TRUE(record.InsertDB(__FILE__, __LINE__));

        AnyRecord read(*desc);
        for (std::size_t i = 0; i < desc->count; ++i) {
            const ColumnDesc& c = desc->columns[i];
            if (c.key)
                std::memcpy(read.bytes() + c.offset, written.bytes() + c.offset,
                            tavel::db::ColumnSize(c));
        }
        WSITable reader(&t.db, *desc, read.data());
        ASSERT_TRUE(reader.GetEqual(__FILE__, __LINE__));
        EXPECT_EQ(0, std::memcmp(written.data(), read.data(), desc->dataSize));
    }
}

// New orders, lines, receipts, stock items, details, products, vendors ... get their id
// from the database when the record holds 0; the id is written back into the record.
TEST_F(RecordsTest, TablesKeyedByOneIdGetDatabaseAssignedIds) {
    const std::set<std::string> assigned = {"PRODUCT",  "VENDOR",   "PRDTYPE", "PRDUNIT",
                                            "INVORDER", "INVORDIT", "INVREC",  "INVITEM",
                                            "INVITDET", "AUDITHIS", "USERS"};
    for (const TableDesc* desc : RecordTables()) {
        SCOPED_TRACE(desc->name);
        const ColumnDesc* key = SingleIdKey(*desc);
        if (!assigned.count(desc->name))
            continue;
        ASSERT_NE(key, nullptr);
        long ids[2] = {};
        for (int n = 0; n < 2; ++n) {
            AnyRecord r(*desc);
            FillDistinct(r, n + 2);
            r.at<long>(*key) = 0;
            WSITable record(&t.db, *desc, r.data());
            ASSERT_TRUE(record.InsertDB(__FILE__, __LINE__));
            ids[n] = r.at<long>(*key);
        }
        EXPECT_GT(ids[0], 0);
        EXPECT_GT(ids[1], ids[0]);
    }
}

// Product links are inserted by position: product, billable item, inactive flag.
TEST_F(RecordsTest, ProductMapRowsInsertedByPositionReadBackByName) {
    ASSERT_EQ(0, WSITable::QExecDirect(__FILE__, __LINE__, &t.db,
                                       "INSERT INTO INVPRODMAP VALUES(42, 'IMMFLU', 0)"));
    WSIInvProdMap map(&t.db);
    map.data.Product = 42;
    std::strcpy(map.data.Sundry, "IMMFLU");
    ASSERT_TRUE(map.GetEqual(__FILE__, __LINE__));
    EXPECT_EQ(map.data.Inactive, 0);
}

// The service learns column lists and date columns from the registered descriptors.
TEST_F(RecordsTest, RegisteredDescriptorsGiveColumnListsAndDateColumns) {
    std::string columns = t.db.GetTableColumns(__LINE__, __FILE__, "PRDLOC", "PL");
    EXPECT_EQ(columns.rfind("PL.\"Product\", PL.\"InvLoc\", PL.\"Bin\"", 0), 0u) << columns;

    const auto dates = tavel::RegisteredDateColumns();
    for (const char* name : {"Date", "PODate", "NeedBy", "ExpiryDate", "LastCountDate", "PickDate",
                             "PODATE", "INVRECDATE", "EXPIRYDATE"})
        EXPECT_TRUE(dates.count(name)) << name;
    for (const char* name : {"Balance", "InvLoc", "RECD"})
        EXPECT_FALSE(dates.count(name)) << name;
}

} // namespace
