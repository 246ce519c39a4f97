#include "TablesFixture.h"

#include "SchemaTestSupport.h"
#include "schema/Schema.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sqlite3.h>

namespace {

// Message codes the rules show; each text names its code so that a test sees which one.
const unsigned kCodes[] = {5004,  5006,  28189, 28190, 28247, 28678, 38015, 38019, 38104, 38105,
                           38106, 38108, 38109, 38110, 38115, 38116, 38117, 38118, 38120, 38121,
                           38132, 38133, 38134, 38135, 38139, 38140, 38141, 38142, 38143, 38144,
                           38146, 38147, 38149, 38153, 38163, 38168, 38169, 38170, 38183, 38194,
                           38207, 38208, 38501, 38503, 38504, 38519, 38537, 38538, 38539, 38540,
                           38558, 38559, 38560, 38562, 38565, 38589, 38594, 45032};

WSIDate DateOf(const std::string& text, const WSIDate& today) {
    using namespace std::chrono;
    if (text.empty())
        return {};
    if (text[0] == '@') {
        const sys_days base{year_month_day{year{today.year}, month(today.month), day(today.day)}};
        const year_month_day d{base + days{std::stoi(text.substr(1))}};
        return {static_cast<short>(int(d.year())), static_cast<short>(unsigned(d.month())),
                static_cast<short>(unsigned(d.day()))};
    }
    WSIDate d;
    std::sscanf(text.c_str(), "%hd-%hd-%hd", &d.year, &d.month, &d.day);
    return d;
}

} // namespace

void TablesTest::SetUp() {
    ModuleTest::SetUp();
    dir = schematest::NewDataDir("tables-");
    if (tvltest::OnServer() && !tvltest::ServerConninfo())
        GTEST_SKIP() << "TAVEL_PG_CONNINFO is not set";
    ASSERT_EQ(tvltest::OpenTestDatabase(dir / "inventory.db", serverSchema, db), "");
    ASSERT_TRUE(db->IsOpen());
    std::string problem;
    ASSERT_TRUE(tavel::CreateSchema(*db, &problem)) << problem;
    host.db = db.get();
    for (unsigned code : kCodes)
        host.texts[code] = "#" + std::to_string(code);
    host.texts[38107] = "at least %d characters";

    prdType = Store<WSIPrdType>({{"Description", "Supplies"}});
    Store<WSIPrdCat>({{"PrdType", Id(prdType)}, {"PrdCat", "CAT"}});
    boxUnit = Store<WSIPrdUnit>({{"Description", "Box"}, {"IsDividable", "1"}});
    Store<WSIInvOType>({{"InvOType", "INT"}});
    Store<WSIInvOType>({{"InvOType", "EXT"}, {"IsExternal", "1"}});
    Store<WSIInvLoc>({{"InvLoc", "STORE"}, {"Type", "0"}});
    Store<WSIInvLoc>({{"InvLoc", "WARD"}, {"Type", "1"}});
    vendor = Store<WSIVendor>({{"Name", "Acme Medical"}});
}

std::unique_ptr<WSIDatabase> TablesTest::Connect() {
    auto other = std::make_unique<WSIDatabase>();
    if (serverSchema)
        other->OpenServer(serverSchema->Conninfo());
    else
        other->Open((dir / "inventory.db").string());
    return other;
}

void TablesTest::TearDown() {
    db.reset();
    serverSchema.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    ModuleTest::TearDown();
}

void TablesTest::Set(WSITable& record, const Fields& fields) {
    const TableDesc& desc = *record.Desc();
    auto* data = static_cast<char*>(record.Data());
    for (const auto& [name, value] : fields) {
        const ColumnDesc* col = nullptr;
        for (std::size_t i = 0; i < desc.count; ++i)
            if (std::strcmp(desc.columns[i].name, name) == 0)
                col = &desc.columns[i];
        ASSERT_NE(col, nullptr) << desc.name << " has no column " << name;
        void* at = data + col->offset;
        if (col->type == ColType::Id || col->type == ColType::Int)
            *static_cast<long*>(at) = std::stol(value);
        else if (col->type == ColType::Flag || col->type == ColType::Count)
            *static_cast<short*>(at) = static_cast<short>(std::stoi(value));
        else if (col->type == ColType::Amount)
            *static_cast<double*>(at) = std::stod(value);
        else if (col->type == ColType::Date)
            *static_cast<WSIDate*>(at) = DateOf(value, db->Today());
        else
            tavel::tables::CopyText(static_cast<char*>(at), col->width + 1u, value.c_str());
    }
}

Fields TablesTest::ValidProduct(const char* code) {
    return {{"ProductCode", code}, {"Description", code}, {"PrdType", Id(prdType)},
            {"PrdCat", "CAT"},     {"Unit", "Box"},       {"Vendor", Id(vendor)},
            {"InvOType", "INT"},   {"CanOrder", "1"},     {"ItemsPerUnit", "1"},
            {"LeadTimeUnit", "-1"}};
}

long TablesTest::AddProduct(const char* code, const Fields& changes) {
    Fields fields = ValidProduct(code);
    fields.insert(fields.end(), changes.begin(), changes.end());
    return Store<WSIProduct>(fields);
}

Fields TablesTest::ValidOrder(bool external) {
    if (external)
        return {{"IsExternal", "1"},
                {"InvLoc", "WARD"},
                {"InvOType", "EXT"},
                {"Vendor", Id(vendor)},
                {"Date", "@0"}};
    return {{"InvLoc", "WARD"}, {"InvLocFrom", "STORE"}, {"InvOType", "INT"}, {"Date", "@0"}};
}

long TablesTest::AddOrder(bool external, const Fields& changes) {
    Fields fields = ValidOrder(external);
    fields.insert(fields.end(), changes.begin(), changes.end());
    return Store<WSIInvOrder>(fields);
}

long TablesTest::Rows(const char* table, const std::string& where) {
    const std::string sql = std::string("SELECT COUNT(*) FROM ") + table + " WHERE " + where;
    long count = -1;
    if (db->IsServer()) {
        std::vector<std::vector<std::string>> rows;
        std::string error;
        if (db->QueryNative(sql.c_str(), {}, rows, &error) && !rows.empty())
            count = std::stol(rows[0][0]);
        EXPECT_NE(count, -1) << sql << ": " << error;
        return count;
    }
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db->Handle(), sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        count = static_cast<long>(sqlite3_column_int64(stmt, 0));
    sqlite3_finalize(stmt);
    EXPECT_NE(count, -1) << sql << ": " << sqlite3_errmsg(db->Handle());
    return count;
}

std::string TablesTest::OnlyMessage() {
    std::string text = host.boxes.size() == 1 ? host.boxes.front().text : "";
    host.boxes.clear();
    return text;
}
