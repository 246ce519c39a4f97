// invctl picklist and fill: pick lists of internal order lines, and filling them from the
// supplying location as the fill screen does, all lines in one fill transaction.

#include "invctl.h"
#include "invctl_host.h"

#include "BIException.h"
#include "BIInvPick.h"
#include "BoundedFormat.h"
#include "WSIDatabase.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace invctl {
namespace {

struct Common : SignIn, StockFlags {
    bool allowFilled = false;
    bool noMark = false;
};

// Positional arguments and options; false with problem set for an unknown option.
bool ParseArgs(const Args& args, Args& positional, Common& common, std::string& problem) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (TakeSignInOption(args, i, common) || TakeStockFlag(a, common))
            continue;
        if (a == "--allow-filled")
            common.allowFilled = true;
        else if (a == "--no-mark")
            common.noMark = true;
        else if (IsOption(a)) {
            problem = "unexpected option " + a;
            return false;
        } else
            positional.push_back(a);
    }
    return true;
}

void PrintOpenLists(BIInvPickList& picks) {
    std::printf("PickList\tInvLocName\tInvLoc\tUserName\n");
    while (WSITable* row = picks.GetNextRow()) {
        const WSIOpenPickList& r = static_cast<WSIOpenPickListRow*>(row)->Row();
        std::printf("%ld\t%s\t%s\t%s\n", r.PickList, r.InvLocName, r.InvLoc, r.UserName);
    }
}

void PrintFillRows(BIInvFill& fill) {
    std::printf("InvOrder\tInvOrdIt\tItem\tProductCode\tOrderQty\tQtyFilled\tStatus\tInvItem\t"
                "Filled\n");
    while (WSITable* row = fill.GetNextRow()) {
        const WSIInvFillView& r = static_cast<WSIInvFillRow*>(row)->Row();
        std::printf("%ld\t%ld\t%d\t%s\t%d\t%d\t%d\t%ld\t%g\n", r.INVORDER, r.INVORDIT, r.ITEM,
                    r.PRODUCTCODE, r.ORDERQTY, r.QTYFILLED, r.STATUS, r.INVITEM, r.FILLED);
    }
}

int RunPickList(const Options& options, const Args& args) {
    Args pos;
    Common common;
    std::string problem;
    if (!ParseArgs(args, pos, common, problem))
        return UsageError(kPickListCommand, problem);
    if (pos.empty())
        return UsageError(kPickListCommand, "new, list or clear is required");
    const std::string action = pos[0];
    std::vector<long> ids;
    std::vector<OrderLineRef> lines;
    if (action == "new") {
        if (pos.size() < 4)
            return UsageError(kPickListCommand,
                              "from, to and at least one order line are required");
        for (std::size_t i = 3; i < pos.size(); ++i) {
            OrderLineRef line;
            if (!ParseOrderLineRef(pos[i], line))
                return UsageError(kPickListCommand,
                                  "not an order line (id or ORDER:LINE): " + pos[i]);
            lines.push_back(line);
        }
    } else if (action == "clear") {
        long id = 0;
        if (pos.size() != 2 || !ParseId(pos[1], id))
            return UsageError(kPickListCommand, "clear takes one pick list number");
        ids.push_back(id);
    } else if (action != "list" || pos.size() != 1) {
        return UsageError(kPickListCommand, "unknown action: " + action);
    }

    Session session;
    int status = kExitOk;
    if (!OpenSession(session, options, common, status))
        return status;
    WSIDatabase& db = session.Db();
    BIInvPickList picks(&db);
    if (action == "list") {
        PrintOpenLists(picks);
    } else if (action == "clear") {
        picks.ClearBatch(ids[0]);
        std::printf("PickList\n%ld\n", ids[0]);
    } else {
        // Lines added before a refusal stay on the list, as on the main screen; the
        // list's number is printed either way so that it can be cleared.
        // A line id goes to the pick list as given, which refuses what it cannot take.
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].id == 0 && !ResolveOrderLine(db, lines[i]))
                return Fail("no order line " + pos[3 + i]);
            ids.push_back(lines[i].id);
        }
        const long number = picks.InitBatch(pos[1].c_str(), pos[2].c_str());
        std::printf("PickList\tInvOrdIt\n");
        for (long id : ids) {
            try {
                picks.Add(id, !common.noMark);
            } catch (BIException& e) {
                return Refused(e);
            }
            std::printf("%ld\t%ld\n", number, id);
        }
        picks.CloseBatch();
    }
    return kExitOk;
}

// One line to fill: an order line, a quantity, and the product delivered (0: the ordered one).
struct FillRequest {
    OrderLineRef line;
    long invOrdIt = 0;
    short quantity = 0;
    std::string productCode;
};

// LINE=QTY or LINE=QTY:PRODUCT.
bool ParseFillRequest(const std::string& text, FillRequest& request) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || !ParseOrderLineRef(text.substr(0, eq), request.line))
        return false;
    std::string rest = text.substr(eq + 1);
    const std::size_t colon = rest.find(':');
    if (colon != std::string::npos) {
        request.productCode = rest.substr(colon + 1);
        rest = rest.substr(0, colon);
        if (request.productCode.empty())
            return false;
    }
    return ParseShort(rest, request.quantity);
}

// The lines of the pick list that are still short, each with what is missing.
std::vector<FillRequest> OutstandingLines(BIInvFill& fill) {
    std::vector<FillRequest> lines;
    while (WSITable* row = fill.GetNextRow()) {
        const WSIInvFillView& r = static_cast<WSIInvFillRow*>(row)->Row();
        const bool seen = !lines.empty() && lines.back().invOrdIt == r.INVORDIT;
        if (!seen && r.ORDERQTY > r.QTYFILLED && r.PRODUCTID != 0)
            lines.push_back({OrderLineRef{r.INVORDIT, 0, 0}, r.INVORDIT,
                             static_cast<short>(r.ORDERQTY - r.QTYFILLED), ""});
    }
    return lines;
}

long OrderedProduct(WSIDatabase& db, long invOrdIt) {
    long product = 0;
    char sql[1024];
    TVL_FORMAT(sql, "SELECT \"Product\" FROM INVORDIT WHERE \"InvOrdIt\" = %ld", invOrdIt);
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &product, sql);
    return cursor->GetFirst() ? product : 0;
}

int RunFill(const Options& options, const Args& args) {
    Args pos;
    Common common;
    std::string problem;
    if (!ParseArgs(args, pos, common, problem))
        return UsageError(kFillCommand, problem);
    long pickList = 0;
    if (pos.size() < 3)
        return UsageError(kFillCommand, "from, to and the pick list number are required");
    if (!FitsLocation(pos[0], "FROM", problem) || !FitsLocation(pos[1], "TO", problem))
        return UsageError(kFillCommand, problem);
    if (!ParseId(pos[2], pickList))
        return UsageError(kFillCommand, "not a pick list number: " + pos[2]);
    std::vector<FillRequest> requests;
    for (std::size_t i = 3; i < pos.size(); ++i) {
        FillRequest r;
        if (!ParseFillRequest(pos[i], r))
            return UsageError(kFillCommand, "not LINE=QUANTITY[:PRODUCT]: " + pos[i]);
        requests.push_back(r);
    }

    Session session;
    int status = kExitOk;
    if (!OpenSession(session, options, common, status))
        return status;
    WSIDatabase& db = session.Db();
    std::vector<long> products;
    BIInvFill fill(&db);
    fill.SetPickList(pickList);
    if (requests.empty())
        requests = OutstandingLines(fill);
    for (FillRequest& r : requests) {
        // A line id goes to the fill as given, which refuses what it cannot take.
        if (r.line.id == 0 && !ResolveOrderLine(db, r.line))
            return Fail("no line " + std::to_string(r.line.item) + " on order " +
                        std::to_string(r.line.order));
        r.invOrdIt = r.line.id;
        long product = 0;
        if (r.productCode.empty())
            product = OrderedProduct(db, r.invOrdIt);
        else if ((product = FindProductByCode(db, r.productCode)) == 0)
            return Fail("no product with product or UPC code " + r.productCode);
        products.push_back(product);
    }

    fill.InitBatch(pos[0].c_str(), pos[1].c_str());
    try {
        fill.BeginFill();
        for (std::size_t i = 0; i < requests.size(); ++i)
            fill.Fill(requests[i].invOrdIt, products[i], requests[i].quantity, common.allowFilled,
                      common.createMissing, common.allowExpired, common.allowNoExpiry);
        fill.EndFill();
    } catch (BIException& e) {
        // The fill transaction is gone whole: no line of this run stays filled.
        return Refused(e);
    }
    PrintFillRows(fill);
    fill.CloseBatch();
    return kExitOk;
}

} // namespace

const Command kPickListCommand{
    "picklist", "new FROM TO LINE... [--no-mark] | list | clear NUMBER [--yes] [--user LOGIN]",
    "new: put internal order lines (ids, or ORDER:LINE) supplied by FROM to TO on a new pick "
    "list and mark "
    "them on the list (unless --no-mark); list: the open pick lists; clear: take every line "
    "off a pick list, keeping their status",
    RunPickList};

const Command kFillCommand{
    "fill",
    "FROM TO PICKLIST [LINE=QUANTITY[:PRODUCT]...] [--allow-filled] [--create-missing] "
    "[--allow-expired] [--allow-undated] [--yes] [--user LOGIN]",
    "fill lines of a pick list from FROM to TO in one fill transaction, a line with its "
    "ordered product or a substitute (code or UPC) of the same type; LINE is an order line id "
    "or ORDER:LINE; without lines every short "
    "line gets what it lacks; a refusal undoes the whole fill; prints what this fill moved",
    RunFill};

} // namespace invctl
