#include "WSIMultiPrdLocDialog.h"

#include "BICatalogue.h"
#include "ProductLookups.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIListWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr unsigned kTitle = 39803;

struct ProductRowData {
    long product = 0;
};

bool IsNumberColumn(int column) {
    using C = WSIMultiPrdLocDialog::Column;
    return column == C::ColBalance || column == C::ColMin || column == C::ColReorder ||
           column == C::ColMax;
}
} // namespace

bool OpenProductLocationScreen(WSIDialog* parent, long product, const QString& invLoc) {
    TVL_TRACE("OpenProductLocationScreen");
    if (!parent || product <= 0)
        return false;
    tavel::products::ShowProductLocations(parent, parent->Module(), product, invLoc.toStdString());
    return true;
}

WSIMultiPrdLocDialog::WSIMultiPrdLocDialog(QWidget* parent, WSIApplication* module,
                                           const QString& invLoc, const QString& name)
    : WSIDialog(parent, module, kTemplate), invLoc_(invLoc), list_(new WSIListWindow(this)) {
    setObjectName(QStringLiteral("WSIMultiPrdLocDialog"));
    list_->setObjectName(QStringLiteral("productList"));
    setWindowTitle(LoadString(kTitle).replace(
        QStringLiteral("%s"), name.isEmpty() ? invLoc : invLoc + QStringLiteral(" - ") + name));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    list_->AddColumn(tr("Code"), 110);
    list_->AddColumn(tr("Description"), 250);
    list_->AddColumn(tr("Bin"), 110);
    list_->AddColumn(tr("Balance"), 80, Qt::AlignRight | Qt::AlignVCenter);
    list_->AddColumn(tr("Unit"), 80);
    list_->AddColumn(tr("Minimum"), 70, Qt::AlignRight | Qt::AlignVCenter);
    list_->AddColumn(tr("Reorder"), 70, Qt::AlignRight | Qt::AlignVCenter);
    list_->AddColumn(tr("Maximum"), 70, Qt::AlignRight | Qt::AlignVCenter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AddCommandButton(CmEditPrdLoc, tr("&Change...")));
    buttons->addWidget(AddCommandButton(CmPrintList, tr("&Print")));
    buttons->addWidget(AddCommandButton(cm::Ok, tr("Close")));
    layout->addLayout(buttons);
    SetCommand(CmEditPrdLoc, [this] { EditPrdLoc(); });
    SetCommand(CmPrintList, [this] { PrintList(); });
    list_->SetColumnClickHandler([this](int column) { SortBy(column); });
    connect(list_, &WSIListWindow::rowSelectionChanged, this, [this] { UpdateCommands(); });
    connect(list_, &WSIListWindow::rowActivated, this, [this](int) { DoCommand(CmEditPrdLoc); });
    resize(900, 480);
    LoadList();
}

void WSIMultiPrdLocDialog::LoadList() {
    TVL_TRACE("WSIMultiPrdLocDialog::LoadList");
    WSIWaitCursor wait;
    list_->Clear();
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (db) {
        BICatalogue catalogue(db);
        const QByteArray code = invLoc_.toUtf8();
        std::vector<WSIListRow> rows;
        for (const LocationProductRow& r : catalogue.ProductsAtLocation(code.constData())) {
            WSIListRow row;
            row.cells = {QString::fromStdString(r.code),  QString::fromStdString(r.description),
                         QString::fromStdString(r.bin),   QString::number(r.balance, 'g', 10),
                         QString::fromStdString(r.unit),  QString::number(r.minCount),
                         QString::number(r.reorderCount), QString::number(r.maxCount)};
            row.marks = r.inactive ? rowmark::Cancelled : 0;
            row.data = WSIRowData::Make(ProductRowData{r.product});
            rows.push_back(std::move(row));
        }
        list_->Model()->SetRows(std::move(rows));
    }
    UpdateCommands();
}

void WSIMultiPrdLocDialog::SortBy(int column) {
    list_->Sort(
        [](const WSIListRow& a, const WSIListRow& b, int col) {
            if (IsNumberColumn(col)) {
                const double x = a.Text(col).toDouble();
                const double y = b.Text(col).toDouble();
                return x < y ? -1 : (x > y ? 1 : 0);
            }
            return QString::localeAwareCompare(a.Text(col), b.Text(col));
        },
        column);
}

void WSIMultiPrdLocDialog::UpdateCommands() {
    EnableCommand(CmEditPrdLoc, list_->FirstSelected() >= 0);
    EnableCommand(CmPrintList, list_->RowCount() > 0);
}

void WSIMultiPrdLocDialog::EditPrdLoc() {
    TVL_TRACE("WSIMultiPrdLocDialog::EditPrdLoc");
    const ProductRowData* row = list_->RowData<ProductRowData>(list_->FirstSelected());
    if (row && OpenProductLocationScreen(this, row->product, invLoc_))
        LoadList();
}

void WSIMultiPrdLocDialog::PrintList() {
    TVL_TRACE("WSIMultiPrdLocDialog::PrintList");
    if (!Module())
        return;
    const QByteArray title = windowTitle().toUtf8();
    PrintListRequest request;
    request.list = list_;
    request.title = title.constData();
    Module()->SendMainWindowMessage(hostmsg::kPrintList, &request);
}
