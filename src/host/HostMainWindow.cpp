#include "HostMainWindow.h"

#include "BIInvExpiry.h"
#include "BoundedFormat.h"
#include "CommandParameters.h"
#include "HostDatabase.h"
#include "Schema.h"
#include "TavelHost.h"
#include "WSIDatabase.h"

#include <QAction>
#include <QActionGroup>
#include <QByteArray>
#include <QCloseEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QStatusBar>

#include <libpq-fe.h>
#include <sodium.h>
#include <sqlite3.h>

#include <cstring>

namespace {
constexpr unsigned kProductNotFoundMessage = 39407;
constexpr unsigned kNoLocationMessage = 39414;
// "%ld lots at %s expire within %d days or have expired", shown at sign-in.
constexpr unsigned kExpiringLotsMessage = 40253;
constexpr int kExpiryNoticeDays = 30;
// Where the window's placement is kept between sessions.
constexpr const char* kPlacementSection = "Host";
constexpr const char* kPlacementKey = "MainWindow";
} // namespace

HostMainWindow::HostMainWindow(TavelHost& host) : host_(host), mdi_(new QMdiArea(this)) {
    setWindowTitle(QStringLiteral("Tavel"));
    mdi_->setObjectName(QStringLiteral("mdiClient"));
    setCentralWidget(mdi_);
    BuildMenus();
    BuildStatusBar();
    ShowExpiryNotice();
    host_.SetMainWindow(this);
    // The workstation's location may change in a screen: read it again as windows change.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] { RefreshStatus(); });
}

HostMainWindow::~HostMainWindow() {
    // The module's windows run the module's code: they go before the module does.
    for (QMdiSubWindow* child : mdi_->subWindowList())
        delete child;
    if (host_.MainWindow() == this)
        host_.SetMainWindow(nullptr);
}

void HostMainWindow::BuildMenus() {
    QMenu* menu = menuBar()->addMenu(tr("&Inventory"));
    menu->setToolTipsVisible(true);
    struct Entry {
        long id;
        const char* label;
    };
    const Entry entries[] = {
        {cmd::Inventory, "&Inventory"},
        {cmd::Locations, "&Locations..."},
        {cmd::Units, "&Units..."},
        {cmd::Vendors, "&Vendors..."},
        {cmd::ProdTypes, "Product &types..."},
        {cmd::Products, "&Products..."},
        {cmd::OrderTypes, "&Order types..."},
        {cmd::Adjustments, "&Adjustment codes..."},
        {cmd::Setup, "&Setup..."},
        {cmd::ExpiryWatch, "Expiry &watch..."},
        {cmd::CsvImport, "I&mport from CSV..."},
    };
    for (const Entry& e : entries) {
        QAction* action = menu->addAction(tr(e.label));
        action->setData(static_cast<qlonglong>(e.id));
        const long id = e.id;
        connect(action, &QAction::triggered, this, [this, id] { host_.RunCommand(id); });
        actions_[e.id] = action;
        if (e.id == cmd::Inventory)
            menu->addSeparator();
    }
    menu->addSeparator();
    QAction* report = menu->addAction(tr("Product &report..."));
    report->setObjectName(QStringLiteral("productReport"));
    connect(report, &QAction::triggered, this, [this] { host_.RunProductReport(false); });
    QAction* lookup = menu->addAction(tr("Find product by &bar code..."));
    connect(lookup, &QAction::triggered, this, &HostMainWindow::LookUpBarCode);
    menu->addSeparator();
    QAction* quit = menu->addAction(tr("E&xit"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    BuildWindowMenu();
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    QAction* about = help->addAction(tr("&About Tavel..."));
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, &HostMainWindow::ShowAbout);
}

void HostMainWindow::BuildWindowMenu() {
    windowMenu_ = menuBar()->addMenu(tr("&Window"));
    windowMenu_->setObjectName(QStringLiteral("windowMenu"));
    connect(windowMenu_, &QMenu::aboutToShow, this, &HostMainWindow::FillWindowMenu);
    FillWindowMenu();
}

// The fixed entries, then one entry per open window (the active one checked).
void HostMainWindow::FillWindowMenu() {
    windowMenu_->clear();
    const auto add = [this](const QString& text, const QKeySequence& keys, auto slot) {
        QAction* a = windowMenu_->addAction(text);
        a->setShortcut(keys);
        connect(a, &QAction::triggered, mdi_, slot);
        return a;
    };
    add(tr("&Cascade"), QKeySequence(), &QMdiArea::cascadeSubWindows);
    add(tr("&Tile"), QKeySequence(), &QMdiArea::tileSubWindows);
    add(tr("Ne&xt"), QKeySequence(Qt::CTRL | Qt::Key_F6), &QMdiArea::activateNextSubWindow);
    add(tr("&Previous"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6),
        &QMdiArea::activatePreviousSubWindow);
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (windows.isEmpty())
        return;
    windowMenu_->addSeparator();
    auto* group = new QActionGroup(windowMenu_);
    int number = 0;
    for (QMdiSubWindow* child : windows) {
        ++number;
        const QString title =
            child->windowTitle().isEmpty() ? child->objectName() : child->windowTitle();
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                         : QStringLiteral("%1 %2").arg(number).arg(title);
        QAction* a = windowMenu_->addAction(text);
        a->setCheckable(true);
        a->setChecked(child == mdi_->activeSubWindow());
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, child] { mdi_->setActiveSubWindow(child); });
    }
}

void HostMainWindow::BuildStatusBar() {
    const auto part = [this](const char* name) {
        auto* label = new QLabel(this);
        label->setObjectName(QString::fromLatin1(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        statusBar()->addPermanentWidget(label);
        return label;
    };
    userLabel_ = part("statusUser");
    databaseLabel_ = part("statusDatabase");
    locationLabel_ = part("statusLocation");
    RefreshStatus();
}

void HostMainWindow::RefreshStatus() {
    WSIDatabase* db = host_.GetDb();
    const std::string login = host_.Login();
    userLabel_->setText(
        tr("Signed in: %1")
            .arg(QString::fromStdString(db && host_.User()
                                            ? tavelhost::UserDisplayName(*db, host_.User(), login)
                                            : login)));
    databaseLabel_->setText(
        tr("Database: %1")
            .arg(QString::fromStdString(db ? tavelhost::DatabaseDisplayName(*db) : std::string())));
    std::string code = host_.GetProfile()->GetString("Inventory", "Location", "");
    code.erase(code.find_last_not_of(' ') + 1);
    const std::string location = code.empty()
                                     ? host_.Text(kNoLocationMessage)
                                     : (db ? tavelhost::LocationDisplayName(*db, code) : code);
    locationLabel_->setText(tr("Location: %1").arg(QString::fromStdString(location)));
}

QString HostMainWindow::AboutText() const {
    const QString lines[] = {
        tr("Tavel inventory %1").arg(QStringLiteral(TAVEL_VERSION)),
        tr("Database schema version %1").arg(tavel::kSchemaVersion),
        tr("SQLite %1").arg(QString::fromLatin1(sqlite3_libversion())),
        tr("PostgreSQL client %1.%2").arg(PQlibVersion() / 10000).arg(PQlibVersion() % 10000),
        tr("Qt %1").arg(QString::fromLatin1(qVersion())),
        tr("libsodium %1").arg(QString::fromLatin1(sodium_version_string())),
    };
    QStringList text;
    for (const QString& line : lines)
        text << line;
    return text.join(QLatin1Char('\n'));
}

void HostMainWindow::ShowAbout() {
    QMessageBox::about(this, tr("About Tavel"), AboutText());
}

bool HostMainWindow::RestorePlacement() {
    const std::string saved = host_.GetProfile()->GetString(kPlacementSection, kPlacementKey, "");
    if (saved.empty())
        return false;
    return restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(saved)));
}

void HostMainWindow::closeEvent(QCloseEvent* event) {
    host_.GetProfile()->WriteString(kPlacementSection, kPlacementKey,
                                    saveGeometry().toBase64().toStdString());
    QMainWindow::closeEvent(event);
}

QIcon HostMainWindow::Icon(int resourceId) {
    constexpr int kInventoryIcon = 10142;
    if (resourceId != kInventoryIcon)
        return QIcon();
    if (inventoryIcon_.isNull()) {
        // A supply box: drawn once at the sizes a title bar and the task list use.
        for (int size : {16, 32}) {
            QPixmap pixmap(size, size);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            const qreal u = size / 16.0;
            painter.setPen(QPen(QColor(0x5a, 0x3d, 0x1e), u));
            painter.setBrush(QColor(0xc8, 0x94, 0x5a));
            painter.drawRect(QRectF(1.5 * u, 5 * u, 13 * u, 9.5 * u));
            painter.setBrush(QColor(0xe0, 0xb0, 0x78));
            painter.drawRect(QRectF(0.5 * u, 2 * u, 15 * u, 3 * u));
            painter.setBrush(QColor(0x1f, 0x6f, 0xb2));
            painter.setPen(Qt::NoPen);
            painter.drawRect(QRectF(7 * u, 7 * u, 2 * u, 6 * u));
            painter.drawRect(QRectF(5 * u, 9 * u, 6 * u, 2 * u));
            painter.end();
            inventoryIcon_.addPixmap(pixmap);
        }
    }
    return inventoryIcon_;
}

QAction* HostMainWindow::CommandAction(long commandId) const {
    auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
}

void HostMainWindow::ShowExpiryNotice() {
    WSIDatabase* db = host_.GetDb();
    std::string code = host_.GetProfile()->GetString("Inventory", "Location", "");
    code.erase(code.find_last_not_of(' ') + 1);
    if (!db || code.empty())
        return;
    const long lots = tavel::BIInvExpiry(db).CountWithin(kExpiryNoticeDays, code);
    if (lots == 0)
        return;
    char text[512];
    TVL_FORMAT(text, host_.Text(kExpiringLotsMessage).c_str(), lots, code.c_str(),
               kExpiryNoticeDays);
    // A widget of its own, not a passing message: hovering a menu would wipe that.
    auto* notice = new QLabel(QString::fromUtf8(text), this);
    notice->setObjectName(QStringLiteral("statusExpiry"));
    statusBar()->addWidget(notice, 1);
}

void HostMainWindow::Say(const QString& text) {
    statusBar()->showMessage(text);
}

// Command 36006 in its look-up use: the module finds the product for a scanned code.
void HostMainWindow::LookUpBarCode() {
    bool ok = false;
    const QString code = QInputDialog::getText(this, tr("Find product"), tr("Bar code:"),
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok || code.isEmpty())
        return;
    ProductLookupRequest request{};
    const QByteArray bytes = code.toUtf8().left(sizeof request.BarCode - 1);
    std::memcpy(request.BarCode, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!host_.RunCommand(cmd::Products, &request))
        return;
    if (request.Product)
        Say(tr("Bar code %1 is product %2").arg(code).arg(request.Product));
    else
        Say(QString::fromStdString(
            tavelhost::MessageWith(host_.Texts(), kProductNotFoundMessage, code.toStdString())));
}
