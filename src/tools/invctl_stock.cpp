// invctl stock and check: the stock items of a product at a location, and the stock
// invariant over the whole database.

#include "invctl.h"
#include "invctl_host.h"

#include "BoundedFormat.h"
#include "Records.h"
#include "SqlText.h"
#include "StockCheck.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace invctl {
namespace {

bool LocationExists(WSIDatabase& db, const std::string& code) {
    char sql[1024];
    TVL_FORMAT(sql, "SELECT COUNT(1) FROM INVLOC WHERE \"InvLoc\" = '%s'",
               tavel::EscapeQuotes(code.c_str()).c_str());
    long count = 0;
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &count, sql);
    return cursor->GetFirst() && count > 0;
}

// The day a stock item dates from: its receipt's for received stock, else its audit
// entry's (as the received list shows it).
WSIDate ItemDate(WSIDatabase& db, const WSIInvItem::WSIData& item) {
    char sql[1024];
    if (item.Type == tavel::MovementType::Receipt && item.InvRec != 0)
        TVL_FORMAT(sql, "SELECT \"Date\" FROM INVREC WHERE \"InvRec\" = %ld", item.InvRec);
    else
        TVL_FORMAT(sql, "SELECT \"Date\" FROM AUDITHIS WHERE \"Audit\" = %ld", item.Audit);
    WSIDate date;
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &date, sql);
    if (!cursor->GetFirst())
        date = WSIDate{};
    return date;
}

std::string DateText(const WSIDate& date) {
    if (date.IsNull())
        return "";
    char text[32];
    TVL_FORMAT(text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

// Where the stock came from: a receipt, another location, or an adjustment of this one.
std::string Origin(const WSIInvItem::WSIData& item) {
    char text[128];
    if (item.Type == tavel::MovementType::Receipt)
        TVL_FORMAT(text, "receipt %ld", item.InvRec);
    else if (item.InvLocFrom[0] != '\0')
        TVL_FORMAT(text, "from %s", item.InvLocFrom);
    else if (item.Type == tavel::MovementType::Repackage)
        TVL_FORMAT(text, "repackaging");
    else if (item.Type == tavel::MovementType::HostIncrease ||
             item.Type == tavel::MovementType::HostDecrease)
        TVL_FORMAT(text, "host adjustment");
    else
        TVL_FORMAT(text, "adjustment");
    return text;
}

int RunStock(const Options& options, const Args& args) {
    std::string location, product;
    bool inStockOnly = false;
    for (const std::string& a : args) {
        if (a == "--in-stock")
            inStockOnly = true;
        else if (a.size() > 1 && a[0] == '-' && a[1] == '-')
            return UsageError(kStockCommand, "unexpected argument " + a);
        else if (location.empty())
            location = a;
        else if (product.empty())
            product = a;
        else
            return UsageError(kStockCommand, "unexpected argument " + a);
    }
    if (product.empty())
        return UsageError(kStockCommand, "location and product are required");
    if (options.db.empty())
        return UsageError(kStockCommand, "no database file given (--db FILE)");
    std::string problem;
    std::unique_ptr<WSIDatabase> db = OpenInventory(options.db, problem);
    if (!db)
        return Fail(problem);
    const long id = FindProductByCode(*db, product);
    if (id == 0)
        return Fail("no product with product or UPC code " + product);
    if (!LocationExists(*db, location))
        return Fail("no location " + location);

    // Oldest first: the audit entry of an item's creation numbers items by age.
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT %s FROM INVITEM WHERE \"InvLoc\" = '%s' AND \"Product\" = %ld %s ORDER BY "
               "\"Audit\", \"InvItem\"",
               db->GetTableColumns(__LINE__, __FILE__, "INVITEM"),
               tavel::EscapeQuotes(location.c_str()).c_str(), id,
               inStockOnly ? "AND \"Balance\" > 0" : "");
    WSIInvItem::WSIData item{};
    std::unique_ptr<WSITable> cursor =
        db->Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvItem::Table(), &item), sql);
    std::printf("InvItem\tDate\tQuantity\tBalance\tCostPerUnit\tExpiryDate\tOrigin\n");
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
        std::printf("%ld\t%s\t%d\t%g\t%.2f\t%s\t%s\n", item.InvItem,
                    DateText(ItemDate(*db, item)).c_str(), item.Quantity, item.Balance,
                    item.CostPerUnit, DateText(item.ExpiryDate).c_str(), Origin(item).c_str());
    return kExitOk;
}

int RunCheck(const Options& options, const Args& args) {
    if (!args.empty())
        return UsageError(kCheckCommand, "unexpected argument " + args.front());
    if (options.db.empty())
        return UsageError(kCheckCommand, "no database file given (--db FILE)");
    std::string problem;
    std::unique_ptr<WSIDatabase> db = OpenInventory(options.db, problem);
    if (!db)
        return Fail(problem);
    const std::vector<tavel::StockViolation> violations = tavel::CheckStock(*db);
    for (const tavel::StockViolation& v : violations) {
        std::printf("%s\t%s\t%s\t", tavel::RuleName(v.rule), v.productCode.c_str(),
                    v.invLoc.c_str());
        if (v.invItem)
            std::printf("%ld", v.invItem);
        std::printf("\t%s\n", v.text.c_str());
    }
    if (!violations.empty())
        return Fail(std::to_string(violations.size()) + " stock violation" +
                    (violations.size() == 1 ? "" : "s"));
    std::printf("stock consistent\n");
    return kExitOk;
}

} // namespace

const Command kStockCommand{"stock", "LOCATION PRODUCT [--in-stock]",
                            "list the stock items of a product (code or UPC) at a location, "
                            "oldest first: date, quantity, balance, cost, expiry and origin; "
                            "--in-stock leaves out used-up items",
                            RunStock};

const Command kCheckCommand{"check", "",
                            "verify the stock: stock item balances add up to each product "
                            "location's balance, stay within their quantities, and agree with "
                            "their movement details; prints every violation, exit 1 if any",
                            RunCheck};

} // namespace invctl
