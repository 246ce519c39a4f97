#include "BIInvPick.h"

#include "BIException.h"
#include "BoundedFormat.h"
#include "CCrystalReportObj.h"
#include "DBInvLoc.h"
#include "DBInvOrdIt.h"
#include "DBPrdLoc.h"
#include "InventoryModule.h"
#include "ListCursor.h"
#include "RecordWrites.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "schema/InventoryCodes.h"

#include <cstddef>
#include <cstring>
#include <iterator>

using tavel::tables::CopyText;

namespace {

constexpr int kPickListTitle = 38557;

// Location codes compare without trailing blanks, as the database compares them.
bool SameLocation(const char* a, const char* b) {
    std::size_t na = std::strlen(a), nb = std::strlen(b);
    while (na > 0 && a[na - 1] == ' ')
        --na;
    while (nb > 0 && b[nb - 1] == ' ')
        --nb;
    return na == nb && std::strncmp(a, b, na) == 0;
}

bool IsActiveLocation(WSIDatabase* db, const char* code) {
    DBInvLoc loc(db);
    CopyText(loc.data.InvLoc, code);
    return loc.GetEqual(__FILE__, __LINE__, dbiNOLOCK) && loc.data.Inactive == 0;
}

WSIApplication* Host() {
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    return app ? app->GetHostApplication() : nullptr;
}

// What a fill needs to know of the order line it fills.
struct FillLine {
    long Product;
    short Quantity;
    short QtyFilled;
};
const ColumnDesc kFillLineColumns[] = {
    TVL_COL(FillLine, Product, Id, 0, false),
    TVL_COL(FillLine, Quantity, Count, 0, false),
    TVL_COL(FillLine, QtyFilled, Count, 0, false),
};
const TableDesc kFillLine{"INVORDIT", kFillLineColumns, std::size(kFillLineColumns),
                          sizeof(FillLine)};

} // namespace

const TableDesc& WSIOpenPickList::Table() {
    static const ColumnDesc columns[] = {
        TVL_COL(WSIOpenPickList, PickList, Id, 0, false),
        TVL_COL(WSIOpenPickList, InvLocName, Text, ColWidth::PlaceName, false),
        TVL_COL(WSIOpenPickList, InvLoc, Code, ColWidth::InvLoc, false),
        TVL_COL(WSIOpenPickList, UserName, Text, 255, false),
    };
    static const TableDesc desc{"INVORDIT", columns, std::size(columns), sizeof(WSIOpenPickList)};
    return desc;
}

WSIOpenPickListRow::WSIOpenPickListRow(WSIDatabase* db, const char* sql)
    : WSITable(__FILE__, __LINE__, 0, db, sql, WSIResult(WSIOpenPickList::Table(), &row)) {
    TVL_TRACE("WSIOpenPickListRow::WSIOpenPickListRow");
}

WSIInvFillRow::WSIInvFillRow(WSIDatabase* db, const char* sql)
    : WSITable(__FILE__, __LINE__, 0, db, sql, WSIResult(WSIInvFillView::Table(), &row)) {
    TVL_TRACE("WSIInvFillRow::WSIInvFillRow");
}

// --- Pick lists.

BIInvPickList::BIInvPickList(WSIDatabase* db) : BIInventory(db) {
    TVL_TRACE("BIInvPickList::BIInvPickList");
}

BIInvPickList::~BIInvPickList() {
    TVL_TRACE("BIInvPickList::~BIInvPickList");
}

long BIInvPickList::InitBatch(const char* from, const char* to) {
    TVL_TRACE("BIInvPickList::InitBatch");
    CopyText(fromLoc_, from ? from : "");
    CopyText(toLoc_, to ? to : "");
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    pickUser_ = app ? app->GetHostUser() : 0;
    GetDb()->GetCurrentDate(pickDate_);

    double next = 0;
    WSITable seq(__FILE__, __LINE__, 0, GetDb(), "SELECT INVORDIT_PickList_SEQ.nextval FROM DUAL",
                 &next);
    pickList_ = seq.GetFirst() ? static_cast<long>(next) : 0;
    return pickList_;
}

void BIInvPickList::CloseBatch() {
    TVL_TRACE("BIInvPickList::CloseBatch");
    fromLoc_[0] = '\0';
    toLoc_[0] = '\0';
    pickUser_ = 0;
    pickList_ = 0;
}

void BIInvPickList::ClearBatch(long pickList) {
    TVL_TRACE("BIInvPickList::ClearBatch");
    char sql[1024];
    TVL_FORMAT(sql, "UPDATE INVORDIT SET \"PickList\" = 0 WHERE \"PickList\" = %ld", pickList);
    // Taking lines off a list is best effort: a line that cannot be reached stays listed
    // and the list can be cleared again.
    WSITable::QExecDirect(__FILE__, __LINE__, GetDb(), sql);
}

void BIInvPickList::Add(long invOrdIt, bool markStatus) {
    TVL_TRACE("BIInvPickList::Add");
    WSIDatabase* db = GetDb();
    db->TransactionBegin();
    try {
        DBInvOrdIt line(db);
        line.data.InvOrdIt = invOrdIt;
        if (!line.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
            throw RecordInUse();
        line.data.PickList = pickList_;
        line.data.PickUser = pickUser_;
        line.data.PickDate = pickDate_;
        if (markStatus)
            line.data.Status = tavel::OrdItStatus::OnPickList;
        UpdateOrThrow<InvPickListAddErr>(line);
        tavel::EndTransaction(db);
    } catch (...) {
        db->TransactionAbort();
        throw;
    }
}

long BIInvPickList::GetPickList() const {
    TVL_TRACE("BIInvPickList::GetPickList");
    return pickList_;
}

WSITable* BIInvPickList::GetNextRow() {
    TVL_TRACE("BIInvPickList::GetNextRow");
    return tavel::NextListRow(listCursor_, [this] {
        char sql[1024];
        TVL_FORMAT(
            sql,
            "SELECT DISTINCT I.\"PickList\", L.\"Name\" INVLOCNAME, O.\"InvLoc\", CAST((RTRIM "
            "(U.\"Name\") || ', ' || RTRIM(U.\"First\")) AS VARCHAR2(255)) USERNAME FROM "
            "INVORDIT I, INVORDER O, INVLOC L, USERS U WHERE I.\"Status\" = %ld AND "
            "I.\"PickList\" > 0 AND O.\"Inactive\" = 0 AND I.\"InvOrder\" = O.\"InvOrder\" "
            "AND O.\"InvLoc\" = L.\"InvLoc\" AND I.\"PickUser\" = U.\"User\" (+) ORDER BY "
            "I.\"PickList\" ",
            static_cast<long>(tavel::OrdItStatus::OnPickList));
        return std::make_unique<WSIOpenPickListRow>(GetDb(), sql);
    });
}

void BIInvPickList::Print(WSIWindow* parent, bool preview, long pickList, const char* invLoc) {
    TVL_TRACE("BIInvPickList::Print");
    // The report is printed once; a number of copies is the printer dialog's business.
    const long number = pickList != 0 ? pickList : pickList_;
    ST_FORMULAS formulas[2];
    char value[512];
    TVL_FORMAT(value, "%ld", number);
    SetStringFormula(formulas[0], "PickListNum", value);

    const char* loc = (invLoc && *invLoc) ? invLoc : toLoc_;
    char locName[ColWidth::PlaceName + 1] = "";
    if (FindInvLoc(loc))
        GetInvLocName(locName, sizeof locName);

    WSIApplication* host = Host();
    char format[512] = "";
    if (host)
        host->LoadString(kPickListTitle, format, sizeof format);
    char title[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    // The title's layout is the string table's: the number first, then the location name.
    TVL_FORMAT(title, format, number, locName);
#pragma GCC diagnostic pop
    SetStringFormula(formulas[1], "Title", title);

    CCrystalReportObj report(host ? host->GetCrystalEngine() : nullptr, "InvPickList.rpt", title,
                             preview ? 1 : 0, parent);
    report.SetFormulas(formulas, 2);
    report.SetFormulaError(true);
    report.SetParameter(nullptr, 0);
    report.Print(false, true);
}

// --- Fills.

BIInvFill::BIInvFill(WSIDatabase* db) : BIInvBatchAdj(db) {
    TVL_TRACE("BIInvFill::BIInvFill");
}

BIInvFill::~BIInvFill() {
    TVL_TRACE("BIInvFill::~BIInvFill");
}

void BIInvFill::BeginFill() {
    TVL_TRACE("BIInvFill::BeginFill");
    GetDb()->TransactionBegin();
}

void BIInvFill::EndFill() {
    TVL_TRACE("BIInvFill::EndFill");
    tavel::EndTransaction(GetDb());
}

void BIInvFill::SetPickList(long pickList) {
    TVL_TRACE("BIInvFill::SetPickList");
    pickList_ = pickList;
}

void BIInvFill::Fill(long invOrdIt, long product, short quantity, bool allowFilled,
                     bool createMissing, bool allowExpired, bool allowNoExpiry) {
    TVL_TRACE("BIInvFill::Fill");
    try {
        ApplyFill(invOrdIt, product, quantity, allowFilled, createMissing, allowExpired,
                  allowNoExpiry);
    } catch (...) {
        // The whole fill goes: every line filled since BeginFill is undone with this one.
        GetDb()->TransactionAbort();
        throw;
    }
}

void BIInvFill::ApplyFill(long invOrdIt, long product, short quantity, bool allowFilled,
                          bool createMissing, bool allowExpired, bool allowNoExpiry) {
    TVL_TRACE("BIInvFill::ApplyFill");
    WSIDatabase* db = GetDb();
    if (firstLoc_[0] == '\0' || !IsActiveLocation(db, firstLoc_))
        throw InvalidTransferFrom();
    if (secondLoc_[0] == '\0' || SameLocation(firstLoc_, secondLoc_) ||
        !IsActiveLocation(db, secondLoc_))
        throw InvalidTransferTo();

    WSIProduct prd(db);
    prd.data.Product = product;
    if (!prd.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
        throw InvalidProduct();

    // Both locations must carry the product already: a fill is no place to add catalogue rows.
    DBPrdLoc prdLoc(db);
    if (!prdLoc.GetPrdLoc(product, firstLoc_, false) ||
        !prdLoc.GetPrdLoc(product, secondLoc_, false))
        throw PrdLocErr();

    const long max = static_cast<long>(tavel::tables::MaxQuantityAllowed());
    if (quantity < -max || quantity > max)
        throw InvalidQuantity();

    if (invOrdIt == 0)
        throw InvalidInvOrdIt();
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT \"Product\", \"Quantity\", \"QtyFilled\" FROM INVORDIT WHERE \"InvOrdIt\" = "
               "%ld ",
               invOrdIt);
    FillLine line{};
    if (!ReadFirst(sql, WSIResult(kFillLine, &line)))
        throw InvalidInvOrdIt();
    if (line.Quantity == 0)
        throw InvOrdItQtyZero();
    if (!allowFilled && line.QtyFilled >= line.Quantity)
        throw InvOrdItFilled();

    if (line.Product != 0) {
        // A substitute must be of the ordered product's type.
        long lineType = 0;
        TVL_FORMAT(sql, "SELECT \"PrdType\" FROM PRODUCT WHERE \"Product\" = %ld ", line.Product);
        if (!ReadFirst(sql, &lineType))
            lineType = 0;
        if (lineType != prd.data.PrdType)
            throw PrdTypeMatchErr();
    }

    // The line is filled under the product it ordered, whatever was delivered.
    Adjust(firstLoc_, tavel::MovementType::Transfer, product, quantity, "", createMissing,
           allowExpired, allowNoExpiry, 0, 0, invOrdIt, secondLoc_, line.Product);
}

WSITable* BIInvFill::GetNextRow() {
    TVL_TRACE("BIInvFill::GetNextRow");
    return tavel::NextListRow(rowCursor_, [this] {
        char sql[1024];
        if (batchId_ == 0)
            TVL_FORMAT(sql,
                       "SELECT V.INVITEM, V.BATCHID, V.FILLED, V.INVORDER, V.INACTIVE,  V.PODATE, "
                       "V.INVORDIT, V.ITEM, V.STATUS, V.PICKLIST,  V.PRODUCTID, V.PRODUCTCODE, "
                       "V.DESCRIPTION, V.UPCCODE, V.ORDERQTY,  V.UNIT, V.QTYFILLED, "
                       "V.WASBACKORDERED, V.PRODUCTBIN  FROM INVFILL_VIEW V WHERE V.PICKLIST = %ld "
                       "ORDER BY V.PODATE, V.INVORDER, V.ITEM ",
                       pickList_);
        else
            TVL_FORMAT(sql,
                       "SELECT INVITEM, V.BATCHID, V.FILLED, V.INVORDER, V.INACTIVE,  V.PODATE, "
                       "V.INVORDIT, V.ITEM, V.STATUS, V.PICKLIST,  V.PRODUCTID, V.PRODUCTCODE, "
                       "V.DESCRIPTION, V.UPCCODE, V.ORDERQTY,  V.UNIT, V.QTYFILLED, "
                       "V.WASBACKORDERED, V.PRODUCTBIN  FROM INVFILL_VIEW V WHERE V.PICKLIST = %ld "
                       "AND V.BATCHID(+) = %ld ORDER BY V.PODATE, V.INVORDER, V.ITEM ",
                       pickList_, batchId_);
        return std::make_unique<WSIInvFillRow>(GetDb(), sql);
    });
}

WSITable* BIInvFill::GetNewRow() {
    TVL_TRACE("BIInvFill::GetNewRow");
    // The row of the stock item just written: the view keys it by INVITEM, which is what
    // the last item written names (its order line would list every item of the line).
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT V.INVITEM, V.BATCHID, V.FILLED, V.INVORDER, V.INACTIVE,  V.PODATE, "
               "V.INVORDIT, V.ITEM, V.STATUS, V.PICKLIST,  V.PRODUCTID, V.PRODUCTCODE, "
               "V.DESCRIPTION, V.UPCCODE, V.ORDERQTY,  V.UNIT, V.QTYFILLED, V.WASBACKORDERED, "
               "V.PRODUCTBIN  FROM INVFILL_VIEW V WHERE V.INVITEM = %ld ",
               lastInvItem_);
    return tavel::NewListRow<WSIInvFillRow>(GetDb(), sql);
}

void BIInvFill::Print(WSIWindow*, bool) {
    TVL_TRACE("BIInvFill::Print");
}
