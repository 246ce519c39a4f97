#include "BICatalogue.h"

#include "BoundedFormat.h"
#include "Records.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "Trace.h"
#include "WSIDatabase.h"

#include <cstring>

using tavel::EscapeQuotes;

namespace {
// A location's links are kept with codes as the practice wrote them, blanks included.
constexpr const char* kLinkWhere = R"sql(WHERE TRIM('%s') = TRIM("InvLoc"))sql";
} // namespace

BICatalogue::BICatalogue(WSIDatabase* db) : m_pDb(db) {
    TVL_TRACE("BICatalogue::BICatalogue");
}

int BICatalogue::ShortestProductCode() const {
    TVL_TRACE("BICatalogue::ShortestProductCode");
    long shortest = 0;
    tavel::tables::FetchFirst(m_pDb, R"sql(SELECT MIN(LENGTH("ProductCode")) FROM PRODUCT )sql",
                              &shortest);
    return static_cast<int>(shortest);
}

bool BICatalogue::SaveMinProductLength(short length) {
    TVL_TRACE("BICatalogue::SaveMinProductLength");
    WSITavelOpt options(m_pDb);
    if (!options.GetFirst())
        return false;
    const long key = options.data.TavelOpt;
    m_pDb->TransactionBegin();
    WSITavelOpt record(m_pDb);
    record.data.TavelOpt = key;
    bool stored = record.GetEqual(__FILE__, __LINE__, dbiWRITELOCK);
    if (stored) {
        record.data.MinProductLength = length;
        stored = record.UpdateDB(__FILE__, __LINE__);
    }
    if (stored)
        stored = m_pDb->TransactionEnd();
    else
        m_pDb->TransactionAbort();
    return stored;
}

std::string BICatalogue::OrderTypeLayout(const char* invOType) const {
    TVL_TRACE("BICatalogue::OrderTypeLayout");
    std::string bytes;
    WSIBVParametersInfo bv;
    bv.AddParameter(invOType ? invOType : "");
    m_pDb->QueryBytes(__FILE__, __LINE__,
                      R"sql(SELECT "ReportLayout" FROM INVOTYPE WHERE "InvOType" = :1)sql", bv,
                      bytes);
    return bytes;
}

std::vector<std::string> BICatalogue::OrderTypesWithLayout() const {
    TVL_TRACE("BICatalogue::OrderTypesWithLayout");
    std::vector<std::string> codes;
    char code[ColWidth::InvOType + 1] = "";
    auto cursor = m_pDb->Query(
        __FILE__, __LINE__,
        R"sql(SELECT "InvOType" FROM INVOTYPE WHERE "ReportLayout" IS NOT NULL ORDER BY "InvOType")sql",
        code);
    for (bool found = cursor->GetFirst(); found; found = cursor->GetNext())
        codes.emplace_back(code);
    return codes;
}

bool BICatalogue::StoreOrderTypeLayout(const char* invOType, const std::string& bytes) {
    TVL_TRACE("BICatalogue::StoreOrderTypeLayout");
    WSIBVParametersInfo bv;
    if (bytes.empty())
        bv.AddNull();
    else
        bv.AddBytes(bytes);
    bv.AddParameter(invOType ? invOType : "");
    long changed = 0;
    const int rc = WSITable::QExecBVDirect(
        __FILE__, __LINE__, bv.Count(), bv.Params(), m_pDb,
        R"sql(UPDATE INVOTYPE SET "ReportLayout" = :1 WHERE "InvOType" = :2)sql", &changed);
    return rc == 0 && changed == 1;
}

bool BICatalogue::LocationHasLinks(const char* invLoc) const {
    TVL_TRACE("BICatalogue::LocationHasLinks");
    char where[256];
    TVL_FORMAT(where, kLinkWhere, EscapeQuotes(invLoc).c_str());
    char sql[1024];
    TVL_FORMAT(sql, "SELECT COUNT(1) FROM INVLOCMAP %s", where);
    return tavel::tables::CountOf(m_pDb, sql) > 0;
}

bool BICatalogue::DeleteLocationLinks(const char* invLoc) {
    TVL_TRACE("BICatalogue::DeleteLocationLinks");
    char where[256];
    TVL_FORMAT(where, kLinkWhere, EscapeQuotes(invLoc).c_str());
    char sql[1024];
    TVL_FORMAT(sql, "DELETE FROM INVLOCMAP %s", where);
    return WSITable::QExecDirect(__FILE__, __LINE__, m_pDb, sql) == 0;
}

namespace {
#define TVL_LOCATION_PRODUCT_COLUMNS(X)                                                            \
    X(Product, Id, 0, false)                                                                       \
    X(ProductCode, Text, ColWidth::ProductCode, false)                                             \
    X(Description, Text, ColWidth::ProductDesc, false)                                             \
    X(Bin, Text, ColWidth::Bin, false)                                                             \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(Balance, Amount, 0, false)                                                                   \
    X(MinCount, Count, 0, false)                                                                   \
    X(ReorderCount, Count, 0, false)                                                               \
    X(MaxCount, Count, 0, false)                                                                   \
    X(Inactive, Flag, 0, false)
TVL_ROW_RECORD(LocationProductData, TVL_LOCATION_PRODUCT_COLUMNS);
TVL_ROW_DESC(LocationProductData, "LOCATIONPRODUCT", TVL_LOCATION_PRODUCT_COLUMNS)
} // namespace

std::vector<LocationProductRow> BICatalogue::ProductsAtLocation(const char* invLoc) const {
    TVL_TRACE("BICatalogue::ProductsAtLocation");
    std::vector<LocationProductRow> rows;
    // A location that does not track usage keeps its stock as the last count.
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT P."Product", P."ProductCode", P."Description", PL."Bin", P."Unit", DECODE(PL."TrackUsage", 1, PL."Balance", PL."LastCount"), PL."MinCount", PL."ReorderCount", PL."MaxCount", PL."Inactive" FROM PRDLOC PL, PRODUCT P WHERE PL."Product" = P."Product" AND PL."InvLoc" = '%s' ORDER BY P."ProductCode")sql",
        EscapeQuotes(invLoc).c_str());
    LocationProductData row{};
    auto cursor =
        m_pDb->Query(__FILE__, __LINE__, "%s", WSIResult(LocationProductData::Table(), &row), sql);
    for (bool found = cursor->GetFirst(); found; found = cursor->GetNext()) {
        LocationProductRow r;
        r.product = row.Product;
        r.code = row.ProductCode;
        r.description = row.Description;
        r.bin = row.Bin;
        r.unit = row.Unit;
        r.balance = row.Balance;
        r.minCount = row.MinCount;
        r.reorderCount = row.ReorderCount;
        r.maxCount = row.MaxCount;
        r.inactive = row.Inactive != 0;
        rows.push_back(std::move(r));
    }
    return rows;
}
