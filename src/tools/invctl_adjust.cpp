// invctl adjust and use: stock adjustments by adjustment code (or the host's own increase
// and decrease), and usage at locations that track it.

#include "invctl.h"
#include "invctl_host.h"

#include "ColumnWidths.h"

#include "BIException.h"
#include "BIInvAdj.h"
#include "BoundedFormat.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <cstdio>
#include <memory>
#include <string>

namespace invctl {
namespace {

// What both commands take from their command lines.
struct Movement : SignIn, StockFlags {
    std::string location;
    std::string product;
    short quantity = 0;
    std::string code;
    short type = tavel::MovementType::Adjustment;
};

// One row per detail the movement wrote, so that a script sees which lots it touched.
void PrintDetailsAfter(WSIDatabase& db, long lastBefore) {
    WSIInvItDet::WSIData d{};
    char sql[1024];
    TVL_FORMAT(sql, "SELECT %s FROM INVITDET WHERE \"InvItDet\" > %ld ORDER BY \"InvItDet\"",
               db.GetTableColumns(__LINE__, __FILE__, "INVITDET"), lastBefore);
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvItDet::Table(), &d), sql);
    std::printf("InvItDet\tInvItem\tType\tInvLoc\tInvAdj\tQuantity\tCostPerUnit\tCountValue\n");
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext())
        std::printf("%ld\t%ld\t%d\t%s\t%s\t%g\t%.2f\t%g\n", d.InvItDet, d.InvItem, d.Type, d.InvLoc,
                    d.InvAdj, d.Quantity, d.CostPerUnit, d.CountValue);
}

int Run(const Command& command, const Options& options, const Movement& m) {
    Session session;
    int failed = kExitOk;
    if (!OpenSession(session, options, m, failed))
        return failed;
    WSIDatabase& db = session.Db();
    const long product = FindProductByCode(db, m.product);
    if (product == 0)
        return Fail("no product with product or UPC code " + m.product);

    const long lastBefore = LastId(db, "INVITDET", "InvItDet");
    BIInvAdj adj(&db);
    try {
        adj.Adjust(m.location.c_str(), m.type, product, m.quantity, m.code.c_str(), m.createMissing,
                   m.allowExpired, m.allowNoExpiry, 0, 0, 0, nullptr, 0);
    } catch (MissingInvItem& e) {
        // The adjustment leaves its unit of work to the caller.
        db.TransactionAbort();
        int status = Refused(e);
        std::fprintf(stderr, "invctl %s: %g missing; --create-missing creates it\n", command.name,
                     e.MissingQty);
        return status;
    } catch (BIException& e) {
        db.TransactionAbort();
        return Refused(e);
    }
    PrintDetailsAfter(db, lastBefore);
    return kExitOk;
}

// Reads either command's line; `adjust` also takes --type and an adjustment code. False
// with the exit code in `status` for a usage error.
bool ParseMovement(const Command& command, const Args& args, bool adjust, Movement& m,
                   int& status) {
    std::size_t positional = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (adjust && a == "--type" && i + 1 < args.size()) {
            if (!ParseShort(args[++i], m.type)) {
                status = UsageError(command, "not a movement type: " + args[i]);
                return false;
            }
        } else if (IsOption(a)) {
            if (!TakeSignInOption(args, i, m) && !TakeStockFlag(a, m)) {
                status = UsageError(command, "unexpected argument " + a);
                return false;
            }
        } else if (positional == 0) {
            m.location = a, ++positional;
        } else if (positional == 1) {
            m.product = a, ++positional;
        } else if (positional == 2) {
            if (!ParseShort(a, m.quantity)) {
                status = UsageError(command, "not a quantity: " + a);
                return false;
            }
            ++positional;
        } else if (adjust && positional == 3) {
            m.code = a, ++positional;
        } else {
            status = UsageError(command, "unexpected argument " + a);
            return false;
        }
    }
    if (positional < 3) {
        status = UsageError(command, "location, product and quantity are required");
        return false;
    }
    std::string problem;
    if (!FitsLocation(m.location, "LOCATION", problem) ||
        !FitsWidth(m.code, ColWidth::InvAdj, "CODE", "an adjustment code", problem)) {
        status = UsageError(command, problem);
        return false;
    }
    return true;
}

int RunAdjust(const Options& options, const Args& args) {
    Movement m;
    int status = kExitOk;
    if (!ParseMovement(kAdjustCommand, args, true, m, status))
        return status;
    return Run(kAdjustCommand, options, m);
}

int RunUse(const Options& options, const Args& args) {
    Movement m;
    m.type = tavel::MovementType::Usage;
    int status = kExitOk;
    if (!ParseMovement(kUseCommand, args, false, m, status))
        return status;
    return Run(kUseCommand, options, m);
}

} // namespace

const Command kAdjustCommand{
    "adjust",
    "LOCATION PRODUCT QUANTITY [CODE] [--type N] [--create-missing] [--allow-expired] "
    "[--allow-undated] [--yes] [--user LOGIN]",
    "change the stock of a product (code or UPC) at a location by an adjustment code (a count "
    "code takes QUANTITY as the counted quantity; no code decreases); --type 7 or 8 is the "
    "host's own decrease or increase; prints the details written",
    RunAdjust};

const Command kUseCommand{"use",
                          "LOCATION PRODUCT QUANTITY [--create-missing] [--allow-expired] "
                          "[--allow-undated] [--yes] [--user LOGIN]",
                          "record usage of a product at a location that tracks usage; prints "
                          "the details written",
                          RunUse};

} // namespace invctl
