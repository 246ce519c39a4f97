// invctl count, transfer, transfer-all, split and repackage: the stock movements between
// and within locations, as the count, transfer, split and repackaging screens make them.

#include "invctl.h"
#include "invctl_host.h"

#include "BIException.h"
#include "BIInvCount.h"
#include "BIInvRepackage.h"
#include "BIInvSplit.h"
#include "BIInvTransfer.h"
#include "BoundedFormat.h"
#include "ColumnWidths.h"
#include "TableLookup.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace invctl {
namespace {

// What every movement command takes besides its positional arguments.
struct Common : SignIn, StockFlags {};

// Splits the command line into positional arguments and the shared options (the movement
// options only where the command takes them). False with problem set.
bool ParseArgs(const Args& args, bool movementOptions, Args& positional, Common& common,
               std::string& problem) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (TakeSignInOption(args, i, common) || (movementOptions && TakeStockFlag(a, common)))
            continue;
        if (IsOption(a)) {
            problem = "unexpected option " + a;
            return false;
        }
        positional.push_back(a);
    }
    return true;
}

// YYYY-MM-DD, or "none" for no date.
bool ParseDate(const std::string& text, WSIDate& date) {
    date = WSIDate{};
    return text == "none" || ParseDay(text, date);
}

bool Product(WSIDatabase& db, const std::string& code, long& product, int& status) {
    product = FindProductByCode(db, code);
    if (product == 0)
        status = Fail("no product with product or UPC code " + code);
    return product != 0;
}

int RunCount(const Options& options, const Args& args) {
    Args pos;
    Common common;
    std::string problem;
    if (!ParseArgs(args, false, pos, common, problem))
        return UsageError(kCountCommand, problem);
    short counted = 0;
    if (pos.size() < 3 || pos.size() > 4)
        return UsageError(kCountCommand, "location, product and counted quantity are required");
    if (!ParseShort(pos[2], counted))
        return UsageError(kCountCommand, "not a quantity: " + pos[2]);
    if (!FitsLocation(pos[0], "LOCATION", problem) ||
        (pos.size() > 3 && !FitsWidth(pos[3], ColWidth::InvAdj, "CODE", "a count code", problem)))
        return UsageError(kCountCommand, problem);

    Session session;
    int status = kExitOk;
    long product = 0;
    if (!OpenSession(session, options, common, status) ||
        !Product(session.Db(), pos[1], product, status))
        return status;
    WSIDatabase& db = session.Db();
    const std::string code = pos.size() > 3 ? pos[3] : BIInvCount::DefaultCountCode(db);
    BIInvCount count(&db);
    return RunMovement(db, [&] {
        count.InitBatch(pos[0].c_str(), "");
        count.CountProduct(pos[0].c_str(), product, counted, code.c_str());
        count.CloseBatch();
        // The product location's count comes before the items the count created.
        WSIPrdLoc pl(&db);
        pl.data.Product = product;
        tavel::tables::CopyText(pl.data.InvLoc, pos[0].c_str());
        if (pl.GetEqual(__FILE__, __LINE__))
            std::printf("InvLoc\tProduct\tLastCount\tBalance\n%s\t%ld\t%g\t%g\n", pl.data.InvLoc,
                        product, pl.data.LastCount, pl.data.Balance);
    });
}

int RunTransfer(const Options& options, const Args& args) {
    Args pos;
    Common common;
    std::string problem;
    if (!ParseArgs(args, true, pos, common, problem))
        return UsageError(kTransferCommand, problem);
    short quantity = 0;
    if (pos.size() != 4)
        return UsageError(kTransferCommand, "from, to, product and quantity are required");
    if (!ParseShort(pos[3], quantity))
        return UsageError(kTransferCommand, "not a quantity: " + pos[3]);
    if (!FitsLocation(pos[0], "FROM", problem) || !FitsLocation(pos[1], "TO", problem))
        return UsageError(kTransferCommand, problem);

    Session session;
    int status = kExitOk;
    long product = 0;
    if (!OpenSession(session, options, common, status) ||
        !Product(session.Db(), pos[2], product, status))
        return status;
    WSIDatabase& db = session.Db();
    BIInvTransfer transfer(&db);
    return RunMovement(db, [&] {
        transfer.InitBatch(pos[0].c_str(), pos[1].c_str());
        transfer.Transfer(product, quantity, common.createMissing, common.allowExpired,
                          common.allowNoExpiry);
        transfer.CloseBatch();
    });
}

int RunTransferAll(const Options& options, const Args& args) {
    Args pos;
    Common common;
    std::string problem;
    if (!ParseArgs(args, false, pos, common, problem))
        return UsageError(kTransferAllCommand, problem);
    if (pos.size() != 2)
        return UsageError(kTransferAllCommand, "from and to are required");
    if (!FitsLocation(pos[0], "FROM", problem) || !FitsLocation(pos[1], "TO", problem))
        return UsageError(kTransferAllCommand, problem);

    Session session;
    int status = kExitOk;
    if (!OpenSession(session, options, common, status))
        return status;
    WSIDatabase& db = session.Db();
    BIInvTransfer transfer(&db);
    // Each product moved before a refusal stays moved.
    return RunMovement(
        db,
        [&] {
            transfer.InitBatch(pos[0].c_str(), pos[1].c_str());
            transfer.TransferAll(0);
            transfer.CloseBatch();
        },
        true);
}

int RunSplit(const Options& options, const Args& args) {
    Args pos;
    Common common;
    std::string problem;
    if (!ParseArgs(args, false, pos, common, problem))
        return UsageError(kSplitCommand, problem);
    long invItem = 0;
    short quantity = 0;
    double cost = 0;
    WSIDate expiry;
    if (pos.size() < 3 || pos.size() > 4)
        return UsageError(kSplitCommand, "stock item, quantity and cost are required");
    if (!ParseId(pos[0], invItem))
        return UsageError(kSplitCommand, "not a stock item id: " + pos[0]);
    if (!ParseShort(pos[1], quantity))
        return UsageError(kSplitCommand, "not a quantity: " + pos[1]);
    if (!ParseCost(pos[2], cost))
        return UsageError(kSplitCommand, NotACost("COST", pos[2]));
    if (pos.size() > 3 && !ParseDate(pos[3], expiry))
        return UsageError(kSplitCommand, NotADay("EXPIRY", pos[3]) + " nor none");

    Session session;
    int status = kExitOk;
    if (!OpenSession(session, options, common, status))
        return status;
    WSIDatabase& db = session.Db();
    BIInvSplit split(&db);
    return RunMovement(db, [&] { split.Split(invItem, quantity, cost, expiry); });
}

int RunRepackage(const Options& options, const Args& args) {
    Args pos;
    Common common;
    std::string problem;
    if (!ParseArgs(args, false, pos, common, problem))
        return UsageError(kRepackageCommand, problem);
    long invItem = 0;
    short quantity = 0, targetQuantity = 0;
    double cost = 0;
    if (pos.size() != 5)
        return UsageError(kRepackageCommand,
                          "stock item, quantity, target product, target quantity and cost are "
                          "required");
    if (!ParseId(pos[0], invItem))
        return UsageError(kRepackageCommand, "not a stock item id: " + pos[0]);
    if (!ParseShort(pos[1], quantity))
        return UsageError(kRepackageCommand, "not a quantity: " + pos[1]);
    if (!ParseShort(pos[3], targetQuantity))
        return UsageError(kRepackageCommand, "not a quantity: " + pos[3]);
    if (!ParseCost(pos[4], cost))
        return UsageError(kRepackageCommand, NotACost("COST", pos[4]));

    Session session;
    int status = kExitOk;
    long target = 0;
    if (!OpenSession(session, options, common, status) ||
        !Product(session.Db(), pos[2], target, status))
        return status;
    WSIDatabase& db = session.Db();
    // The source's location and product are the stock item's own; an unknown item is
    // left for the operation to refuse.
    WSIInvItem source(&db);
    source.data.InvItem = invItem;
    source.GetEqual(__FILE__, __LINE__);
    BIInvRepackage repackage(&db);
    return RunMovement(db, [&] {
        repackage.Repackage(invItem, source.data.InvLoc, source.data.Product, quantity, target,
                            targetQuantity, cost);
    });
}

} // namespace

const Command kCountCommand{
    "count", "LOCATION PRODUCT COUNTED [CODE] [--yes] [--user LOGIN]",
    "record a physical count of a product (code or UPC) at a location and bring the stock to "
    "it; CODE is a count code (the first active one when not given); prints the product "
    "location and the stock items created",
    RunCount};

const Command kTransferCommand{
    "transfer",
    "FROM TO PRODUCT QUANTITY [--create-missing] [--allow-expired] [--allow-undated] [--yes] "
    "[--user LOGIN]",
    "move a quantity of a product (code or UPC) from one location to another, lot by lot in "
    "the product's costing order; prints the stock items created",
    RunTransfer};

const Command kTransferAllCommand{
    "transfer-all", "FROM TO [--yes] [--user LOGIN]",
    "move the whole stock of a location to another, one transfer per stock item; prints the "
    "stock items created",
    RunTransferAll};

const Command kSplitCommand{
    "split", "ITEM QUANTITY COST [EXPIRY|none] [--yes] [--user LOGIN]",
    "split QUANTITY off stock item ITEM into an item of its own with its own cost and expiry "
    "date (YYYY-MM-DD), keeping its age; prints the new item",
    RunSplit};

const Command kRepackageCommand{
    "repackage", "ITEM QUANTITY TARGET-PRODUCT TARGET-QUANTITY COST [--yes] [--user LOGIN]",
    "take QUANTITY from stock item ITEM and make TARGET-QUANTITY of another product (code or "
    "UPC) at the item's location at COST each; prints the stock item created",
    RunRepackage};

} // namespace invctl
