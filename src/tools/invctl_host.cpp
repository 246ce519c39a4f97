#include "invctl_host.h"

#include "BIException.h"
#include "BIInventory.h"
#include "BoundedFormat.h"
#include "Clock.h"
#include "ColumnWidths.h"
#include "InventoryModule.h"
#include "MessageStyle.h"
#include "Records.h"
#include "SqlText.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace invctl {

long LastId(WSIDatabase& db, const char* table, const char* idColumn) {
    char sql[256];
    TVL_FORMAT(sql, "SELECT MAX(\"%s\") FROM %s", idColumn, table);
    long value = 0;
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &value, sql);
    return cursor->GetFirst() ? value : 0;
}

namespace {

// One row per stock item the command created, so that a script sees where stock went.
void PrintItemsAfter(WSIDatabase& db, long lastBefore) {
    WSIInvItem::WSIData item{};
    char sql[1024];
    TVL_FORMAT(sql, "SELECT %s FROM INVITEM WHERE \"InvItem\" > %ld ORDER BY \"InvItem\"",
               db.GetTableColumns(__LINE__, __FILE__, "INVITEM"), lastBefore);
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvItem::Table(), &item), sql);
    std::printf("InvItem\tInvLoc\tProduct\tType\tQuantity\tBalance\tCostPerUnit\tExpiryDate\t"
                "InvLocFrom\n");
    for (bool more = cursor->GetFirst(); more; more = cursor->GetNext()) {
        char expiry[32] = "";
        if (!item.ExpiryDate.IsNull())
            TVL_FORMAT(expiry, "%04d-%02d-%02d", item.ExpiryDate.year, item.ExpiryDate.month,
                       item.ExpiryDate.day);
        std::printf("%ld\t%s\t%ld\t%d\t%d\t%g\t%.2f\t%s\t%s\n", item.InvItem, item.InvLoc,
                    item.Product, item.Type, item.Quantity, item.Balance, item.CostPerUnit, expiry,
                    item.InvLocFrom);
    }
}

} // namespace

CommandLineHost::CommandLineHost(WSIDatabase* db, bool yes) : db_(db), yes_(yes) {
    texts_.LoadDefault();
}

int CommandLineHost::LoadString(unsigned code, char* buf, int size) const {
    // Where a screen's text tells staff to confirm when asked, the tool's own text names
    // the option that confirms instead: nothing asks on a command line.
    static constexpr std::pair<unsigned, unsigned> kToolTexts[] = {
        {38521, 39960}, // expired stock: --allow-expired
        {38561, 39961}, // missing stock: --create-missing
    };
    for (const auto& [screenText, toolText] : kToolTexts)
        if (code == screenText)
            return texts_.Load(toolText, buf, size);
    return texts_.Load(code, buf, size);
}

int CommandLineHost::MessageBox(WSIWindow*, const char*, const char*, unsigned style) {
    switch (style & mb::kButtonMask) {
    case mb::YESNO:
    case mb::YESNOCANCEL:
        return yes_ ? id::YES : id::NO;
    case mb::OKCANCEL:
        return yes_ ? id::OK : id::CANCEL;
    default:
        return id::OK;
    }
}

int CommandLineHost::WarnDialog(WSIWindow*, int) {
    return yes_ ? id::OK : id::CANCEL;
}

Session::~Session() {
    if (attached_)
        tavel::ModuleDetach();
}

bool Session::Open(const Options& options, bool yes, const std::string& login, std::string& problem,
                   bool mustExist) {
    if (options.db.empty()) {
        problem = "no database file given (--db FILE)";
        return false;
    }
    db_ = OpenInventory(options.db, problem);
    if (!db_)
        return false;
    long user = 0;
    char sql[1024];
    TVL_FORMAT(sql, "SELECT \"User\" FROM USERS WHERE \"Login\" = '%s'",
               tavel::EscapeQuotes(login.c_str()).c_str());
    std::unique_ptr<WSITable> cursor = db_->Query(__FILE__, __LINE__, "%s", &user, sql);
    if (!cursor->GetFirst())
        user = 0;
    cursor.reset();
    // Movements are audited under the user: a mistyped login must not write as nobody.
    if (user == 0 && mustExist) {
        problem = "--user: no user with login " + login;
        return false;
    }
    db_->SetCurrentUser(user);

    host_ = std::make_unique<CommandLineHost>(db_.get(), yes);
    tavel::ModuleAttach();
    attached_ = true;
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    app->AttachHost(host_.get());
    app->InitApp(user);
    return true;
}

bool TakeSignInOption(const Args& args, std::size_t& i, SignIn& signIn) {
    if (args[i] == "--yes") {
        signIn.yes = true;
        return true;
    }
    if (args[i] == "--user" && i + 1 < args.size()) {
        signIn.user = args[++i];
        signIn.userGiven = true;
        return true;
    }
    return false;
}

bool TakeStockFlag(const std::string& arg, StockFlags& flags) {
    if (arg == "--create-missing")
        flags.createMissing = true;
    else if (arg == "--allow-expired")
        flags.allowExpired = true;
    else if (arg == "--allow-undated")
        flags.allowNoExpiry = true;
    else
        return false;
    return true;
}

bool IsOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-' && arg[1] == '-';
}

bool OpenSession(Session& session, const Options& options, const SignIn& signIn, int& status) {
    std::string problem;
    if (!session.Open(options, signIn.yes, signIn.user, problem, signIn.userGiven)) {
        status = Fail(problem);
        return false;
    }
    return true;
}

int RunMovement(WSIDatabase& db, const std::function<void()>& move, bool keepsPartial) {
    const long lastBefore = LastId(db, "INVITEM", "InvItem");
    try {
        move();
    } catch (BIException& e) {
        const int refused = Refused(e);
        if (keepsPartial)
            PrintItemsAfter(db, lastBefore);
        return refused;
    }
    PrintItemsAfter(db, lastBefore);
    return kExitOk;
}

long FindProductByCode(WSIDatabase& db, const std::string& code) {
    const std::string text = tavel::EscapeQuotes(code.c_str());
    char sql[1024];
    TVL_FORMAT(sql,
               "SELECT \"Product\" FROM PRODUCT WHERE (\"ProductCode\" = '%s' OR \"UPCCode\" = "
               "'%s') ORDER BY \"Product\"",
               text.c_str(), text.c_str());
    long product = 0;
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &product, sql);
    return cursor->GetFirst() ? product : 0;
}

int Refused(BIException& e) {
    std::fprintf(stderr, "%s\n", e.GetErrMsg(true));
    return kExitRefused;
}

bool ParseShort(const std::string& text, short& value) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < SHRT_MIN || v > SHRT_MAX)
        return false;
    value = static_cast<short>(v);
    return true;
}

bool ParseId(const std::string& text, long& value) {
    if (text.empty() || text[0] == '-' || text[0] == '+')
        return false;
    errno = 0;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    // Ids are 32-bit keys in both engines.
    if (errno != 0 || *end != '\0' || v < 1 || v > INT32_MAX)
        return false;
    value = v;
    return true;
}

bool ParseOrderLineRef(const std::string& text, OrderLineRef& ref) {
    ref = {};
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos)
        return ParseId(text, ref.id);
    return ParseId(text.substr(0, colon), ref.order) &&
           ParseShort(text.substr(colon + 1), ref.item) && ref.item > 0;
}

bool ResolveOrderLine(WSIDatabase& db, OrderLineRef& ref) {
    WSIInvOrdIt::WSIData line{};
    char condition[128];
    if (ref.id != 0)
        TVL_FORMAT(condition, "\"InvOrdIt\" = %ld", ref.id);
    else
        TVL_FORMAT(condition, "\"InvOrder\" = %ld AND \"Item\" = %d", ref.order,
                   static_cast<int>(ref.item));
    std::unique_ptr<WSITable> cursor =
        db.Query(__FILE__, __LINE__, "SELECT %s FROM INVORDIT WHERE %s",
                 WSIResult(WSIInvOrdIt::Table(), &line),
                 db.GetTableColumns(__LINE__, __FILE__, "INVORDIT"), condition);
    if (!cursor->GetFirst())
        return false;
    ref.id = line.InvOrdIt;
    ref.order = line.InvOrder;
    return true;
}

bool ParseDay(const std::string& text, WSIDate& date) {
    WSIDate parsed;
    if (!tavel::ParseEntryDate(text, tavel::DateForm::Iso, parsed))
        return false;
    date = parsed;
    return true;
}

bool ParseCost(const std::string& text, double& value) {
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    // strtod takes "nan", "inf" and overflows to infinity: none of them is a price.
    if (errno != 0 || *end != '\0' || !BIInventory::IsValidCost(v))
        return false;
    value = v;
    return true;
}

std::string NotA(const std::string& argument, const std::string& text, const char* expected) {
    return argument + ": '" + text + "' is not " + expected;
}

std::string NotADay(const std::string& argument, const std::string& text) {
    char expected[128];
    TVL_FORMAT(expected, "a date (YYYY-MM-DD, a day that exists, years %d to %d)",
               tavel::kFirstEntryYear, tavel::kLastEntryYear);
    return NotA(argument, text, expected);
}

std::string NotACost(const std::string& argument, const std::string& text) {
    char expected[128];
    TVL_FORMAT(expected, "a cost (a number from 0 to %.0f)", BIInventory::kMaxCost);
    return NotA(argument, text, expected);
}

bool FitsWidth(const std::string& text, unsigned width, const std::string& argument,
               const char* what, std::string& problem) {
    if (text.size() <= width)
        return true;
    problem = argument + ": '" + text + "' has " + std::to_string(text.size()) + " characters; " +
              what + " has at most " + std::to_string(width);
    return false;
}
bool FitsLocation(const std::string& text, const std::string& argument, std::string& problem) {
    return FitsWidth(text, ColWidth::InvLoc, argument, "a location code", problem);
}

} // namespace invctl
