#include "BIInvAdj.h"

#include "BIException.h"
#include "BoundedFormat.h"
#include "DBInvAdj.h"
#include "DBInvItem.h"
#include "DBInvLoc.h"
#include "DBPrdLoc.h"
#include "RecordWrites.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "Trace.h"
#include "UnitOfWork.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using tavel::EscapeQuotes;
using tavel::tables::CopyText;
using tavel::tables::IsAfter;
using tavel::tables::IsEmpty;
using tavel::tables::IsValidDate;

namespace {

namespace Move = tavel::MovementType;

// Stock created to make up a difference comes in whole units: the amount is kept to the
// cent first, so that 1.999999 counts as 2, and then cut.
short WholeUnits(double amount) {
    return static_cast<short>(BIInventory::RoundToCents(amount));
}

// A location code longer than the column would be cut by the record and could name
// another location.
bool FitsLocationCode(const char* code) {
    return std::strlen(code) < sizeof(WSIInvLoc::WSIData{}.InvLoc);
}

// Whether the movement takes stock that must be in date: usage, transfers and the host's
// decreases of expiry-tracked products at locations that track usage.
bool ChecksExpiry(short type) {
    return type == Move::Usage || type == Move::Transfer || type == Move::HostDecrease;
}

} // namespace

BIInvAdj::BIInvAdj(WSIDatabase* db) : BIInventory(db) {
    TVL_TRACE("BIInvAdj::BIInvAdj");
}

BIInvAdj::~BIInvAdj() {
    TVL_TRACE("BIInvAdj::~BIInvAdj");
}

void BIInvAdj::Adjust(const char* invLoc, short type, long product, short quantity,
                      const char* invAdj, bool createMissing, bool allowExpired, bool allowNoExpiry,
                      long audit, long onlyItem, long invOrdIt, const char* otherLoc,
                      long orderProduct, const RowsRead* read) {
    TVL_TRACE("BIInvAdj::Adjust");
    WSIDatabase* db = GetDb();
    // The adjustment is never aborted here: the caller decides what else goes with it, and
    // its one abort closes this level too.
    db->TransactionBegin();
    ApplyAdjust(invLoc, type, product, quantity, invAdj, createMissing, allowExpired, allowNoExpiry,
                audit, onlyItem, invOrdIt, otherLoc, orderProduct, read);
    tavel::EndTransaction(db);
}

bool BIInvAdj::ReadActiveLocation(WSIDatabase* db, const char* code, WSIInvLoc::WSIData& row) {
    DBInvLoc loc(db);
    loc.InitRecord();
    CopyText(loc.data.InvLoc, code);
    if (!loc.GetEqual(__FILE__, __LINE__, dbiNOLOCK) || loc.data.Inactive != 0)
        return false;
    row = loc.data;
    return true;
}

void BIInvAdj::ApplyAdjust(const char* invLoc, short type, long product, short quantity,
                           const char* invAdj, bool createMissing, bool allowExpired,
                           bool allowNoExpiry, long audit, long onlyItem, long invOrdIt,
                           const char* otherLoc, long orderProduct, const RowsRead* read) {
    TVL_TRACE("BIInvAdj::ApplyAdjust");
    WSIDatabase* db = GetDb();
    if (IsEmpty(invLoc) || !FitsLocationCode(invLoc))
        throw InvalidOrderedByLocation();
    WSIInvLoc::WSIData locRow{};
    if (!(read && read->loc) && !ReadActiveLocation(db, invLoc, locRow))
        throw InvalidOrderedByLocation();

    WSIProduct prd(db);
    ProductRow(product, read, prd.data);

    DBPrdLoc prdLoc(db);
    if (read && read->prdLoc && read->prdLoc->Product == product)
        prdLoc.data = *read->prdLoc;
    else if (!prdLoc.GetPrdLoc(product, invLoc, true))
        throw PrdLocErr();

    const long maxQuantity = static_cast<long>(tavel::tables::MaxQuantityAllowed());
    if (quantity < -maxQuantity || quantity > maxQuantity)
        throw InvalidQuantity();
    double change = quantity;

    if (!invAdj)
        throw InvalidInvAdj();
    short adjType = tavel::AdjustmentType::Decrease;
    if (*invAdj) {
        DBInvAdj adj(db);
        adj.InitRecord();
        if (std::strlen(invAdj) >= sizeof adj.data.InvAdj)
            throw InvalidInvAdj();
        CopyText(adj.data.InvAdj, invAdj);
        if (!adj.GetEqual(__FILE__, __LINE__, dbiNOLOCK) || adj.data.Inactive != 0)
            throw InvalidInvAdj();
        adjType = adj.data.Type;
    }
    // What the writers below would read again.
    RowsRead known;
    known.product = &prd.data;
    known.adjType = *invAdj ? adjType : -1;

    const std::string locSql = EscapeQuotes(invLoc);
    char sql[4096];
    switch (type) {
    case Move::Transfer:
    case Move::Repackage:
    case Move::HostDecrease:
        change = -change;
        break;
    case Move::Usage:
        if (prdLoc.data.TrackUsage == 0)
            throw TrackUsageErr();
        if (prdLoc.data.Inactive != 0)
            throw InactivePrdLocErr();
        change = -change;
        break;
    case Move::HostIncrease:
        break;
    case Move::Adjustment:
        if (adjType == tavel::AdjustmentType::Count) {
            // A count records what was found, then moves the stock to it.
            if (!prdLoc.LockReadRow(__FILE__, __LINE__))
                throw RecordInUse();
            prdLoc.data.LastCount = quantity;
            db->GetCurrentDate(prdLoc.data.LastCountDate);
            UpdateOrThrow<PrdLocErr>(prdLoc);
            // A recount in the same batch corrects the batch's marker; without a batch
            // every count is one of its own, and earlier ones stay as they were.
            WSIInvItDet::WSIData marker{};
            if (batchId_ != 0) {
                TVL_FORMAT(sql,
                           "SELECT %s FROM INVITDET  WHERE \"Type\" = %d AND "
                           "\"InvLoc\" = '%s' AND \"Product\" = %ld  AND \"InvAdj\" = '%s' AND "
                           "\"BatchId\" = %ld ",
                           db->GetTableColumns(__LINE__, __FILE__, "INVITDET"),
                           static_cast<int>(Move::CountMarker), locSql.c_str(), product,
                           EscapeQuotes(invAdj).c_str(), batchId_);
                if (!ReadFirst(sql, WSIResult(WSIInvItDet::Table(), &marker)))
                    marker = {};
            }
            known.detail = &marker;
            audit = UpdateInvItDet(marker.InvItDet, nullptr, Move::CountMarker, invLoc, product, 0,
                                   audit, invAdj, -1.0, batchId_, quantity, nullptr, &known);
            change = quantity - prdLoc.data.Balance;
        } else if (adjType == tavel::AdjustmentType::Decrease) {
            change = -change;
        }
        break;
    default:
        throw InvAdjErr();
    }

    // The stock items must account for the location's balance before any is touched.
    double itemSum = 0.0;
    TVL_FORMAT(sql,
               "SELECT SUM(\"Balance\") FROM INVITEM WHERE \"InvLoc\" = '%s' AND "
               "\"Product\" = %ld ",
               locSql.c_str(), product);
    if (!ReadFirst(sql, &itemSum))
        itemSum = 0.0;
    if (itemSum != prdLoc.data.Balance)
        throw InvPrdLocBalanceErr();

    // Stock that the items cannot give or take back: refused, or created first.
    if (change >= 0) {
        double room = 0.0;
        TVL_FORMAT(sql,
                   "SELECT SUM(\"Quantity\" - \"Balance\") FROM INVITEM WHERE \"InvLoc\" = '%s' "
                   "AND \"Product\" = %ld ",
                   locSql.c_str(), product);
        if (!ReadFirst(sql, &room))
            room = 0.0;
        if (change > room) {
            if (!createMissing)
                throw MissingInvItem(change - room, prd.data.AverageCost, prdLoc.data.TrackUsage,
                                     prd.data.TrackExpiryDate);
            const short n = WholeUnits(change - room);
            if (n != 0) {
                audit = AddInvItem(invLoc, type, product, n, nullptr, invAdj, -1.0, "", 0, audit, 0,
                                   0, &known);
                change -= n;
            }
        }
    } else if (itemSum + change < 0) {
        if (!createMissing)
            throw MissingInvItem(itemSum + change, prd.data.AverageCost, prdLoc.data.TrackUsage,
                                 prd.data.TrackExpiryDate);
        const short n = WholeUnits(-(itemSum + change));
        // The new stock is taken with the rest below, so the change stays as it is.
        if (n != 0)
            audit = AddInvItem(invLoc, Move::Adjustment, product, n, nullptr, "", -1.0, "", 0,
                               audit, 0, 0, &known);
    }

    // A decrease takes the oldest items first (newest first, or earliest expiry first, as
    // the product says); an increase refills partly used items in the opposite order.
    const bool increase = change >= 0;
    const char* order;
    if (prd.data.CostingMethod == tavel::CostingMethod::EarliestExpiry)
        order = increase ? "ORDER BY \"ExpiryDate\" DESC " : "ORDER BY \"ExpiryDate\" ASC ";
    else if ((prd.data.CostingMethod == tavel::CostingMethod::NewestFirst) != increase)
        order = "ORDER BY \"Audit\" DESC ";
    else
        order = "ORDER BY \"Audit\" ASC ";
    char onlyThis[128] = "";
    if (onlyItem != 0)
        TVL_FORMAT(onlyThis, "AND \"InvItem\" = %ld ", onlyItem);
    TVL_FORMAT(sql, "SELECT %s FROM INVITEM WHERE \"InvLoc\" = '%s' AND \"Product\" = %ld %s%s%s",
               db->GetTableColumns(__LINE__, __FILE__, "INVITEM"), locSql.c_str(), product,
               increase ? "AND \"Balance\" < \"Quantity\" " : "AND \"Balance\" > 0 ", onlyThis,
               order);
    // The items are read before any changes. Under SQLite's write transaction nobody else
    // changes them, so the reading stops at the items that cover the change; a server's
    // rows are read again under their own lock one by one, so all of them are listed.
    const bool rowsAreCurrent = !db->IsServer() && db->HoldsWriteLock();
    std::vector<WSIInvItem::WSIData> items;
    // Kept apart: sql holds each lot's detail look-up by the time the rest is read.
    const std::string itemsSql = sql;
    const auto readItems = [&](bool stopWhenCovered) {
        items.clear();
        WSIInvItem row(db);
        std::unique_ptr<WSITable> cursor =
            db->Query(__FILE__, __LINE__, "%s", WSIResult(row), itemsSql.c_str());
        double covered = 0.0;
        for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
            items.push_back(row.data);
            covered += increase ? row.data.Quantity - row.data.Balance : row.data.Balance;
            if (stopWhenCovered && covered >= (increase ? change : -change))
                return true;
        }
        return false;
    };
    bool cut = false;
    if (change != 0)
        cut = readItems(rowsAreCurrent);

    const bool expiryRules =
        prd.data.TrackExpiryDate != 0 && prdLoc.data.TrackUsage != 0 && ChecksExpiry(type);
    WSIDate today;
    db->GetCurrentDate(today);

    std::vector<long> done;
    for (std::size_t next = 0;; ++next) {
        if (change == 0)
            break;
        if (next == items.size()) {
            // Rounding left a rest that the items read do not cover: the others follow.
            if (!cut)
                break;
            cut = readItems(false);
            std::erase_if(items, [&](const WSIInvItem::WSIData& row) {
                return std::find(done.begin(), done.end(), row.InvItem) != done.end();
            });
            next = 0;
            if (items.empty())
                break;
        }
        DBInvItem item(db);
        item.data = items[next];
        done.push_back(item.data.InvItem);
        if (!item.LockReadRow(__FILE__, __LINE__))
            throw RecordInUse();
        if (expiryRules) {
            const bool dated = IsValidDate(item.data.ExpiryDate);
            if (!allowNoExpiry && !dated) {
                item.ReleaseLock();
                throw InvalidExpiryDate();
            }
            if (!allowExpired && dated && IsAfter(today, item.data.ExpiryDate)) {
                item.ReleaseLock();
                throw ExpiryDateErr();
            }
        }
        if (item.data.Balance > item.data.Quantity) {
            item.ReleaseLock();
            throw InvItemQtyErr();
        }

        // Apply what fits between 0 and the item's quantity; the rest goes to the next item.
        const double wanted = change;
        item.data.Balance += wanted;
        change = 0;
        if (wanted < 0 && item.data.Balance < 0) {
            change = item.data.Balance;
            item.data.Balance = 0;
        } else if (wanted > 0 && item.data.Balance > item.data.Quantity) {
            change = item.data.Balance - item.data.Quantity;
            item.data.Balance = item.data.Quantity;
        }
        const double applied = wanted - change;
        UpdateAmountsOrThrow<InvAdjErr>(item);

        WSIInvItDet::WSIData detail{};
        if (batchId_ != 0) {
            TVL_FORMAT(
                sql, "SELECT %s FROM INVITDET WHERE \"InvItem\" = %ld AND \"BatchId\" = %ld ",
                db->GetTableColumns(__LINE__, __FILE__, "INVITDET"), item.data.InvItem, batchId_);
            if (!ReadFirst(sql, WSIResult(WSIInvItDet::Table(), &detail)))
                detail = {};
        }
        known.detail = &detail;
        known.source = &item.data;
        const double cost = prd.data.CostingMethod == tavel::CostingMethod::RunningAverage
                                ? prd.data.AverageCost
                                : item.data.CostPerUnit;
        audit = UpdateInvItDet(detail.InvItDet, &item, type, invLoc, product, WholeUnits(applied),
                               audit, invAdj, cost, batchId_, 0, otherLoc, &known);
        UpdatePrdLoc(invLoc, product, applied);
        if (type == Move::Transfer)
            AddInvItem(otherLoc, Move::Transfer, product, WholeUnits(-applied),
                       &item.data.ExpiryDate, "", cost, invLoc, invOrdIt, audit, orderProduct,
                       item.data.InvItem, &known);
        known.detail = nullptr;
        known.source = nullptr;
    }
}

long BIInvAdj::AddInvItem(const char* invLoc, short type, long product, short quantity,
                          const WSIDate* expiry, const char* invAdj, double cost,
                          const char* invLocFrom, long invOrdIt, long audit, long orderProduct,
                          long sourceItem, const RowsRead* read) {
    TVL_TRACE("BIInvAdj::AddInvItem");
    WSIDatabase* db = GetDb();
    WSIProduct prd(db);
    ProductRow(product, read, prd.data);
    if (cost < 0)
        cost = prd.data.AverageCost;
    const bool dated = prd.data.TrackExpiryDate != 0 && expiry && IsValidDate(*expiry);
    const char* from = invLocFrom ? invLocFrom : "";
    const char* code = invAdj ? invAdj : "";

    // Inside a batch, like stock that the batch created already is topped up instead of
    // becoming one more item.
    long existing = 0;
    long detail = 0;
    // The detail that created the item, read whole so that adding to it reads it no more.
    WSIInvItDet::WSIData created{};
    if (batchId_ != 0) {
        WSIBVParametersInfo binds;
        binds.AddParameter(invLoc);
        binds.AddParameter(product);
        binds.AddParameter(type);
        binds.AddParameter(cost);
        binds.AddParameter(invOrdIt);
        binds.AddParameter(batchId_);
        binds.AddParameter(from);
        binds.AddParameter(code);
        binds.AddParameter(dated ? *expiry : WSIDate{});
        std::string sql =
            std::string("SELECT ") + db->GetTableColumns(__LINE__, __FILE__, "INVITDET", "D") +
            " FROM INVITEM I, INVITDET D WHERE I.\"InvLoc\" "
            "= :1 AND I.\"Product\" = :2 AND I.\"Type\" = :3 AND I.\"InvRec\" = 0 AND "
            "I.\"CostPerUnit\" = :4 AND I.\"InvOrdIt\" = :5 AND I.\"InvItem\" = D.\"InvItem\" AND "
            "I.\"Type\" = D.\"Type\" AND I.\"Audit\" = D.\"Audit\" AND D.\"BatchId\" = :6 ";
        if (*from)
            sql += "AND I.\"InvLocFrom\" = :7 ";
        if (*code)
            sql += "AND D.\"InvAdj\" = :8 ";
        // Undated stock tops up only undated stock, or it would take on a lot's expiry date.
        if (dated)
            sql += "AND I.\"ExpiryDate\" = :9 ";
        else if (prd.data.TrackExpiryDate != 0)
            sql += "AND I.\"ExpiryDate\" IS NULL ";
        std::unique_ptr<WSITable> cursor = db->QueryBV(
            __FILE__, __LINE__, sql.c_str(), WSIResult(WSIInvItDet::Table(), &created), binds);
        if (cursor->GetFirst()) {
            existing = created.InvItem;
            detail = created.InvItDet;
        }
    }

    DBInvItem item(db);
    item.InitRecord();
    if (existing != 0) {
        item.data.InvItem = existing;
        if (!item.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
            throw RecordInUse();
        item.data.Quantity = static_cast<short>(item.data.Quantity + quantity);
        item.data.Balance += quantity;
        UpdateAmountsOrThrow<InvItemErr>(item);
    } else {
        item.data.Type = type;
        item.data.InvRec = 0;
        CopyText(item.data.InvLoc, invLoc);
        item.data.Product = product;
        item.data.Quantity = quantity;
        item.data.Balance = quantity;
        CopyText(item.data.InvLocFrom, from);
        item.data.InvOrdIt = invOrdIt;
        item.data.AdjCreated = (type == Move::Adjustment || type == Move::Usage) ? 1 : 0;
        // Moved or repackaged stock keeps the unit it was counted in where it came from.
        WSIInvItem source(db);
        source.data.InvItem = sourceItem;
        bool fromSource = false;
        if (read && read->source && sourceItem != 0 && read->source->InvItem == sourceItem) {
            source.data = *read->source;
            fromSource = true;
        } else {
            fromSource = sourceItem != 0 && source.GetEqual(__FILE__, __LINE__, dbiNOLOCK);
        }
        if (fromSource) {
            CopyText(item.data.Unit, source.data.Unit);
            item.data.ItemsPerUnit = source.data.ItemsPerUnit;
            CopyText(item.data.ItemUnit, source.data.ItemUnit);
        } else {
            CopyText(item.data.Unit, prd.data.Unit);
            item.data.ItemsPerUnit = prd.data.ItemsPerUnit;
            CopyText(item.data.ItemUnit, prd.data.ItemUnit);
        }
        item.data.CostPerUnit = cost;
        if (dated)
            item.data.ExpiryDate = *expiry;
        item.data.Audit = audit != 0 ? audit : item.AddAuditEntry(1, nullptr);
        InsertOrThrow<InvItemErr>(item);
    }

    UpdatePrdLoc(invLoc, product, quantity);
    // The detail carries the item's audit entry, which is how a later top-up finds it.
    RowsRead known = read ? *read : RowsRead{};
    known.detail = detail != 0 ? &created : nullptr;
    UpdateInvItDet(detail, &item, type, invLoc, product, quantity, item.data.Audit, code, cost,
                   batchId_, 0, nullptr, &known);
    UpdateInvOrdIt(invOrdIt, invLoc, orderProduct != 0 ? orderProduct : product, quantity, -1);

    if (item.data.Quantity != 0) {
        lastInvItem_ = item.data.InvItem;
        return item.data.Audit;
    }
    // A top-up that took back everything the batch brought leaves nothing to keep.
    if (!item.DeleteDB(__FILE__, __LINE__, true))
        throw RecordInUse();
    lastInvItem_ = 0;
    return 0;
}

void BIInvAdj::AdjustReceivedDetails(long invItem, double cost, WSIDate expiry, const char* refNo) {
    TVL_TRACE("BIInvAdj::AdjustReceivedDetails");
    WSIDatabase* db = GetDb();
    db->TransactionBegin();
    try {
        if (invItem < 1)
            throw InvalidInvItem();
        if (!IsValidCost(cost))
            throw InvalidCost();
        DBInvItem item(db);
        item.InitRecord();
        item.data.InvItem = invItem;
        if (!item.GetEqual(__FILE__, __LINE__, dbiWRITELOCK))
            throw RecordInUse();
        WSIProduct prd(db);
        prd.data.Product = item.data.Product;
        if (!prd.GetEqual(__FILE__, __LINE__, dbiNOLOCK)) {
            item.ReleaseLock();
            throw InvalidProduct();
        }
        if (prd.data.TrackExpiryDate != 0) {
            if (!IsValidDate(expiry)) {
                item.ReleaseLock();
                throw InvalidExpiryDate();
            }
            item.data.ExpiryDate = expiry;
        }
        item.data.CostPerUnit = cost;
        if (refNo)
            CopyText(item.data.RefNo, refNo);
        UpdateOrThrow<AdjustCostErr>(item);

        // Under the running average the other details were written at the average cost,
        // so only the detail that brought the item in takes the corrected cost.
        WSIBVParametersInfo binds;
        binds.AddParameter(cost);
        binds.AddParameter(invItem);
        const char* sql;
        if (prd.data.CostingMethod == tavel::CostingMethod::RunningAverage) {
            binds.AddParameter(item.data.Type);
            binds.AddParameter(item.data.Audit);
            sql = "UPDATE INVITDET SET \"CostPerUnit\" = :1  WHERE \"InvItem\" = :2 AND "
                  "\"Type\" = :3 AND \"Audit\" = :4";
        } else {
            sql = "UPDATE INVITDET SET \"CostPerUnit\" = :1 WHERE \"InvItem\" = :2";
        }
        if (WSITable::QExecBVDirect(__FILE__, __LINE__, binds.Count(), binds.Params(), db, sql) !=
            0)
            throw AdjustCostErr();
    } catch (...) {
        db->TransactionAbort();
        throw;
    }
    tavel::EndTransaction(db);
}

BIInvBatchAdj::BIInvBatchAdj(WSIDatabase* db) : BIInvAdj(db) {
    TVL_TRACE("BIInvBatchAdj::BIInvBatchAdj");
}

BIInvBatchAdj::~BIInvBatchAdj() {
    TVL_TRACE("BIInvBatchAdj::~BIInvBatchAdj");
}

WSITable* BIInvBatchAdj::GetNextRow() {
    TVL_TRACE("BIInvBatchAdj::GetNextRow");
    return nullptr;
}

WSITable* BIInvBatchAdj::GetNewRow() {
    TVL_TRACE("BIInvBatchAdj::GetNewRow");
    return nullptr;
}

long BIInvBatchAdj::InitBatch(const char* firstLoc, const char* secondLoc) {
    TVL_TRACE("BIInvBatchAdj::InitBatch");
    CopyText(firstLoc_, firstLoc ? firstLoc : "");
    CopyText(secondLoc_, secondLoc ? secondLoc : "");
    lastInvItem_ = 0;
    rowCursor_.reset();
    long batch = 0;
    if (!ReadFirst("SELECT INVITDET_BatchId_SEQ.nextval FROM DUAL", &batch))
        batch = 0;
    batchId_ = batch;
    return batchId_;
}

void BIInvBatchAdj::CloseBatch() {
    TVL_TRACE("BIInvBatchAdj::CloseBatch");
    firstLoc_[0] = '\0';
    secondLoc_[0] = '\0';
    rowCursor_.reset();
    lastInvItem_ = 0;
    batchId_ = 0;
}
