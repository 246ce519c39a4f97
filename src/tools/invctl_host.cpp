#include "invctl_host.h"

#include "BIException.h"
#include "BoundedFormat.h"
#include "InventoryModule.h"
#include "MessageStyle.h"
#include "Records.h"
#include "SqlText.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace invctl {

CommandLineHost::CommandLineHost(WSIDatabase* db, bool yes) : db_(db), yes_(yes) {
    texts_.LoadDefault();
}

int CommandLineHost::LoadString(unsigned code, char* buf, int size) const {
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

bool Session::Open(const Options& options, bool yes, const std::string& login,
                   std::string& problem) {
    if (options.db.empty()) {
        problem = "no database file given (--db FILE)";
        return false;
    }
    db_ = OpenExisting(options.db, problem);
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
    db_->SetCurrentUser(user);

    host_ = std::make_unique<CommandLineHost>(db_.get(), yes);
    tavel::ModuleAttach();
    attached_ = true;
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    app->AttachHost(host_.get());
    app->InitApp(user);
    return true;
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

} // namespace invctl
