// tavel: the desktop host of the inventory module. Signs a user in, opens the database,
// loads libInventory.so and runs its commands from the "Inventory" menu.

#include "BoundedFormat.h"
#include "CommandParameters.h"
#include "HostDatabase.h"
#include "HostMainWindow.h"
#include "MessageStyle.h"
#include "Paths.h"
#include "SelfTest.h"
#include "SignInDialog.h"
#include "SqlText.h"
#include "StringTable.h"
#include "TavelHost.h"
#include "WSIDatabase.h"

#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

constexpr unsigned kWrongSignInMessage = 39400;
constexpr unsigned kPasswordFileMessage = 39413;
constexpr unsigned kMissingModuleMessage = 39403;

struct Options {
    std::string db;
    std::string pg;
    std::string user;
    std::string passwordFile;
    std::string module;
    std::string setPassword;
    bool selfTest = false;
};

void PrintUsage(FILE* out) {
    std::fprintf(
        out,
        "usage: tavel [--db FILE | --pg CONNINFO] [--user NAME --password-file F]\n"
        "             [--module LIB] [--self-test]\n"
        "       tavel [--db FILE] --set-password NAME --password-file F\n"
        "  --db FILE          SQLite database; created with the demo data when missing\n"
        "                     (default: tavel.db in the data folder)\n"
        "  --user NAME        sign in without the dialog, with the password read from\n"
        "  --password-file F  the first line of F\n"
        "  --module LIB       the inventory module (default: ../lib/libInventory.so)\n"
        "  --self-test        offscreen: sign in, open Inventory and search, print an order\n"
        "                     to PDF, save a screenshot in the data folder; exit 0 when all work\n"
        "  --set-password NAME  stores the password of user NAME (first line of F)\n");
}

// Returns -1 when the options are good, else the exit code.
int ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc)
                return false;
            into = argv[++i];
            return true;
        };
        bool ok = true;
        if (a == "--help" || a == "-h") {
            PrintUsage(stdout);
            return kExitOk;
        } else if (a == "--db")
            ok = value(o.db);
        else if (a == "--pg")
            ok = value(o.pg);
        else if (a == "--user")
            ok = value(o.user);
        else if (a == "--password-file")
            ok = value(o.passwordFile);
        else if (a == "--module")
            ok = value(o.module);
        else if (a == "--set-password")
            ok = value(o.setPassword);
        else if (a == "--self-test")
            o.selfTest = true;
        else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "tavel: bad option %s\n", a.c_str());
            PrintUsage(stderr);
            return kExitUsage;
        }
    }
    if (!o.setPassword.empty() && o.passwordFile.empty()) {
        std::fprintf(stderr, "tavel: --set-password needs --password-file\n");
        return kExitUsage;
    }
    if (o.setPassword.empty() && !o.user.empty() != !o.passwordFile.empty()) {
        std::fprintf(stderr, "tavel: --user and --password-file go together\n");
        return kExitUsage;
    }
    return -1;
}

// The self-test has no display: an offscreen screen large enough for the inventory window.
void UseOffscreenScreen(const std::string& dataDir) {
    const std::string config = dataDir + "/offscreen-screen.json";
    std::ofstream(config) << "{ \"screens\": [ { \"name\": \"tavel\", \"x\": 0, \"y\": 0, "
                             "\"width\": 1600, \"height\": 1000, \"logicalDpi\": 96 } ] }\n";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.c_str());
}

int Fail(PromptService& prompts, const std::string& text) {
    // The console service writes the text itself.
    if (!dynamic_cast<ConsolePromptService*>(&prompts))
        std::fprintf(stderr, "tavel: %s\n", text.c_str());
    Prompt prompt;
    prompt.text = text;
    prompt.caption = "Tavel";
    prompt.icon = mb::ICONERROR;
    prompts.Ask(nullptr, prompt);
    return kExitFailure;
}

bool ReadPassword(const std::string& path, std::string& password) {
    std::ifstream in(path);
    if (!in || !std::getline(in, password))
        return false;
    while (!password.empty() && (password.back() == '\r' || password.back() == '\n'))
        password.pop_back();
    return true;
}

// An administrator's way to give a user of an existing database a password.
int SetPassword(WSIDatabase& db, const std::string& login, const std::string& passwordFile) {
    std::string password;
    if (!ReadPassword(passwordFile, password) || password.empty()) {
        std::fprintf(stderr, "tavel: no password in %s\n", passwordFile.c_str());
        return kExitFailure;
    }
    char sql[512];
    TVL_FORMAT(sql, "SELECT \"User\" FROM USERS WHERE \"Login\" = '%s'",
               tavel::EscapeQuotes(login.c_str()).c_str());
    long user = 0;
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &user, sql);
    if (!cursor->GetFirst()) {
        std::fprintf(stderr, "tavel: no user %s\n", login.c_str());
        return kExitFailure;
    }
    cursor.reset();
    if (!tavelhost::SetPassword(db, user, password)) {
        std::fprintf(stderr, "tavel: the password could not be stored\n");
        return kExitFailure;
    }
    std::printf("password of %s stored\n", login.c_str());
    return kExitOk;
}

int SelfTest(TavelHost& host, HostMainWindow& window) {
    const tavelhost::SelfTestOutcome outcome = tavelhost::RunSelfTest(host, window, host.DataDir());
    if (!outcome.ok) {
        std::fprintf(stderr, "tavel: self-test: %s\n", outcome.problem.c_str());
        return kExitFailure;
    }
    std::printf("self-test passed: signed in as %s, inventory window open with %d rows on its "
                "first tab, order %ld printed to %s, screenshot %s\n",
                host.Login().c_str(), outcome.rows, outcome.order, outcome.pdf.c_str(),
                outcome.screenshot.c_str());
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (int status = ParseOptions(argc, argv, options); status >= 0)
        return status;
    const std::string dataDir = tavel::DataDir();
    if (!options.setPassword.empty()) {
        // An administrator's command: no window, no display needed.
        StringTable texts;
        texts.LoadDefault();
        tavelhost::OpenOutcome opened =
            options.pg.empty() ? tavelhost::OpenHostDatabase(
                                     options.db.empty() ? dataDir + "/tavel.db" : options.db, texts)
                               : tavelhost::OpenHostServer(options.pg, texts);
        if (!opened.db) {
            std::fprintf(stderr, "tavel: %s\n", opened.problem.c_str());
            return kExitFailure;
        }
        return SetPassword(*opened.db, options.setPassword, options.passwordFile);
    }
    if (options.selfTest)
        UseOffscreenScreen(dataDir);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavel"));

    ConsolePromptService console;
    QtPromptService dialogs;
    PromptService& prompts = options.selfTest ? static_cast<PromptService&>(console)
                                              : static_cast<PromptService&>(dialogs);

    StringTable texts;
    if (!texts.LoadDefault())
        return Fail(prompts, "cannot read the message texts (strings/en.tsv in " +
                                 tavel::ResourceDir() + ")");
    const std::string dbPath = options.db.empty() ? dataDir + "/tavel.db" : options.db;
    tavelhost::OpenOutcome opened = options.pg.empty()
                                        ? tavelhost::OpenHostDatabase(dbPath, texts)
                                        : tavelhost::OpenHostServer(options.pg, texts);
    if (!opened.db)
        return Fail(prompts, opened.problem);
    if (opened.created)
        std::printf("tavel: created %s with the demo data\n", dbPath.c_str());

    TavelHost host(std::move(opened.db), std::move(texts), dataDir);
    host.SetPromptService(&prompts);

    std::string login = options.user;
    std::string password;
    if (options.selfTest && login.empty()) {
        login = "admin";
        password = tavelhost::kDemoPassword;
    } else if (!login.empty() && !ReadPassword(options.passwordFile, password)) {
        return Fail(prompts, tavelhost::MessageWith(host.Texts(), kPasswordFileMessage,
                                                    options.passwordFile));
    }
    long user = 0;
    if (!login.empty()) {
        if (tavelhost::CheckSignIn(*host.GetDb(), login, password, user) !=
            tavelhost::SignInResult::Ok)
            return Fail(prompts, host.Text(kWrongSignInMessage));
    } else {
        SignInDialog dialog(host);
        if (dialog.exec() != QDialog::Accepted)
            return kExitFailure;
        user = dialog.User();
        login = dialog.Login();
    }
    host.SignedIn(user, login);

    auto window = std::make_unique<HostMainWindow>(host);
    window->setWindowTitle(QStringLiteral("Tavel - %1").arg(QString::fromStdString(login)));
    const std::string modulePath =
        options.module.empty()
            ? ModuleLoader::DefaultPath(QApplication::applicationDirPath().toStdString())
            : options.module;
    std::string problem;
    if (!host.LoadModule(modulePath, problem)) {
        return Fail(prompts, tavelhost::MessageWith(host.Texts(), kMissingModuleMessage, problem));
    }

    int status = kExitOk;
    if (options.selfTest) {
        status = SelfTest(host, *window);
    } else {
        if (window->RestorePlacement()) {
            window->show();
        } else {
            window->resize(1280, 860);
            window->showMaximized();
        }
        status = app.exec();
    }
    window.reset();
    return status;
}
