#include "BIInvExpiry.h"

#include "BIInventory.h"
#include "BoundedFormat.h"
#include "SqlText.h"
#include "Trace.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>

namespace tavel {
namespace {

std::string Trimmed(const char* text) {
    std::string s(text);
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// Whether a description names expired stock ("Expired", "expiry", ...).
bool NamesExpiry(const char* description) {
    static constexpr char kWord[] = "expir";
    for (std::size_t i = 0; i + 1 < sizeof kWord; ++i) {
        if (description[i] == '\0' ||
            std::tolower(static_cast<unsigned char>(description[i])) != kWord[i])
            return false;
    }
    return true;
}

} // namespace

ExpiryUrgency UrgencyOf(long daysLeft) {
    if (daysLeft < 0)
        return ExpiryUrgency::Expired;
    if (daysLeft <= 30)
        return ExpiryUrgency::Within30;
    if (daysLeft <= 60)
        return ExpiryUrgency::Within60;
    return ExpiryUrgency::Later;
}

BIInvExpiry::BIInvExpiry(WSIDatabase* db) : db_(db) {
    TVL_TRACE("BIInvExpiry::BIInvExpiry");
}

WSIDate BIInvExpiry::WindowEnd(int days) const {
    return DateOfDayNumber(DayNumber(db_->Today()) + days);
}

std::vector<ExpiringLot> BIInvExpiry::Lots(const WSIDate& until, const std::string& invLoc) const {
    TVL_TRACE("BIInvExpiry::Lots");
    std::vector<ExpiringLot> lots;
    if (until.IsNull())
        return lots;
    char location[128] = "";
    if (!invLoc.empty())
        TVL_FORMAT(location, " AND I.\"InvLoc\" = '%s'", EscapeQuotes(invLoc.c_str()).c_str());
    char sql[1024];
    TVL_FORMAT(
        sql,
        "SELECT %s FROM INVITEM I WHERE I.\"Balance\" > 0 AND I.\"ExpiryDate\" IS NOT NULL "
        "AND I.\"ExpiryDate\" <= '%02d/%02d/%04d'%s ORDER BY I.\"ExpiryDate\", I.\"InvLoc\", "
        "I.\"InvItem\"",
        db_->GetTableColumns(__LINE__, __FILE__, "INVITEM", "I"), until.month, until.day,
        until.year, location);
    const long today = DayNumber(db_->Today());
    // Names are read once per product and location after the cursor is done.
    std::map<long, WSIProduct::WSIData> products;
    std::map<std::string, std::string> locations;
    {
        WSIInvItem::WSIData item{};
        std::unique_ptr<WSITable> cursor =
            db_->Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvItem::Table(), &item), sql);
        for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
            ExpiringLot lot;
            lot.invItem = item.InvItem;
            lot.product = item.Product;
            lot.invLoc = Trimmed(item.InvLoc);
            lot.unit = Trimmed(item.Unit);
            lot.balance = item.Balance;
            lot.costPerUnit = item.CostPerUnit;
            lot.value = BIInventory::RoundToCents(item.Balance * item.CostPerUnit);
            lot.expiryDate = item.ExpiryDate;
            lot.daysLeft = DayNumber(item.ExpiryDate) - today;
            lot.urgency = UrgencyOf(lot.daysLeft);
            products.emplace(item.Product, WSIProduct::WSIData{});
            locations.emplace(lot.invLoc, std::string());
            lots.push_back(std::move(lot));
        }
    }
    for (auto& [id, data] : products) {
        WSIProduct product(db_);
        product.data.Product = id;
        if (product.GetEqual(__FILE__, __LINE__))
            data = product.data;
    }
    for (auto& [code, name] : locations) {
        WSIInvLoc loc(db_);
        std::snprintf(loc.data.InvLoc, sizeof loc.data.InvLoc, "%s", code.c_str());
        name = loc.GetEqual(__FILE__, __LINE__) ? Trimmed(loc.data.Name) : code;
    }
    for (ExpiringLot& lot : lots) {
        const WSIProduct::WSIData& p = products[lot.product];
        lot.productCode = Trimmed(p.ProductCode);
        lot.description = Trimmed(p.Description);
        lot.locationName = locations[lot.invLoc];
    }
    // Within one day, one location's lots stay together by product code.
    std::stable_sort(lots.begin(), lots.end(), [](const ExpiringLot& a, const ExpiringLot& b) {
        if (a.daysLeft != b.daysLeft)
            return a.daysLeft < b.daysLeft;
        if (a.invLoc != b.invLoc)
            return a.invLoc < b.invLoc;
        return a.productCode < b.productCode;
    });
    return lots;
}

std::vector<ExpiringLot> BIInvExpiry::LotsWithin(int days, const std::string& invLoc) const {
    return Lots(WindowEnd(days), invLoc);
}

long BIInvExpiry::CountWithin(int days, const std::string& invLoc) const {
    TVL_TRACE("BIInvExpiry::CountWithin");
    const WSIDate until = WindowEnd(days);
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT COUNT(1) FROM INVITEM WHERE \"Balance\" > 0 AND \"ExpiryDate\" IS NOT NULL "
               "AND \"ExpiryDate\" <= '%02d/%02d/%04d' AND \"InvLoc\" = '%s'",
               until.month, until.day, until.year, EscapeQuotes(invLoc.c_str()).c_str());
    long count = 0;
    std::unique_ptr<WSITable> cursor = db_->Query(__FILE__, __LINE__, "%s", &count, sql);
    return cursor->GetFirst() ? count : 0;
}

std::string BIInvExpiry::ExpiredStockCode() const {
    TVL_TRACE("BIInvExpiry::ExpiredStockCode");
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT %s FROM INVADJ WHERE \"Type\" = %d AND NVL(\"Inactive\", 0) = 0 "
               "ORDER BY \"InvAdj\"",
               db_->GetTableColumns(__LINE__, __FILE__, "INVADJ"), AdjustmentType::Decrease);
    WSIInvAdj::WSIData adj{};
    std::string byName;
    std::unique_ptr<WSITable> cursor =
        db_->Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvAdj::Table(), &adj), sql);
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        const std::string code = Trimmed(adj.InvAdj);
        if (code == "EXP")
            return code;
        if (byName.empty() && NamesExpiry(adj.Description))
            byName = code;
    }
    return byName;
}

} // namespace tavel
