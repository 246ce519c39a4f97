// invctl order: inventory orders from the command line. "order new" writes a header with
// its lines as one unit; the other subcommands change one order's lines or statuses and
// "order show" lists the order.

#include "invctl.h"
#include "invctl_host.h"

#include "BIException.h"
#include "BIInvOrder.h"
#include "BoundedFormat.h"
#include "ColumnWidths.h"
#include "SqlText.h"
#include "TableLookup.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace invctl {
namespace {

namespace St = tavel::OrdItStatus;
using tavel::tables::CopyText;

const std::pair<const char*, short> kStatusNames[] = {
    {"ordered", St::Ordered},       {"purchased", St::Purchased},
    {"onpicklist", St::OnPickList}, {"partiallyfilled", St::PartiallyFilled},
    {"cancelled", St::Cancelled},   {"backordered", St::BackOrdered},
    {"closed", St::Closed},         {"filled", St::Filled},
    {"inreview", St::InReview},     {"requested", St::Requested},
};

bool ParseStatus(const std::string& text, short& status) {
    if (ParseShort(text, status))
        return status >= 0 && status <= 9;
    std::string lower;
    for (char c : text)
        if (c != '-' && c != '_')
            lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const auto& [name, value] : kStatusNames)
        if (lower == name) {
            status = value;
            return true;
        }
    return false;
}

bool ParseLong(const std::string& text, long& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && value > 0;
}

// What every subcommand may take besides its positional arguments.
struct Common : SignIn {
    bool skipLimits = false;
    bool deleteOrder = false;
    bool special = false;
    std::string from, type, po;
    long vendor = 0;
    std::vector<std::string> positional;
};

bool ParseArgs(const Args& args, std::size_t first, Common& c, std::string& problem) {
    for (std::size_t i = first; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (TakeSignInOption(args, i, c))
            continue;
        if (a == "--skip-limits")
            c.skipLimits = true;
        else if (a == "--delete")
            c.deleteOrder = true;
        else if (a == "--special")
            c.special = true;
        else if (a == "--from" && hasValue)
            c.from = args[++i];
        else if (a == "--type" && hasValue)
            c.type = args[++i];
        else if (a == "--po" && hasValue)
            c.po = args[++i];
        else if (a == "--vendor" && hasValue) {
            if (!ParseLong(args[++i], c.vendor)) {
                problem = "not a vendor id: " + args[i];
                return false;
            }
        } else if (IsOption(a)) {
            problem = "unexpected argument " + a;
            return false;
        } else
            c.positional.push_back(a);
    }
    return true;
}

// The line id of line number item of the order; 0 when there is none.
long LineOfItem(WSIDatabase& db, long order, short item) {
    long id = 0;
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__,
                 "SELECT \"InvOrdIt\" FROM INVORDIT WHERE \"InvOrder\" = %ld AND \"Item\" = %d",
                 &id, order, static_cast<int>(item));
    return cursor->GetFirst() ? id : 0;
}

// The first active order type of the kind, by code.
std::string DefaultOrderType(WSIDatabase& db, bool external) {
    char code[16] = "";
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__,
                 "SELECT \"InvOType\" FROM INVOTYPE WHERE \"IsExternal\" = %d AND \"Inactive\" = 0 "
                 "ORDER BY \"InvOType\"",
                 code, external ? 1 : 0);
    return cursor->GetFirst() ? std::string(code) : std::string();
}

// A line of the product with the catalogue's unit and cost.
bool LineData(WSIDatabase& db, const std::string& productCode, short quantity,
              WSIInvOrdIt::WSIData& line, std::string& problem) {
    line = WSIInvOrdIt::WSIData{};
    const long product = FindProductByCode(db, productCode);
    if (product == 0) {
        problem = "no product with product or UPC code " + productCode;
        return false;
    }
    WSIProduct p(&db);
    p.data.Product = product;
    p.GetEqual(__FILE__, __LINE__);
    line.Product = product;
    line.Quantity = quantity;
    CopyText(line.Unit, p.data.Unit);
    line.CostPerUnit = p.data.CostPerUnit;
    return true;
}

void PrintDate(const WSIDate& d) {
    if (d.IsNull())
        std::printf("\t");
    else
        std::printf("\t%04d-%02d-%02d", d.year, d.month, d.day);
}

void Show(BIInvOrder& order) {
    const WSIInvOrder::WSIData* o = order.GetOrderData();
    std::printf("InvOrder\tKind\tInvLoc\tInvLocFrom\tVendor\tPONumber\tInvOType\tSpecial\tDate\n");
    std::printf("%ld\t%s\t%s\t%s\t%ld\t%s\t%s\t%d", o->InvOrder,
                o->IsExternal ? "external" : "internal", o->InvLoc, o->InvLocFrom, o->Vendor,
                o->PONumber, o->InvOType, o->SpecialOrder);
    PrintDate(o->Date);
    std::printf("\nItem\tInvOrdIt\tProductCode\tQuantity\tUnit\tQtyFilled\tStatus\n");
    while (WSITable* row = order.GetNextOrderRow()) {
        const WSIOrderLineRow& r = static_cast<WSIOrderLineCursor*>(row)->Row();
        std::printf("%d\t%ld\t%s\t%d\t%s\t%d\t%d\n", r.Item, r.InvOrdIt, r.ProductCode, r.Quantity,
                    r.Unit, r.QtyFilled, r.Status);
    }
}

int Usage(const std::string& text) {
    return UsageError(kOrderCommand, text);
}

int RunNew(Session& session, Common& c) {
    WSIDatabase& db = session.Db();
    if (c.positional.empty())
        return Usage("order new needs the ordering location");
    const bool external = c.vendor != 0;
    if (external == !c.from.empty())
        return Usage("order new needs either --from LOCATION or --vendor ID");
    if (c.positional.size() < 2)
        return Usage("order new needs at least one PRODUCT=QUANTITY line");
    std::string problem;
    if (!FitsLocation(c.positional[0], "LOCATION", problem) ||
        !FitsLocation(c.from, "--from", problem) ||
        !FitsWidth(c.po, ColWidth::PONumber, "--po", "a PO number", problem) ||
        !FitsWidth(c.type, ColWidth::InvOType, "--type", "an order type", problem))
        return Usage(problem);

    WSIInvOrder::WSIData header{};
    header.IsExternal = external ? 1 : 0;
    CopyText(header.InvLoc, c.positional[0].c_str());
    CopyText(header.InvLocFrom, c.from.c_str());
    header.Vendor = c.vendor;
    CopyText(header.PONumber, c.po.c_str());
    const std::string type = c.type.empty() ? DefaultOrderType(db, external) : c.type;
    CopyText(header.InvOType, type.c_str());
    header.SpecialOrder = c.special ? 1 : 0;
    header.Date = db.Today();

    std::vector<WSIInvOrdIt::WSIData> lines;
    for (std::size_t i = 1; i < c.positional.size(); ++i) {
        const std::string& spec = c.positional[i];
        const auto eq = spec.rfind('=');
        short quantity = 0;
        if (eq == std::string::npos || !ParseShort(spec.substr(eq + 1), quantity))
            return Usage("not PRODUCT=QUANTITY: " + spec);
        WSIInvOrdIt::WSIData line;
        if (!LineData(db, spec.substr(0, eq), quantity, line, problem))
            return Fail(problem);
        lines.push_back(line);
    }

    BIInvOrder order(&db);
    // The header and every line are one unit: a refused line leaves no order behind.
    db.TransactionBegin();
    try {
        order.Init(&header);
        for (const auto& line : lines)
            order.Add(&line, c.skipLimits);
    } catch (BIException& e) {
        db.TransactionAbort();
        return Refused(e);
    }
    db.TransactionEnd();
    order.FindOrder(order.GetOrderNumber());
    Show(order);
    return kExitOk;
}

int RunOrder(const Options& options, const Args& args) {
    if (args.empty())
        return Usage("a subcommand is required");
    const std::string sub = args[0];
    const bool isLine = sub == "line";
    if (isLine && args.size() < 2)
        return Usage("order line needs add, modify or delete");
    const std::string lineOp = isLine ? args[1] : "";
    Common c;
    std::string problem;
    if (!ParseArgs(args, isLine ? 2 : 1, c, problem))
        return Usage(problem);

    Session session;
    int failed = kExitOk;
    if (!OpenSession(session, options, c, failed))
        return failed;
    WSIDatabase& db = session.Db();
    if (sub == "new")
        return RunNew(session, c);

    long orderId = 0;
    // order status LINE STATUS: the line by its id or as ORDER:LINE.
    OrderLineRef lineRef;
    const bool byLine = sub == "status" && c.positional.size() == 2;
    if (byLine) {
        if (!ParseOrderLineRef(c.positional[0], lineRef))
            return Usage("order status ORDER ITEM STATUS | status LINE STATUS");
        if (!ResolveOrderLine(db, lineRef))
            return Fail("no order line " + c.positional[0]);
        orderId = lineRef.order;
    } else if (c.positional.empty() || !ParseLong(c.positional[0], orderId)) {
        return Usage("an order number is required");
    }
    BIInvOrder order(&db);
    if (!order.FindOrder(orderId))
        return Fail("no order " + c.positional[0]);
    const auto need = [&](std::size_t n) { return c.positional.size() == n; };
    // The line named by line number (second positional argument).
    const auto findLine = [&](short& item) {
        if (!ParseShort(c.positional[1], item))
            return false;
        const long id = LineOfItem(db, orderId, item);
        return id != 0 && order.FindOrderItem(id);
    };

    try {
        if (isLine && lineOp == "add") {
            short quantity = 0;
            if (!need(3) || !ParseShort(c.positional[2], quantity))
                return Usage("order line add ORDER PRODUCT QUANTITY");
            WSIInvOrdIt::WSIData line;
            if (!LineData(db, c.positional[1], quantity, line, problem))
                return Fail(problem);
            order.Add(&line, c.skipLimits);
        } else if (isLine && (lineOp == "modify" || lineOp == "delete")) {
            short item = 0, quantity = 0;
            if (!need(lineOp == "modify" ? 3 : 2) ||
                (lineOp == "modify" && !ParseShort(c.positional[2], quantity)))
                return Usage("order line " + lineOp + " ORDER ITEM" +
                             (lineOp == "modify" ? " QUANTITY" : ""));
            if (!findLine(item))
                return Fail("order " + c.positional[0] + " has no line " + c.positional[1]);
            if (lineOp == "delete") {
                order.Delete();
            } else {
                WSIInvOrdIt::WSIData line = *order.GetOrderItemData();
                line.Quantity = quantity;
                order.Modify(&line, c.skipLimits);
            }
        } else if (sub == "status" && byLine) {
            short status = 0;
            if (!ParseStatus(c.positional[1], status))
                return Usage("order status LINE STATUS");
            if (!order.FindOrderItem(lineRef.id))
                return Fail("no order line " + c.positional[0]);
            order.UpdateItemStatus(status, orderId, lineRef.id);
        } else if (sub == "status") {
            short item = 0, status = 0;
            if (!need(3) || !ParseStatus(c.positional[2], status))
                return Usage("order status ORDER ITEM STATUS");
            if (!findLine(item))
                return Fail("order " + c.positional[0] + " has no line " + c.positional[1]);
            order.UpdateItemStatus(status, orderId, order.GetOrderItemNumber());
        } else if (sub == "purchase" && need(1)) {
            order.PurchaseAllItems(orderId);
        } else if (sub == "cancel" && need(1)) {
            if (c.deleteOrder) {
                order.CancelOrder();
                std::printf("InvOrder\n%ld\tdeleted\n", orderId);
                return kExitOk;
            }
            order.CancelAllItems(orderId);
        } else if (sub == "show" && need(1)) {
            // Shown below.
        } else {
            return Usage("unknown or incomplete subcommand " + sub);
        }
    } catch (BIException& e) {
        if (db.TransactionLevel() > 0)
            db.TransactionAbort();
        return Refused(e);
    }
    order.FindOrder(orderId);
    Show(order);
    return kExitOk;
}

} // namespace

const Command kOrderCommand{
    "order",
    "new LOCATION (--from LOCATION | --vendor ID [--po NUMBER]) [--type CODE] [--special] "
    "PRODUCT=QUANTITY... | line add ORDER PRODUCT QUANTITY | line modify ORDER ITEM QUANTITY | "
    "line delete ORDER ITEM | status ORDER ITEM STATUS | status LINE STATUS | purchase ORDER | "
    "cancel ORDER [--delete] "
    "| show ORDER   [--skip-limits] [--yes] [--user LOGIN]",
    "inventory orders: create one with its lines, change lines and their statuses (number or "
    "name: requested, inreview, ordered, purchased, backordered, closed, filled, cancelled), "
    "purchase or cancel every line, delete it; LINE is an order line id or ORDER:ITEM; prints "
    "the order and its lines",
    RunOrder};

} // namespace invctl
