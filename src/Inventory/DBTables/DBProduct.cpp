#include "DBProduct.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <cstring>
#include <iterator>
#include <string>

using tavel::EscapeQuotes;
using namespace tavel::tables;

namespace {
// Shortest UPC code accepted.
constexpr unsigned kMinUPCLength = 6;

// What the rules look up, read in one statement: a product is written back on every
// receipt (its average cost), and a look-up of its own for each rule is a round trip each.
// Codes and units: 0 missing, 1 active, 2 inactive; codes taken: how many other products.
struct ProductLookups {
    long CATEGORY;
    long CODETAKEN;
    long UPCTAKEN;
    long UNIT;
    long WEIGHTUNIT;
    long ORDERTYPE;
};
const ColumnDesc kLookupColumns[] = {
    TVL_COL(ProductLookups, CATEGORY, Int, 0, false),
    TVL_COL(ProductLookups, CODETAKEN, Int, 0, false),
    TVL_COL(ProductLookups, UPCTAKEN, Int, 0, false),
    TVL_COL(ProductLookups, UNIT, Int, 0, false),
    TVL_COL(ProductLookups, WEIGHTUNIT, Int, 0, false),
    TVL_COL(ProductLookups, ORDERTYPE, Int, 0, false),
};
const TableDesc kLookups{"PRODUCTLOOKUPS", kLookupColumns, std::size(kLookupColumns),
                         sizeof(ProductLookups)};

Activity ActivityFrom(long state) {
    return state == 0 ? Activity::Missing : state == 1 ? Activity::Active : Activity::Inactive;
}

// The state of a code table's row as 0 / 1 / 2 (see ProductLookups); "Inactive" left NULL
// counts as active, as a look-up of the flag reads it.
std::string StateOf(const char* table, const char* condition) {
    return std::string("(SELECT MAX(CASE WHEN \"Inactive\" <> 0 THEN 2 ELSE 1 END) FROM ") + table +
           " WHERE " + condition + ")";
}
} // namespace

DBProduct::DBProduct(WSIDatabase* db) : dbTable<WSIProduct>(db) {
    TVL_TRACE("DBProduct::DBProduct");
}

void DBProduct::SetOldCanOrder(short canOrder) {
    TVL_TRACE("DBProduct::SetOldCanOrder");
    oldCanOrder_ = canOrder;
}

void DBProduct::SetStoredCodes(const char* productCode, const char* upcCode) {
    TVL_TRACE("DBProduct::SetStoredCodes");
    CopyText(storedCode_, productCode ? productCode : "");
    CopyText(storedUPC_, upcCode ? upcCode : "");
    storedKnown_ = true;
}

bool DBProduct::VerifyData(DB_OP op) {
    TVL_TRACE("DBProduct::VerifyData");
    error_ = 0;
    LoadLookups();
    if (!(CheckCategory(op) && CheckProductCode() && CheckUPCCode() && CheckUnit(op) &&
          CheckWeightUnit(op) && CheckLeadTime() && CheckOrderType(op) && CheckItemsPerUnit()))
        return false;
    if (op == DB_UPDATE)
        return ConfirmCodeChangeOnOrders() && ConfirmUPCChangeAtLocations() &&
               ConfirmNoLongerOrderable();
    return true;
}

bool DBProduct::CheckCategory(DB_OP op) {
    TVL_TRACE("DBProduct::CheckCategory");
    if (IsEmpty(data.PrdCat))
        return Fail(0x4D01, 45032);
    const Activity category = ActivityFrom(lookups_.category);
    if (category == Activity::Missing)
        return Fail(0x4D01, 38104);
    // A product that is itself inactive may stay in an inactive category.
    if (category == Activity::Inactive && (op == DB_INSERT || data.Inactive == 0))
        return Fail(0x4D01, 38115);
    return true;
}

bool DBProduct::CheckProductCode() {
    TVL_TRACE("DBProduct::CheckProductCode");
    if (IsEmpty(data.ProductCode))
        return Fail(0x4D05, 45032);
    const unsigned minLength = MinProductLength();
    if (std::strlen(data.ProductCode) < minLength) {
        error_ = 0x4D05;
        ReportTooShort(minLength);
        return false;
    }
    if (lookups_.codeTaken > 0)
        return Fail(0x4D05, 38105);
    return true;
}

bool DBProduct::CheckUPCCode() {
    TVL_TRACE("DBProduct::CheckUPCCode");
    if (IsEmpty(data.UPCCode))
        return true;
    if (std::strlen(data.UPCCode) < kMinUPCLength) {
        error_ = 0x4D06;
        ReportTooShort(kMinUPCLength);
        return false;
    }
    if (lookups_.upcTaken > 0)
        return Fail(0x4D06, 38106);
    return true;
}

std::string DBProduct::CodeTakenSql(const char* code) const {
    // A scanned code must name one product, whether it is read as a product or a UPC code.
    const std::string quoted = EscapeQuotes(code);
    char sql[256];
    TVL_FORMAT(
        sql,
        R"sql((SELECT COUNT(1) FROM PRODUCT WHERE "Product" <> %ld AND ("ProductCode" = '%s' OR "UPCCode" = '%s')))sql",
        data.Product, quoted.c_str(), quoted.c_str());
    return sql;
}

void DBProduct::LoadLookups() {
    TVL_TRACE("DBProduct::LoadLookups");
    // An empty code or unit is not looked up (its rule needs nothing), so it reads as 0.
    auto unitState = [](const char* unit) {
        return IsEmpty(unit)
                   ? std::string("0")
                   : StateOf("PRDUNIT",
                             (R"sql(UPPER("Description") = UPPER(')sql" + EscapeQuotes(unit) + "')")
                                 .c_str());
    };
    const std::string category =
        IsEmpty(data.PrdCat)
            ? std::string("0")
            : StateOf("PRDCAT", (R"sql("PrdType" = )sql" + std::to_string(data.PrdType) +
                                 R"sql( AND "PrdCat" = ')sql" + EscapeQuotes(data.PrdCat) + "'")
                                    .c_str());
    const std::string orderType =
        IsEmpty(data.InvOType)
            ? std::string("0")
            : StateOf("INVOTYPE",
                      (R"sql("InvOType" = ')sql" + EscapeQuotes(data.InvOType) + "'").c_str());
    const std::string sql =
        "SELECT " + category + " AS CATEGORY, " +
        (IsEmpty(data.ProductCode) ? std::string("0") : CodeTakenSql(data.ProductCode)) +
        " AS CODETAKEN, " +
        (IsEmpty(data.UPCCode) ? std::string("0") : CodeTakenSql(data.UPCCode)) + " AS UPCTAKEN, " +
        unitState(data.Unit) + " AS UNIT, " + unitState(data.WeightUnit) + " AS WEIGHTUNIT, " +
        orderType + " AS ORDERTYPE FROM DUAL";
    ProductLookups row{};
    if (!FetchFirst(GetDb(), sql.c_str(), WSIResult(kLookups, &row)))
        row = {};
    lookups_ = {row.CATEGORY, row.CODETAKEN, row.UPCTAKEN, row.UNIT, row.WEIGHTUNIT, row.ORDERTYPE};
}

void DBProduct::ReportTooShort(unsigned minLength) {
    TVL_TRACE("DBProduct::ReportTooShort");
    messageCode_ = 38107;
    messageArg_ = static_cast<int>(minLength);
    WSIInventoryApp* app = GetParent() ? tavel::CurrentInventoryApp() : nullptr;
    WSIApplication* host = app ? app->GetHostApplication() : nullptr;
    if (!host)
        return;
    char format[256];
    host->LoadString(38107, format, sizeof format);
    char text[256];
    TVL_FORMAT(text, format, static_cast<int>(minLength));
    host->MessageBox(GetParent(), text, "", mb::OK | mb::ICONEXCLAMATION);
}

bool DBProduct::CheckUnit(DB_OP op) {
    TVL_TRACE("DBProduct::CheckUnit");
    if (IsEmpty(data.Unit))
        return true;
    const Activity unit = ActivityFrom(lookups_.unit);
    if (unit == Activity::Missing)
        return Fail(0x4D09, 38120);
    if (op == DB_INSERT && unit == Activity::Inactive)
        return Fail(0x4D09, 38121);
    return true;
}

bool DBProduct::CheckWeightUnit(DB_OP op) {
    TVL_TRACE("DBProduct::CheckWeightUnit");
    if (IsEmpty(data.WeightUnit))
        return true;
    const Activity unit = ActivityFrom(lookups_.weightUnit);
    if (unit == Activity::Missing || (op == DB_INSERT && unit == Activity::Inactive))
        return Fail(0x4D0A, 38565);
    return true;
}

bool DBProduct::CheckLeadTime() {
    TVL_TRACE("DBProduct::CheckLeadTime");
    // A lead time means nothing without its unit (days, weeks, ...).
    if (data.LeadTime > 0 && data.LeadTimeUnit == tavel::kNoLeadTimeUnit)
        return Fail(0x4D08, 38117);
    return true;
}

bool DBProduct::CheckOrderType(DB_OP op) {
    TVL_TRACE("DBProduct::CheckOrderType");
    if (IsEmpty(data.InvOType))
        return true;
    const Activity type = ActivityFrom(lookups_.orderType);
    if (type == Activity::Missing)
        return Fail(0x4D07, 38110);
    if (op == DB_INSERT && type == Activity::Inactive)
        return Fail(0x4D07, 38116);
    return true;
}

bool DBProduct::CheckItemsPerUnit() {
    TVL_TRACE("DBProduct::CheckItemsPerUnit");
    if (data.ItemsPerUnit <= 0)
        return Fail(0x4D0C, 38194);
    return true;
}

bool DBProduct::ConfirmCodeChangeOnOrders() {
    TVL_TRACE("DBProduct::ConfirmCodeChangeOnOrders");
    if (storedKnown_ && std::strcmp(storedCode_, data.ProductCode) == 0)
        return true;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT P."ProductCode" FROM PRODUCT P, INVORDIT I  WHERE P."Product" = %ld AND P."Product" = I."Product")sql",
        data.Product);
    char stored[sizeof data.ProductCode] = "";
    if (!FetchFirst(GetDb(), sql, stored) || IsEmpty(stored) ||
        std::strcmp(stored, data.ProductCode) == 0)
        return true;
    if (ReportWarning(38108))
        return true;
    error_ = 0x4D05;
    return false;
}

bool DBProduct::ConfirmUPCChangeAtLocations() {
    TVL_TRACE("DBProduct::ConfirmUPCChangeAtLocations");
    if (storedKnown_ && std::strcmp(storedUPC_, data.UPCCode) == 0)
        return true;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT P."UPCCode" FROM PRODUCT P, PRDLOC PL  WHERE P."Product" = %ld AND P."Product" = PL."Product")sql",
        data.Product);
    char stored[sizeof data.UPCCode] = "";
    if (!FetchFirst(GetDb(), sql, stored) || IsEmpty(stored) ||
        std::strcmp(stored, data.UPCCode) == 0)
        return true;
    if (ReportWarning(38109))
        return true;
    error_ = 0x4D06;
    return false;
}

bool DBProduct::ConfirmNoLongerOrderable() {
    TVL_TRACE("DBProduct::ConfirmNoLongerOrderable");
    if (!CanOrderSwitchedOff())
        return true;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRDLOC  WHERE "Product" = %ld AND "CanOrderFrom" = 1 AND ROWNUM < 2)sql",
        data.Product);
    if (CountOf(GetDb(), sql) == 0 || ReportWarning(38170))
        return true;
    error_ = 0x4D0B;
    return false;
}

bool DBProduct::CanOrderSwitchedOff() const {
    TVL_TRACE("DBProduct::CanOrderSwitchedOff");
    return data.CanOrder == 0 && oldCanOrder_ == 1;
}

bool DBProduct::CanDelete() {
    TVL_TRACE("DBProduct::CanDelete");
    error_ = 0;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM INVORDIT WHERE "Product" = %ld AND ROWNUM < 2  UNION SELECT COUNT(1) FROM INVITEM WHERE "Product" = %ld AND ROWNUM < 2)sql",
        data.Product, data.Product);
    if (CountOf(GetDb(), sql) > 0)
        return Fail(kDbErrInUse, 28247);
    return true;
}

void DBProduct::UpdateExtraRecords() {
    TVL_TRACE("DBProduct::UpdateExtraRecords");
    if (!CanOrderSwitchedOff())
        return;
    // No location may go on offering a product that can no longer be ordered.
    char sql[1024];
    TVL_FORMAT(sql, R"sql(UPDATE PRDLOC SET "CanOrderFrom" = 0 WHERE "Product" = %ld)sql",
               data.Product);
    WSITable::QExecDirect(__FILE__, __LINE__, GetDb(), sql);
}

void DBProduct::DeleteExtraRecords() {
    TVL_TRACE("DBProduct::DeleteExtraRecords");
    char sql[1024];
    TVL_FORMAT(sql, R"sql(DELETE PRDLOC WHERE "Product" = %ld)sql", data.Product);
    WSITable::QExecDirect(__FILE__, __LINE__, GetDb(), sql);
}
