#include "DBPrdUnit.h"

#include "BoundedFormat.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"

#include <cstring>
#include <string>

using tavel::EscapeQuotes;
using namespace tavel::tables;

DBPrdUnit::DBPrdUnit(WSIDatabase* db) : dbTable<WSIPrdUnit>(db) {
    TVL_TRACE("DBPrdUnit::DBPrdUnit");
}

void DBPrdUnit::SetOldDescription(const char* description) {
    TVL_TRACE("DBPrdUnit::SetOldDescription");
    CopyText(oldDescription_, description);
}

void DBPrdUnit::SetOldIsDividable(short isDividable) {
    TVL_TRACE("DBPrdUnit::SetOldIsDividable");
    oldIsDividable_ = isDividable;
}

bool DBPrdUnit::GetPrdUnit(const char* description) {
    TVL_TRACE("DBPrdUnit::GetPrdUnit");
    InitRecord();
    char sql[1024];
    TVL_FORMAT(sql,
               R"sql(SELECT "PrdUnit" FROM PRDUNIT WHERE UPPER("Description") = UPPER('%s'))sql",
               EscapeQuotes(description).c_str());
    long unit = 0;
    if (!FetchFirst(GetDb(), sql, &unit))
        return false;
    data.PrdUnit = unit;
    return GetEqual(__FILE__, __LINE__, dbiNOLOCK);
}

bool DBPrdUnit::VerifyData(DB_OP op) {
    TVL_TRACE("DBPrdUnit::VerifyData");
    error_ = 0;
    if (!CheckDescription(op))
        return false;
    return op == DB_INSERT || (ConfirmRenameOnProducts() && ConfirmNoLongerDividable());
}

bool DBPrdUnit::CheckDescription(DB_OP op) {
    TVL_TRACE("DBPrdUnit::CheckDescription");
    if (IsEmpty(data.Description))
        return Fail(0x4C01, 5006);
    const std::string description = EscapeQuotes(data.Description);
    char sql[1024];
    if (op == DB_INSERT)
        TVL_FORMAT(sql,
                   R"sql(SELECT COUNT(1) FROM PRDUNIT WHERE UPPER("Description") = UPPER('%s'))sql",
                   description.c_str());
    else
        TVL_FORMAT(
            sql,
            R"sql(SELECT COUNT(1) FROM PRDUNIT WHERE "PrdUnit" <> %ld AND UPPER("Description") = UPPER('%s'))sql",
            data.PrdUnit, description.c_str());
    if (CountOf(GetDb(), sql) > 0)
        return Fail(0x4C01, 38015);
    return true;
}

bool DBPrdUnit::ConfirmRenameOnProducts() {
    TVL_TRACE("DBPrdUnit::ConfirmRenameOnProducts");
    if (!DescriptionChanged())
        return true;
    const std::string description = EscapeQuotes(data.Description);
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRODUCT  WHERE (UPPER("Unit") = UPPER('%s') OR UPPER("WeightUnit") = UPPER('%s')) AND ROWNUM < 2)sql",
        description.c_str(), description.c_str());
    if (CountOf(GetDb(), sql) == 0 || ReportWarning(38118))
        return true;
    error_ = 0x4C01;
    return false;
}

bool DBPrdUnit::ConfirmNoLongerDividable() {
    TVL_TRACE("DBPrdUnit::ConfirmNoLongerDividable");
    if (!DividableSwitchedOff())
        return true;
    char sql[1024];
    TVL_FORMAT(
        sql,
        R"sql(SELECT COUNT(1) FROM PRODUCT  WHERE UPPER("Unit") = UPPER('%s') AND "IsDividable" = 1 AND ROWNUM < 2)sql",
        EscapeQuotes(data.Description).c_str());
    if (CountOf(GetDb(), sql) == 0 || ReportWarning(38169))
        return true;
    error_ = 0x4C02;
    return false;
}

bool DBPrdUnit::DescriptionChanged() const {
    TVL_TRACE("DBPrdUnit::DescriptionChanged");
    // A change of letter case counts: the products should show the unit as now written.
    return std::strcmp(data.Description, oldDescription_) != 0;
}

bool DBPrdUnit::DividableSwitchedOff() const {
    TVL_TRACE("DBPrdUnit::DividableSwitchedOff");
    return data.IsDividable == 0 && oldIsDividable_ == 1;
}

void DBPrdUnit::UpdateExtraRecords() {
    TVL_TRACE("DBPrdUnit::UpdateExtraRecords");
    const std::string description = EscapeQuotes(data.Description);
    char sql[1024];
    if (DescriptionChanged()) {
        const std::string old = EscapeQuotes(oldDescription_);
        TVL_FORMAT(sql,
                   R"sql(UPDATE PRODUCT SET "Unit" = '%s' WHERE UPPER("Unit") = UPPER('%s'))sql",
                   description.c_str(), old.c_str());
        WSITable::QExecDirect(__FILE__, __LINE__, GetDb(), sql);
        TVL_FORMAT(
            sql,
            R"sql(UPDATE PRODUCT SET "WeightUnit" = '%s' WHERE UPPER("WeightUnit") = UPPER('%s'))sql",
            description.c_str(), old.c_str());
        WSITable::QExecDirect(__FILE__, __LINE__, GetDb(), sql);
    }
    if (DividableSwitchedOff()) {
        TVL_FORMAT(
            sql, R"sql(UPDATE PRODUCT SET "IsDividable" = 0 WHERE UPPER("Unit") = UPPER('%s'))sql",
            description.c_str());
        WSITable::QExecDirect(__FILE__, __LINE__, GetDb(), sql);
    }
}
