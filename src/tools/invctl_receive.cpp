// invctl receive, receipt and backorder: one receiving batch at a location, with or without
// a purchase order; corrections of a stored receipt's lines; back orders of what is short.

#include "invctl.h"
#include "invctl_host.h"

#include "BIException.h"
#include "BIInvRec.h"
#include "BoundedFormat.h"
#include "ColumnWidths.h"
#include "SqlText.h"
#include "WSIDatabase.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace invctl {
namespace {

// One line of a receipt as given: PRODUCT,QUANTITY[,EXPIRY[,REFERENCE]]; "-" or nothing
// for no expiry date.
struct ReceiptLine {
    std::string product;
    short quantity = 0;
    bool dated = false;
    WSIDate expiry{};
    std::string refNo;
};

// False with problem set when the line is not PRODUCT,QUANTITY[,EXPIRY[,REFERENCE]].
bool ParseLine(const std::string& text, ReceiptLine& line, std::string& problem) {
    std::string parts[4];
    int n = 0;
    std::size_t start = 0;
    while (n < 4) {
        const std::size_t comma = n < 3 ? text.find(',', start) : std::string::npos;
        parts[n++] =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (n < 2 || parts[0].empty() || !ParseShort(parts[1], line.quantity)) {
        problem = "not a receipt line: " + text;
        return false;
    }
    line.product = parts[0];
    if (n > 2 && !parts[2].empty() && parts[2] != "-") {
        if (!ParseDay(parts[2], line.expiry)) {
            problem = NotADay("EXPIRY of " + text, parts[2]);
            return false;
        }
        line.dated = true;
    }
    line.refNo = n > 3 ? parts[3] : "";
    return FitsWidth(line.refNo, ColWidth::RefNo, "REFERENCE of " + text, "a reference", problem);
}

void PrintDay(const WSIDate& d) {
    if (d.IsNull())
        std::printf("-");
    else
        std::printf("%04d-%02d-%02d", d.year, d.month, d.day);
}

// The receipt's lines as stored, one row each.
void PrintReceipt(WSIDatabase& db, long invRec) {
    WSIInvItem::WSIData item{};
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT %s, P.\"ProductCode\" FROM INVITEM I, PRODUCT P WHERE I.\"InvRec\" = %ld "
               "AND I.\"Product\" = P.\"Product\" ORDER BY I.\"InvItem\"",
               db.GetTableColumns(__LINE__, __FILE__, "INVITEM", "I"), invRec);
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvItem::Table(), &item), sql);
    std::printf("InvRec\tInvItem\tProduct\tQuantity\tBalance\tCostPerUnit\tExpiryDate\tInvOrdIt\t"
                "RefNo\n");
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        std::string productCode;
        WSIProduct prd(&db);
        prd.data.Product = item.Product;
        if (prd.GetEqual(__FILE__, __LINE__, dbiNOLOCK))
            productCode = prd.data.ProductCode;
        std::printf("%ld\t%ld\t%s\t%d\t%g\t%.2f\t", invRec, item.InvItem, productCode.c_str(),
                    item.Quantity, item.Balance, item.CostPerUnit);
        PrintDay(item.ExpiryDate);
        std::printf("\t%ld\t%s\n", item.InvOrdIt, item.RefNo);
    }
}

// The order's lines with their fill and status.
void PrintOrderLines(WSIDatabase& db, long invOrder) {
    WSIInvOrdIt::WSIData line{};
    char sql[1024];
    TVL_FORMAT(sql, "SELECT %s FROM INVORDIT WHERE \"InvOrder\" = %ld ORDER BY \"Item\"",
               db.GetTableColumns(__LINE__, __FILE__, "INVORDIT"), invOrder);
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvOrdIt::Table(), &line), sql);
    std::printf("InvOrdIt\tItem\tProduct\tQuantity\tQtyFilled\tStatus\n");
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
        std::printf("%ld\t%d\t%ld\t%d\t%d\t%d\n", line.InvOrdIt, line.Item, line.Product,
                    line.Quantity, line.QtyFilled, line.Status);
}

// --- receive

// A script run again after a crash must not receive a delivery twice: lines whose
// reference this order has already received under the same product are named on
// stderr. True when there is any.
bool AlreadyReceived(WSIDatabase& db, long invOrder, const std::vector<ReceiptLine>& lines,
                     const std::vector<long>& products) {
    if (invOrder == 0)
        return false;
    bool found = false;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (lines[n].refNo.empty())
            continue;
        char where[512];
        TVL_FORMAT(where,
                   "FROM INVITEM I, INVORDIT O WHERE O.\"InvOrder\" = %ld AND I.\"InvOrdIt\" = "
                   "O.\"InvOrdIt\" AND I.\"Product\" = %ld AND I.\"RefNo\" = '%s'",
                   invOrder, products[n], tavel::EscapeQuotes(lines[n].refNo.c_str()).c_str());
        long invRec = 0;
        double quantity = 0;
        if (!db.Query(__FILE__, __LINE__, "SELECT MIN(I.\"InvRec\") %s", &invRec, where)
                 ->GetFirst() ||
            invRec == 0)
            continue;
        db.Query(__FILE__, __LINE__, "SELECT SUM(I.\"Quantity\") %s", &quantity, where)->GetFirst();
        std::fprintf(stderr,
                     "invctl receive: line %zu (%s): reference %s already received %g on "
                     "receipt %ld\n",
                     n + 1, lines[n].product.c_str(), lines[n].refNo.c_str(), quantity, invRec);
        found = true;
    }
    return found;
}

int RunReceive(const Options& options, const Args& args) {
    SignIn common;
    std::string location, poNumber;
    long vendor = 0;
    bool hasDate = false, hasPODate = false, backOrder = false, addUnordered = false;
    bool again = false;
    WSIDate date{}, poDate{};
    std::vector<ReceiptLine> lines;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (TakeSignInOption(args, i, common))
            continue;
        if (a == "--again") {
            again = true;
        } else if (a == "--po" && hasValue) {
            poNumber = args[++i];
        } else if (a == "--vendor" && hasValue) {
            if (!ParseId(args[++i], vendor))
                return UsageError(kReceiveCommand, "not a vendor id: " + args[i]);
        } else if (a == "--date" && hasValue) {
            if (!ParseDay(args[++i], date))
                return UsageError(kReceiveCommand, NotADay(a, args[i]));
            hasDate = true;
        } else if (a == "--po-date" && hasValue) {
            if (!ParseDay(args[++i], poDate))
                return UsageError(kReceiveCommand, NotADay(a, args[i]));
            hasPODate = true;
        } else if (a == "--backorder") {
            backOrder = true;
        } else if (a == "--add-unordered") {
            addUnordered = true;
        } else if (a.rfind("--", 0) == 0) {
            return UsageError(kReceiveCommand, "unexpected argument " + a);
        } else if (location.empty()) {
            location = a;
        } else {
            ReceiptLine line;
            std::string problem;
            if (!ParseLine(a, line, problem))
                return UsageError(kReceiveCommand, problem);
            lines.push_back(line);
        }
    }
    if (location.empty() || lines.empty())
        return UsageError(kReceiveCommand, "a location and at least one line are required");
    std::string problem;
    if (!FitsLocation(location, "LOCATION", problem) ||
        !FitsWidth(poNumber, ColWidth::PONumber, "--po", "a PO number", problem))
        return UsageError(kReceiveCommand, problem);

    Session session;
    int failed = kExitOk;
    if (!OpenSession(session, options, common, failed))
        return failed;
    WSIDatabase& db = session.Db();
    std::vector<long> products;
    for (const ReceiptLine& line : lines) {
        const long product = FindProductByCode(db, line.product);
        if (product == 0)
            return Fail("no product with product or UPC code " + line.product);
        products.push_back(product);
    }

    BIInvReceive rec(&db);
    // As on the receiving screen, the order gives the vendor and the PO date not given.
    if (!poNumber.empty() && rec.FindOrder(poNumber.c_str(), 0)) {
        if (vendor == 0)
            vendor = rec.GetInvOrder()->Vendor;
        if (!hasPODate && !rec.GetInvOrder()->Date.IsNull()) {
            poDate = rec.GetInvOrder()->Date;
            hasPODate = true;
        }
    }
    rec.InitBatch(location.c_str(), vendor, hasDate ? &date : nullptr, poNumber.c_str(),
                  hasPODate ? &poDate : nullptr);
    if (!poNumber.empty() && rec.GetInvOrder()->InvOrder == 0) {
        InvalidPONumber e;
        return Refused(e);
    }
    if (!again && AlreadyReceived(db, rec.GetInvOrder()->InvOrder, lines, products)) {
        rec.CloseBatch();
        std::fprintf(stderr, "invctl receive: nothing received; give --again to receive these "
                             "lines once more\n");
        return kExitRefused;
    }
    bool stored = false;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        ReceiptLine& line = lines[n];
        WSIDate* expiry = line.dated ? &line.expiry : nullptr;
        try {
            try {
                rec.Add(products[n], line.quantity, expiry, line.refNo.c_str());
            } catch (InvalidPOProduct&) {
                if (!addUnordered)
                    throw;
                // Arrived without being ordered: it joins the order with an empty line.
                if (!stored)
                    rec.InitBatch(location.c_str(), vendor, hasDate ? &date : nullptr,
                                  poNumber.c_str(), hasPODate ? &poDate : nullptr);
                rec.AddOrderItem(products[n], 0);
                try {
                    rec.Add(products[n], line.quantity, expiry, line.refNo.c_str());
                } catch (BIException&) {
                    rec.CleanupOrderItem(products[n]);
                    throw;
                }
            }
            stored = true;
        } catch (BIException& e) {
            // The lines received so far stay; an empty receipt is removed.
            std::fprintf(stderr, "invctl receive: line %zu (%s) refused\n", n + 1,
                         line.product.c_str());
            const long invRec = stored ? rec.GetReceipt().InvRec : 0;
            rec.CloseBatch();
            if (invRec != 0)
                PrintReceipt(db, invRec);
            return Refused(e);
        }
    }
    const long invRec = rec.GetReceipt().InvRec;
    const long invOrder = rec.GetInvOrder()->InvOrder;
    if (backOrder && rec.PartialReceiptsNotBackOrdered()) {
        try {
            rec.AutoBackOrder();
        } catch (BIException& e) {
            rec.CloseBatch();
            PrintReceipt(db, invRec);
            return Refused(e);
        }
    }
    rec.CloseBatch();
    PrintReceipt(db, invRec);
    if (invOrder != 0)
        PrintOrderLines(db, invOrder);
    return kExitOk;
}

// --- receipt modify | delete

int RunReceipt(const Options& options, const Args& args) {
    SignIn common;
    std::vector<std::string> pos;
    bool dated = false;
    WSIDate expiry{};
    short status = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (TakeSignInOption(args, i, common))
            continue;
        if (a == "--expiry" && i + 1 < args.size()) {
            if (!ParseDay(args[++i], expiry))
                return UsageError(kReceiptCommand, NotADay(a, args[i]));
            dated = true;
        } else if (a == "--status" && i + 1 < args.size()) {
            if (!ParseShort(args[++i], status))
                return UsageError(kReceiptCommand, "not a status: " + args[i]);
        } else if (a.rfind("--", 0) == 0) {
            return UsageError(kReceiptCommand, "unexpected argument " + a);
        } else {
            pos.push_back(a);
        }
    }
    const bool modify = !pos.empty() && pos[0] == "modify";
    const bool remove = !pos.empty() && pos[0] == "delete";
    long invRec = 0;
    short quantity = 0;
    if ((!modify && !remove) || pos.size() != (modify ? 4u : 3u))
        return UsageError(kReceiptCommand, "modify RECEIPT PRODUCT QUANTITY or delete RECEIPT "
                                           "PRODUCT");
    if (!ParseId(pos[1], invRec))
        return UsageError(kReceiptCommand, "not a receipt number: " + pos[1]);
    if (modify && !ParseShort(pos[3], quantity))
        return UsageError(kReceiptCommand, "not a quantity: " + pos[3]);

    Session session;
    int failed = kExitOk;
    if (!OpenSession(session, options, common, failed))
        return failed;
    WSIDatabase& db = session.Db();
    const long product = FindProductByCode(db, pos[2]);
    if (product == 0)
        return Fail("no product with product or UPC code " + pos[2]);
    BIInvReceive rec(&db);
    if (!rec.ReopenBatch(invRec))
        return Fail("no receipt " + pos[1]);
    try {
        if (modify)
            rec.Modify(product, quantity, dated ? &expiry : nullptr);
        else
            rec.Delete(product, status, dated ? &expiry : nullptr);
    } catch (BIException& e) {
        rec.CloseBatch();
        return Refused(e);
    }
    const long invOrder = rec.GetInvOrder()->InvOrder;
    // A receipt whose last line went is removed with the batch.
    rec.CloseBatch();
    PrintReceipt(db, invRec);
    if (invOrder != 0)
        PrintOrderLines(db, invOrder);
    return kExitOk;
}

// --- backorder

int RunBackOrder(const Options& options, const Args& args) {
    SignIn common;
    std::vector<std::string> pos;
    long invOrder = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (TakeSignInOption(args, i, common))
            continue;
        if (a == "--order" && i + 1 < args.size()) {
            if (!ParseId(args[++i], invOrder))
                return UsageError(kBackOrderCommand, "not an order number: " + args[i]);
        } else if (a.rfind("--", 0) == 0) {
            return UsageError(kBackOrderCommand, "unexpected argument " + a);
        } else {
            pos.push_back(a);
        }
    }
    // PONUMBER [PRODUCT], or --order N [PRODUCT].
    const std::size_t want = invOrder != 0 ? 0 : 1;
    if (pos.size() < want || pos.size() > want + 1)
        return UsageError(kBackOrderCommand, "a PO number (or --order N) and optionally a product");
    const std::string poNumber = invOrder != 0 ? "" : pos[0];
    const std::string productCode = pos.size() > want ? pos[want] : "";
    std::string problem;
    if (!FitsWidth(poNumber, ColWidth::PONumber, "PONUMBER", "a PO number", problem))
        return UsageError(kBackOrderCommand, problem);

    Session session;
    int failed = kExitOk;
    if (!OpenSession(session, options, common, failed))
        return failed;
    WSIDatabase& db = session.Db();
    BIInvReceive rec(&db);
    try {
        if (!productCode.empty()) {
            const long product = FindProductByCode(db, productCode);
            if (product == 0)
                return Fail("no product with product or UPC code " + productCode);
            rec.BackOrder(poNumber.c_str(), invOrder, product);
        } else {
            // Every short line of the order.
            if (!rec.FindOrder(poNumber.c_str(), invOrder) || rec.GetInvOrder()->InvOrder == 0)
                throw InvalidPONumber();
            rec.AutoBackOrder();
        }
    } catch (BIException& e) {
        return Refused(e);
    }
    long order = invOrder;
    if (order == 0 && rec.FindOrder(poNumber.c_str(), 0))
        order = rec.GetInvOrder()->InvOrder;
    PrintOrderLines(db, order);
    return kExitOk;
}

} // namespace

const Command kReceiveCommand{
    "receive",
    "LOCATION LINE... [--po PONUMBER] [--vendor ID] [--date YYYY-MM-DD] [--po-date YYYY-MM-DD] "
    "[--add-unordered] [--backorder] [--again] [--yes] [--user LOGIN]",
    "receive one batch at a location; LINE is PRODUCT,QUANTITY[,EXPIRY[,REFERENCE]] (EXPIRY "
    "YYYY-MM-DD or -); against a PO, --add-unordered puts products not ordered on the order "
    "and --backorder back-orders what is short; a line whose REFERENCE the order already "
    "received is not received twice unless --again is given; prints the receipt and the "
    "order's lines",
    RunReceive};

const Command kReceiptCommand{
    "receipt",
    "modify RECEIPT PRODUCT QUANTITY [--expiry YYYY-MM-DD] | delete RECEIPT PRODUCT "
    "[--expiry YYYY-MM-DD] [--status N] [--yes] [--user LOGIN]",
    "set or remove a line of a stored receipt (the line with that expiry date, else the "
    "product's first); a receipt left without lines is removed; prints what remains",
    RunReceipt};

const Command kBackOrderCommand{
    "backorder", "PONUMBER [PRODUCT] | --order N [PRODUCT] [--yes] [--user LOGIN]",
    "back-order the rest of one product of an order, or of every short line; prints the "
    "order's lines",
    RunBackOrder};

} // namespace invctl
