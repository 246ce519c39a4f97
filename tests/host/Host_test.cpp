// The desktop host: database opening and sign-in, the prompt service, the module's
// commands run from the host, notifications to the inventory window and the profile.

#include "BIInvExpiry.h"
#include "CommandParameters.h"
#include "DemoData.h"
#include "HostDatabase.h"
#include "HostMainWindow.h"
#include "HostSounds.h"
#include "InventoryWindowDriver.h"
#include "Schema.h"
#include "ScriptedPrompts.h"
#include "SelfTest.h"
#include "SignInDialog.h"
#include "TavelHost.h"
#include "WSIDatabase.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <fstream>

#include <memory>
#include <set>
#include <sqlite3.h>
#include <vector>

namespace {

StringTable Texts() {
    StringTable texts;
    texts.LoadDefault();
    return texts;
}

long ScalarLong(WSIDatabase& db, const std::string& sql) {
    long value = -1;
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", &value, sql.c_str());
    return cursor->GetFirst() ? value : -1;
}

// The first column of the first row as trimmed text, "" when there is no row.
QString ScalarText(WSIDatabase& db, const std::string& sql) {
    char text[256] = "";
    std::unique_ptr<WSITable> cursor = db.Query(__FILE__, __LINE__, "%s", text, sql.c_str());
    return cursor->GetFirst() ? QString::fromUtf8(text).trimmed() : QString();
}

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Records the host messages that reach a window.
class MessageSpy : public QObject {
public:
    struct Seen {
        unsigned msg;
        long source;
        long id;
    };
    std::vector<Seen> seen;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == HostMessageEvent::kType) {
            auto* m = static_cast<HostMessageEvent*>(e);
            seen.push_back({m->Message(), m->Source(), m->Id()});
        }
        return false;
    }
};

// A sub-window without customised title-bar hints has every button.
bool MaximiseAllowed(QMdiSubWindow* window) {
    const Qt::WindowFlags flags = window->windowFlags();
    return !(flags & Qt::CustomizeWindowHint) || (flags & Qt::WindowMaximizeButtonHint);
}

// The text pdftotext reads from pdf, "" when it cannot.
QString PdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class HostTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    std::unique_ptr<TavelHost> host_;
    std::unique_ptr<HostMainWindow> window_;
    ScriptedPrompts prompts_;

    std::string DbPath() const { return dir_.filePath("tavel.db").toStdString(); }

    // A host on a fresh demo database, signed in as the demo user, with the module loaded
    // and a screen large enough for the inventory window.
    void StartHost() {
        tavelhost::OpenOutcome opened = tavelhost::OpenHostDatabase(DbPath(), Texts());
        QVERIFY2(opened.db, opened.problem.c_str());
        host_ =
            std::make_unique<TavelHost>(std::move(opened.db), Texts(), dir_.path().toStdString());
        host_->SetPromptService(&prompts_);
        host_->SetMetrics(TavelHost::Metrics{1200, 800, 1280, 1024});
        long user = 0;
        QCOMPARE(tavelhost::CheckSignIn(*host_->GetDb(), "admin", tavelhost::kDemoPassword, user),
                 tavelhost::SignInResult::Ok);
        host_->SignedIn(user, "admin");
        window_ = std::make_unique<HostMainWindow>(*host_);
        window_->resize(1300, 900);
        window_->show();
        std::string problem;
        QVERIFY2(host_->LoadModule(TAVEL_INVENTORY_MODULE, problem), problem.c_str());
    }

    QList<QMdiSubWindow*> InventoryWindows() const {
        QList<QMdiSubWindow*> found;
        for (QMdiSubWindow* child : window_->MdiClient()->subWindowList())
            if (child->objectName() == QStringLiteral("WSIInventoryMDI"))
                found.append(child);
        return found;
    }

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        prompts_ = ScriptedPrompts();
        QFile::remove(dir_.filePath("tavel.db"));
        QFile::remove(dir_.filePath("tavel.ini"));
    }

    void cleanup() {
        window_.reset();
        host_.reset();
        for (const char* suffix :
             {"", "-wal", "-shm", ".sequences", ".sequences-wal", ".sequences-shm"})
            QFile::remove(dir_.filePath(QStringLiteral("tavel.db") + suffix));
    }

    // --- database and sign-in

    void missingDatabaseIsCreatedWithSchemaAndHashedDemoSignIn() {
        tavelhost::OpenOutcome opened = tavelhost::OpenHostDatabase(DbPath(), Texts());
        QVERIFY2(opened.db, opened.problem.c_str());
        QVERIFY(opened.created);
        QVERIFY(tavel::CheckSchema(*opened.db).ok);
        // The demo password is stored only as its hash; a new password replaces it.
        const QString hash = ScalarText(*opened.db, "SELECT \"PasswordHash\" FROM TVL_LOGIN");
        QVERIFY(!hash.contains(QString::fromUtf8(tavelhost::kDemoPassword)));
        QVERIFY(hash.startsWith(QStringLiteral("$argon2")));
        const long admin =
            ScalarLong(*opened.db, "SELECT \"User\" FROM USERS WHERE \"Login\" = 'admin'");
        QVERIFY(tavelhost::SetPassword(*opened.db, admin, "n3w-pass"));
        // Opened again it is the same database, not re-created.
        opened.db.reset();
        tavelhost::OpenOutcome again = tavelhost::OpenHostDatabase(DbPath(), Texts());
        QVERIFY2(again.db, again.problem.c_str());
        QVERIFY(!again.created);
        long user = 0;
        QCOMPARE(tavelhost::CheckSignIn(*again.db, "admin", tavelhost::kDemoPassword, user),
                 tavelhost::SignInResult::WrongPassword);
        QCOMPARE(tavelhost::CheckSignIn(*again.db, "admin", "n3w-pass", user),
                 tavelhost::SignInResult::Ok);
    }

    void signIn_data() {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("result");
        using R = tavelhost::SignInResult;
        const char* demo = tavelhost::kDemoPassword;
        // clang-format off
        QTest::newRow("demo user") << "admin" << demo << int(R::Ok);
        QTest::newRow("wrong password") << "admin" << "tavel" << int(R::WrongPassword);
        QTest::newRow("empty password") << "admin" << "" << int(R::WrongPassword);
        QTest::newRow("unknown user") << "nobody" << demo << int(R::UnknownUser);
        QTest::newRow("quote in name") << "ad'min" << demo << int(R::UnknownUser);
        // clang-format on
    }
    void signIn() {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(int, result);
        tavelhost::OpenOutcome opened = tavelhost::OpenHostDatabase(DbPath(), Texts());
        QVERIFY2(opened.db, opened.problem.c_str());
        long user = -1;
        QCOMPARE(int(tavelhost::CheckSignIn(*opened.db, login.toStdString(), password.toStdString(),
                                            user)),
                 result);
        const long admin =
            ScalarLong(*opened.db, "SELECT \"User\" FROM USERS WHERE \"Login\" = 'admin'");
        QCOMPARE(user, result == int(tavelhost::SignInResult::Ok) ? admin : 0L);
    }

    void signInDialogRefusalGoesThroughPrompts() {
        StartHost();
        SignInDialog dialog(*host_);
        dialog.findChild<QLineEdit*>("login")->setText("admin");
        dialog.findChild<QLineEdit*>("password")->setText("guess");
        QVERIFY(!dialog.TrySignIn());
        QCOMPARE(prompts_.shown.size(), std::size_t(1));
        QCOMPARE(prompts_.shown[0].text, host_->Text(39400));
        QVERIFY(dialog.findChild<QLineEdit*>("password")->text().isEmpty());
        dialog.findChild<QLineEdit*>("password")->setText(tavelhost::kDemoPassword);
        QVERIFY(dialog.TrySignIn());
        QVERIFY(dialog.User() > 0);
        QCOMPARE(prompts_.shown.size(), std::size_t(1));
    }

    void unusableDatabaseIsRefusedWithItsMessage_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("message");
        QTest::newRow("folder missing") << 0 << 39401;
        QTest::newRow("path is a folder") << 1 << 39401;
        QTest::newRow("not a database") << 2 << 39405;
        QTest::newRow("other schema version") << 3 << 39402;
    }
    void unusableDatabaseIsRefusedWithItsMessage() {
        QFETCH(int, kind);
        QFETCH(int, message);
        std::string path = DbPath();
        if (kind == 0) {
            path = dir_.filePath("no-such-folder/tavel.db").toStdString();
        } else if (kind == 1) {
            path = dir_.filePath("folder.db").toStdString();
            QVERIFY(QDir(dir_.path()).mkpath("folder.db"));
        } else if (kind == 2) {
            path = dir_.filePath("garbage.db").toStdString();
            std::ofstream(path) << "this is a letter, not a database\n";
        } else {
            tavelhost::OpenOutcome made = tavelhost::OpenHostDatabase(path, Texts());
            QVERIFY(made.db);
            QVERIFY(
                made.db->ExecNative(__FILE__, __LINE__, "UPDATE TVL_SCHEMA SET \"Version\" = 99"));
        }
        tavelhost::OpenOutcome opened = tavelhost::OpenHostDatabase(path, Texts());
        QVERIFY(!opened.db);
        // The message is the string table's, with the file named in it.
        const std::string text = tavelhost::MessageText(Texts(), message);
        const std::string head = text.substr(0, text.find('%'));
        QVERIFY2(opened.problem.rfind(head, 0) == 0, opened.problem.c_str());
        QVERIFY2(opened.problem.find(path) != std::string::npos, opened.problem.c_str());
        if (kind == 3)
            QVERIFY(opened.problem.find("99") != std::string::npos);
    }

    // --- module loading and commands

    void missingModuleIsReportedWithoutHandler_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("no file") << "absent/libInventory.so";
        QTest::newRow("not a library") << "fake.so";
    }
    void missingModuleIsReportedWithoutHandler() {
        QFETCH(QString, file);
        std::ofstream(dir_.filePath("fake.so").toStdString()) << "not an ELF file";
        tavelhost::OpenOutcome opened = tavelhost::OpenHostDatabase(DbPath(), Texts());
        QVERIFY(opened.db);
        TavelHost host(std::move(opened.db), Texts(), dir_.path().toStdString());
        std::string problem;
        QVERIFY(!host.LoadModule(dir_.filePath(file).toStdString(), problem));
        QVERIFY(!problem.empty());
        QVERIFY(host.Handler() == nullptr);
        QVERIFY(!host.RunCommand(cmd::Inventory));
    }

    void oneInventoryWindowForTwoCommandsAndANewOneAfterClosing() {
        StartHost();
        host_->NotifyUpdate(25001, 42); // nobody to tell yet: no effect, no crash
        QVERIFY(host_->RunCommand(cmd::Inventory));
        QVERIFY(host_->RunCommand(cmd::Inventory));
        QCOMPARE(InventoryWindows().size(), 1);
        QPointer<QMdiSubWindow> first = InventoryWindows().front();
        QVERIFY(first->isVisible());
        QVERIFY(!first->widget()->size().isEmpty());
        first->close();
        // Closing destroys the window (deferred, as Qt deletes widgets that close themselves).
        QTRY_VERIFY(first.isNull());
        QVERIFY(InventoryWindows().isEmpty());
        QVERIFY(host_->RunCommand(cmd::Inventory));
        QCOMPARE(InventoryWindows().size(), 1);
        QVERIFY(prompts_.shown.empty());
        // The window carries the host's inventory icon.
        const QIcon icon = InventoryWindows().front()->windowIcon();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixmap(16).toImage(), window_->Icon(10142).pixmap(16).toImage());
        // Notifications reach the open window.
        MessageSpy spy;
        InventoryWindows().front()->installEventFilter(&spy);
        host_->NotifyUpdate(25001, 42);
        host_->ProductRefresh(25000, 7);
        QCOMPARE(spy.seen.size(), std::size_t(2));
        QCOMPARE(spy.seen[0].msg, hostmsg::kUpdateInfo);
        QCOMPARE(spy.seen[0].source, 25001L);
        QCOMPARE(spy.seen[0].id, 42L);
        QCOMPARE(spy.seen[1].source, 25000L);
        QCOMPARE(spy.seen[1].id, 7L);
    }

    void sizeRule_data() {
        QTest::addColumn<int>("defaultWidth");
        QTest::addColumn<int>("workArea");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("maximise"); // the box goes when the window fills the work area
        QTest::newRow("narrow screen") << 900 << 800 << false << 0 << false;
        QTest::newRow("narrow child, wide screen") << 900 << 1280 << true << 1024 << true;
        QTest::newRow("wide child") << 1100 << 1000 << true << 1100 << true;
        QTest::newRow("fills the work area") << 900 << 1024 << true << 1024 << false;
    }
    void sizeRule() {
        QFETCH(int, defaultWidth);
        QFETCH(int, workArea);
        QFETCH(bool, opens);
        QFETCH(int, width);
        QFETCH(bool, maximise);
        StartHost();
        host_->SetMetrics(TavelHost::Metrics{defaultWidth, 800, workArea, 1024});
        QVERIFY(host_->RunCommand(cmd::Inventory));
        QCOMPARE(InventoryWindows().size(), opens ? 1 : 0);
        if (opens) {
            QVERIFY(prompts_.shown.empty());
            QCOMPARE(InventoryWindows().front()->width(), width);
            QCOMPARE(MaximiseAllowed(InventoryWindows().front()), maximise);
        } else {
            QCOMPARE(prompts_.shown.size(), std::size_t(1));
            QCOMPARE(prompts_.shown[0].text, host_->Text(30832));
            QCOMPARE(prompts_.shown[0].caption, std::string());
            QCOMPARE(prompts_.shown[0].buttons, PromptButtons::Ok);
        }
    }

    void catalogueCommandsAreEnabledAndOthersAreNotHandled() {
        StartHost();
        // The catalogue commands have their screens: their entries are enabled.
        for (long id :
             {cmd::Locations, cmd::Units, cmd::ProdTypes, cmd::OrderTypes, cmd::Adjustments,
              cmd::Setup, cmd::Vendors, cmd::Products, cmd::CsvImport}) {
            QAction* entry = window_->CommandAction(id);
            QVERIFY(entry);
            QVERIFY2(entry->isEnabled(), std::to_string(id).c_str());
        }
        QVERIFY(window_->CommandAction(cmd::Inventory)->isEnabled());
        // Commands outside the menu are not the module's: the host logs them.
        for (long id : {0L, 36000L, 36011L, 36101L, -36001L, 99999L})
            QVERIFY2(!host_->RunCommand(id), std::to_string(id).c_str());
        QVERIFY(InventoryWindows().isEmpty());
        QVERIFY(FileText(host_->Usage().Path()).find("command 36011 not handled") !=
                std::string::npos);
    }

    void productsCommandLooksUpTheBarCode() {
        StartHost();
        const long product = ScalarLong(*host_->GetDb(), "SELECT MAX(\"Product\") FROM PRODUCT");
        const QByteArray code =
            ScalarText(*host_->GetDb(), "SELECT \"ProductCode\" FROM PRODUCT WHERE \"Product\" = " +
                                            std::to_string(product))
                .toUtf8();
        QVERIFY(!code.isEmpty());
        ProductLookupRequest request{};
        std::memcpy(request.BarCode, code.constData(),
                    std::min<std::size_t>(code.size(), sizeof request.BarCode - 1));
        request.Product = -5;
        QVERIFY(host_->RunCommand(cmd::Products, &request));
        QCOMPARE(long(request.Product), product);
        ProductLookupRequest unknown{};
        std::strcpy(unknown.BarCode, "NO-SUCH-CODE");
        unknown.Product = 99;
        QVERIFY(host_->RunCommand(cmd::Products, &unknown));
        QCOMPARE(unknown.Product, 0);
        QVERIFY(prompts_.shown.empty());
    }

    // --- prompt service

    void messageBoxesUseTheButtonsOfTheirStyle_data() {
        QTest::addColumn<unsigned>("style");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("answer");
        QTest::newRow("ok") << (mb::OK | mb::ICONINFORMATION) << int(PromptButtons::Ok) << id::OK;
        QTest::newRow("ok/cancel") << mb::OKCANCEL << int(PromptButtons::OkCancel) << id::CANCEL;
        QTest::newRow("yes/no") << (mb::YESNO | mb::ICONQUESTION) << int(PromptButtons::YesNo)
                                << id::NO;
        QTest::newRow("yes/no/cancel")
            << (mb::YESNOCANCEL | mb::TASKMODAL) << int(PromptButtons::YesNoCancel) << id::YES;
    }
    void messageBoxesUseTheButtonsOfTheirStyle() {
        QFETCH(unsigned, style);
        QFETCH(int, buttons);
        QFETCH(int, answer);
        StartHost();
        prompts_.answers = {answer};
        QCOMPARE(host_->MessageBox(nullptr, "Go on?", "Orders", style), answer);
        QCOMPARE(prompts_.shown.size(), std::size_t(1));
        QCOMPARE(int(prompts_.shown[0].buttons), buttons);
        QCOMPARE(prompts_.shown[0].text, std::string("Go on?"));
        QCOMPARE(prompts_.shown[0].caption, std::string("Orders"));
        QCOMPARE(prompts_.shown[0].icon, style & mb::kIconMask);
    }

    void warningScreensAskYesOrNoByTemplate() {
        StartHost();
        prompts_.answers = {id::YES, id::NO};
        QCOMPARE(host_->WarnDialog(nullptr, 25139), id::OK);
        QCOMPARE(host_->WarnDialog(nullptr, 25139), id::CANCEL);
        QCOMPARE(prompts_.shown.size(), std::size_t(2));
        QCOMPARE(prompts_.shown[0].templateId, 25139);
        QCOMPARE(prompts_.shown[0].text, host_->Text(25139));
        QCOMPARE(prompts_.shown[0].buttons, PromptButtons::YesNo);
        // A template without a text is declined without asking.
        QCOMPARE(host_->WarnDialog(nullptr, 1), id::CANCEL);
        QCOMPARE(prompts_.shown.size(), std::size_t(2));
    }

    // --- rights, profile, usage

    void unreachableServerIsRefusedWithoutShowingItsPassword() {
        tavelhost::OpenOutcome opened = tavelhost::OpenHostServer(
            "host=/nonexistent-tavel port=1 dbname=clinic password=s3cr3t-pw", Texts());
        QVERIFY(!opened.db);
        QVERIFY(opened.problem.find("dbname=clinic") != std::string::npos);
        QVERIFY(opened.problem.find("s3cr3t-pw") == std::string::npos);
    }

    void approvalFollowsTheRightsTable() {
        StartHost();
        // The demo's approvers hold the approval right and the others do not.
        for (const tavel::DemoUser& demo : tavel::kDemoUsers) {
            const long user = ScalarLong(
                *host_->GetDb(),
                std::string("SELECT \"User\" FROM USERS WHERE \"Login\" = '") + demo.login + "'");
            QVERIFY2(user > 0, demo.login);
            QCOMPARE(tavelhost::LoadRights(*host_->GetDb(), user).count(tavelhost::kApproveRight),
                     std::size_t(demo.canApprove ? 1 : 0));
        }
        QVERIFY(host_->CanApprove(tavelhost::kApproveRight));
        QVERIFY(!host_->CanApprove(15));
        QVERIFY(!host_->RestrictedApprovalDenied(tavelhost::kApproveRight, host_->User()));
        // A restricted right: approvals of the user's own orders are denied.
        QVERIFY(
            tavelhost::GrantRight(*host_->GetDb(), host_->User(), tavelhost::kApproveRight, true));
        host_->SignedIn(host_->User(), "admin");
        QVERIFY(host_->CanApprove(tavelhost::kApproveRight));
        QVERIFY(host_->RestrictedApprovalDenied(tavelhost::kApproveRight, host_->User()));
        QVERIFY(!host_->RestrictedApprovalDenied(tavelhost::kApproveRight, host_->User() + 1000));
        // A user without rows has no right at all.
        host_->SignedIn(host_->User() + 1000, "other");
        QVERIFY(!host_->CanApprove(tavelhost::kApproveRight));
        QVERIFY(host_->RestrictedApprovalDenied(tavelhost::kApproveRight, 1));
    }

    void profileSurvivesADamagedFileAndKeepsNewValues() {
        {
            std::ofstream ini(dir_.filePath("tavel.ini").toStdString(), std::ios::binary);
            ini << "[Inventory\n\x01\x02\xff=\nKeyWithoutValue\n=5\n[Dialog]\nScanDelay=abc\nKeep="
                   "7\n";
        }
        tavelhost::OpenOutcome opened = tavelhost::OpenHostDatabase(DbPath(), Texts());
        QVERIFY(opened.db);
        {
            TavelHost host(std::move(opened.db), Texts(), dir_.path().toStdString());
            WSIProfile* profile = host.GetProfile();
            QVERIFY(profile);
            QCOMPARE(profile->GetInt("Dialog", "ScanDelay", 250), 250L);
            // The readable lines of the file are kept.
            QCOMPARE(profile->GetInt("Dialog", "Keep", 0), 7L);
            QCOMPARE(profile->GetInt("Inventory", "FillDays", 3), 3L);
            profile->WriteInt("Inventory", "FillDays", 9);
        }
        WSIProfile reread(dir_.filePath("tavel.ini").toStdString());
        QVERIFY(reread.Load());
        QCOMPARE(reread.GetInt("Inventory", "FillDays", 3), 9L);
    }

    // Support staff ask who, where and on what: the frame says it without a window open.
    // At sign-in, one status-bar line counts the lots of the workstation's location that
    // expire within 30 days; none without a location or without such lots.
    void expiryNoticeAtSignIn() {
        StartHost();
        const auto notice = [](HostMainWindow& w) {
            auto* label = w.findChild<QLabel*>(QStringLiteral("statusExpiry"));
            return label ? label->text() : QString();
        };
        QVERIFY(notice(*window_).isEmpty());
        QAction* watch = window_->CommandAction(cmd::ExpiryWatch);
        QVERIFY(watch && watch->isEnabled());

        const long lots = tavel::BIInvExpiry(host_->GetDb()).CountWithin(30, "STORE");
        QVERIFY(lots > 0);
        host_->GetProfile()->WriteString("Inventory", "Location", "STORE");
        {
            HostMainWindow signedIn(*host_);
            const QString line = notice(signedIn);
            QVERIFY2(
                line.startsWith(QStringLiteral("%1 lots at STORE expire within 30 days").arg(lots)),
                qPrintable(line));
        }
        host_->GetProfile()->WriteString("Inventory", "Location", "NOLOTS");
        {
            HostMainWindow signedIn(*host_);
            QVERIFY(notice(signedIn).isEmpty());
        }
        host_->SetMainWindow(window_.get());
    }

    void statusBarAboutBoxWindowMenuAndPlacement() {
        StartHost();
        const auto part = [this](const char* name) {
            auto* label = window_->findChild<QLabel*>(QString::fromLatin1(name));
            return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
        };
        QVERIFY2(part("statusUser").contains(QStringLiteral("(admin)")),
                 qPrintable(part("statusUser")));
        QVERIFY2(part("statusDatabase").contains(QStringLiteral("file tavel.db in ")),
                 qPrintable(part("statusDatabase")));
        QVERIFY(part("statusLocation").contains(QString::fromStdString(host_->Text(39414))));
        // A workstation location shows with its name once a window changes.
        host_->GetProfile()->WriteString("Inventory", "Location", "STORE");
        window_->RefreshStatus();
        QVERIFY2(part("statusLocation").contains(QStringLiteral("STORE - ")),
                 qPrintable(part("statusLocation")));

        const QString about = window_->AboutText();
        for (const QString& expected :
             {QStringLiteral("Tavel inventory %1").arg(QStringLiteral(TAVEL_VERSION)),
              QStringLiteral("schema version %1").arg(tavel::kSchemaVersion),
              QStringLiteral("SQLite %1").arg(QString::fromLatin1(sqlite3_libversion())),
              QStringLiteral("PostgreSQL client 1"), QStringLiteral("Qt 6."),
              QStringLiteral("libsodium 1.")})
            QVERIFY2(about.contains(expected),
                     qPrintable(expected + QStringLiteral(" in ") + about));

        // The Window menu lists the open windows after its fixed entries.
        QVERIFY(host_->RunCommand(cmd::Inventory));
        auto* menu = window_->findChild<QMenu*>(QStringLiteral("windowMenu"));
        QVERIFY(menu);
        emit menu->aboutToShow();
        QStringList entries;
        for (QAction* a : menu->actions())
            entries << a->text();
        QVERIFY2(entries.size() == 6 && entries[5].startsWith(QStringLiteral("&1 ")),
                 qPrintable(entries.join(QLatin1Char('|'))));
        QVERIFY(menu->actions()[5]->isChecked());

        // Closing keeps the placement; a new window comes back to it.
        window_->setGeometry(20, 30, 640, 480);
        window_->close();
        HostMainWindow again(*host_);
        QVERIFY(again.RestorePlacement());
        QCOMPARE(again.size(), QSize(640, 480));
        host_->SetMainWindow(window_.get());
    }

    void soundsAndEventsAreLogged() {
        StartHost();
        QCOMPARE(host_->SendMainWindowMessage(
                     hostmsg::kPlaySound,
                     reinterpret_cast<void*>(static_cast<std::intptr_t>(SoundKind::Error))),
                 1L);
        host_->GetUsageTracker()->TrackEvent(1, 2, 3, 4, {{"screen", "count"}});
        QCOMPARE(host_->SendMainWindowMessage(12345, nullptr), 0L);
        // The off switch of the profile silences the signals; the log still records them.
        host_->GetProfile()->WriteInt("Dialog", "Sounds", 0);
        host_->SendMainWindowMessage(
            hostmsg::kPlaySound,
            reinterpret_cast<void*>(static_cast<std::intptr_t>(SoundKind::Notice)));
        const std::string all = FileText(host_->Usage().Path());
        QVERIFY(all.find("sound error played") != std::string::npos ||
                all.find("sound error beep") != std::string::npos);
        QVERIFY(all.find("sound notice off") != std::string::npos);
        QVERIFY(all.find("1 2 3 4 screen=count") != std::string::npos);
        // Three different sounds.
        std::set<std::string> sounds;
        for (SoundKind k : {SoundKind::Success, SoundKind::Error, SoundKind::Notice})
            sounds.insert(FileText(HostSounds::FileOf(k).toStdString()));
        QCOMPARE(sounds.size(), std::size_t(3));
        QVERIFY(!sounds.count(std::string()));
    }
    // --- message 3025 and the self-test, through what Qt shows of the module's window

    void productNotificationRereadsTheLevelsRow() {
        StartHost();
        QVERIFY(host_->RunCommand(cmd::Inventory));
        QMdiSubWindow* inventory = tavelhost::FindInventoryWindow(*window_);
        QVERIFY(inventory);
        QVERIFY(tavelhost::SelectTab(inventory, tavelhost::LevelsTab));
        QVERIFY(tavelhost::ClickCommand(inventory, QStringLiteral("Search")));
        QAbstractItemModel* rows = tavelhost::TabRows(inventory, tavelhost::LevelsTab);
        QVERIFY(rows);
        QVERIFY(rows->rowCount() > 1);
        const int codeColumn = tavelhost::ColumnOf(*rows, QStringLiteral("Product"));
        const int balanceColumn = tavelhost::ColumnOf(*rows, QStringLiteral("Balance"));
        QVERIFY(codeColumn >= 0 && balanceColumn >= 0);
        // A product counted by usage somewhere: its balance is the sum of those locations
        // (the product's row without a location is not one of them).
        const long product = ScalarLong(
            *host_->GetDb(), "SELECT MAX(\"Product\") FROM PRDLOC WHERE \"TrackUsage\" = 1");
        QVERIFY(product > 0);
        const QString code =
            ScalarText(*host_->GetDb(), "SELECT \"ProductCode\" FROM PRODUCT WHERE \"Product\" = " +
                                            std::to_string(product));
        const int changed = tavelhost::RowOf(*rows, codeColumn, code);
        QVERIFY2(changed >= 0, qPrintable(code));
        // Another product's row must stay as it was read.
        const QString other = tavelhost::Cell(*rows, changed == 0 ? 1 : 0, codeColumn).trimmed();
        QVERIFY(code != other);
        // The balance shown for a product; a row gone shows as no balance at all.
        auto balanceOf = [&](const QString& product) {
            const int row = tavelhost::RowOf(*rows, codeColumn, product);
            return row < 0 ? -1e9 : tavelhost::Cell(*rows, row, balanceColumn).toDouble();
        };
        const double before = balanceOf(code), otherBefore = balanceOf(other);
        char sql[512];
        std::snprintf(sql, sizeof sql,
                      "UPDATE PRDLOC SET \"Balance\" = \"Balance\" + 1234 WHERE \"Product\" = "
                      "%ld AND \"InvLoc\" = (SELECT MIN(\"InvLoc\") FROM PRDLOC WHERE "
                      "\"Product\" = %ld AND \"TrackUsage\" = 1 AND TRIM(\"InvLoc\") <> '')",
                      product, product);
        QVERIFY(host_->GetDb()->ExecNative(__FILE__, __LINE__, sql));
        // A source whose changes the levels tab does not show leaves it as read.
        host_->NotifyUpdate(25028, product);
        QCOMPARE(balanceOf(code), before);
        // A receipt of the product (source 25101) re-reads its row only.
        host_->NotifyUpdate(25101, product);
        QCOMPARE(balanceOf(code), before + 1234);
        QCOMPARE(balanceOf(other), otherBefore);
        QVERIFY(prompts_.shown.empty());
    }

    void selfTestSearchesPrintsAnOpenOrderAndTakesAScreenshot() {
        StartHost();
        const tavelhost::SelfTestOutcome outcome =
            tavelhost::RunSelfTest(*host_, *window_, dir_.path().toStdString());
        QVERIFY2(outcome.ok, outcome.problem.c_str());
        QVERIFY(outcome.rows > 0);
        QCOMPARE(tavelhost::TabRows(tavelhost::FindInventoryWindow(*window_), tavelhost::PendingTab)
                     ->rowCount(),
                 outcome.rows);
        // The order printed is open: a line of it is still to be supplied.
        const std::string order = std::to_string(outcome.order);
        QVERIFY(ScalarLong(*host_->GetDb(), "SELECT COUNT(1) FROM INVORDIT WHERE \"InvOrder\" = " +
                                                order + " AND \"Status\" IN (0, 1, 2, 3, 5)") > 0);
        // The PDF is the order's: its number, its PO number and the code of its first line.
        const QString code =
            ScalarText(*host_->GetDb(),
                       "SELECT P.\"ProductCode\" FROM INVORDIT I, PRODUCT P WHERE I.\"Product\" = "
                       "P.\"Product\" AND I.\"InvOrder\" = " +
                           order + " AND I.\"Status\" != 4 ORDER BY I.\"Item\", I.\"InvOrdIt\"");
        const QString po = ScalarText(
            *host_->GetDb(), "SELECT \"PONumber\" FROM INVORDER WHERE \"InvOrder\" = " + order);
        QVERIFY(!code.isEmpty() && !po.isEmpty());
        const QString text = PdfText(QString::fromStdString(outcome.pdf));
        QVERIFY2(!text.isEmpty(), outcome.pdf.c_str());
        QVERIFY(text.contains(
            QRegularExpression(QStringLiteral("Order number\\s+%1\\b").arg(outcome.order))));
        QVERIFY2(text.contains(code), qPrintable(code));
        QVERIFY2(text.contains(po), qPrintable(po));
        const QImage shot(QString::fromStdString(outcome.screenshot));
        QCOMPARE(shot.size(), window_->size());
    }
};

QTEST_MAIN(HostTest)
#include "Host_test.moc"
