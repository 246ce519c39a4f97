#include "HostMainWindow.h"

#include "CommandParameters.h"
#include "HostDatabase.h"
#include "TavelHost.h"

#include <QAction>
#include <QInputDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

#include <cstring>

namespace {
constexpr unsigned kScreenNotAvailableMessage = 39404;
constexpr unsigned kProductNotFoundMessage = 39407;
} // namespace

HostMainWindow::HostMainWindow(TavelHost& host) : host_(host), mdi_(new QMdiArea(this)) {
    setWindowTitle(QStringLiteral("Tavel"));
    mdi_->setObjectName(QStringLiteral("mdiClient"));
    setCentralWidget(mdi_);
    BuildMenus();
    host_.SetMainWindow(this);
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
        bool available;
    };
    // Screens that come later: their entries stay visible but disabled.
    const Entry entries[] = {
        {cmd::Inventory, "&Inventory", true},
        {cmd::Locations, "&Locations...", true},
        {cmd::Units, "&Units...", true},
        {cmd::Vendors, "&Vendors...", true},
        {cmd::ProdTypes, "Product &types...", true},
        {cmd::Products, "&Products...", true},
        {cmd::OrderTypes, "&Order types...", true},
        {cmd::Adjustments, "&Adjustment codes...", true},
        {cmd::Setup, "&Setup...", true},
    };
    const QString notYet = QString::fromStdString(host_.Text(kScreenNotAvailableMessage));
    for (const Entry& e : entries) {
        QAction* action = menu->addAction(tr(e.label));
        action->setData(static_cast<qlonglong>(e.id));
        action->setEnabled(e.available);
        if (!e.available)
            action->setToolTip(notYet);
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
}

QAction* HostMainWindow::CommandAction(long commandId) const {
    auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
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
