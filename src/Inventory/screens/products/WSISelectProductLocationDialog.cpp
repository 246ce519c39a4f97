#include "WSISelectProductLocationDialog.h"

#include "ProductQueries.h"
#include "Records.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIListWindow.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

// A product location row with the location's name.
#define TVL_PRDLOC_NAME_COLUMNS(X) TVL_PRDLOC_COLUMNS(X) X(Name, Text, ColWidth::PlaceName, false)
TVL_ROW_RECORD(WSIPrdLocNameRow, TVL_PRDLOC_NAME_COLUMNS);
TVL_ROW_DESC(WSIPrdLocNameRow, "PRDLOCNAME", TVL_PRDLOC_NAME_COLUMNS)

namespace {
constexpr unsigned kMsgNotStocked = 38164;
constexpr unsigned kMsgCaption = 38167;
} // namespace

WSISelectProductLocationDialog::WSISelectProductLocationDialog(QWidget* parent,
                                                               WSIApplication* module, long product,
                                                               bool select, bool orderableOnly)
    : WSIDialog(parent, module, 25024), product_(product), select_(select),
      orderableOnly_(orderableOnly), list_(new WSIListWindow(this)) {
    TVL_TRACE("WSISelectProductLocationDialog::WSISelectProductLocationDialog");
    setObjectName(QStringLiteral("WSISelectProductLocationDialog"));
    list_->setObjectName(QStringLiteral("prdLocSelectList"));
    setWindowTitle(select ? tr("Choose a location") : LoadString(kMsgCaption));
    auto* layout = new QVBoxLayout(this);
    auto* header = new QFormLayout;
    layout->addLayout(header);
    WSIDatabase* db = module ? module->GetDb() : nullptr;
    if (db) {
        WSIProduct p(db);
        p.data.Product = product;
        if (p.GetEqual(__FILE__, __LINE__)) {
            const auto value = [this](const char* text) {
                auto* label = new QLabel(QString::fromUtf8(text).trimmed(), this);
                label->setTextInteractionFlags(Qt::TextSelectableByMouse);
                return label;
            };
            header->addRow(tr("Product"), value(p.data.ProductCode));
            header->addRow(tr("Unit"), value(p.data.Unit));
            header->addRow(tr("Description"), value(p.data.Description));
        }
    }
    list_->AddColumn(tr("Location"), 90);
    list_->AddColumn(tr("Name"), 220);
    list_->AddColumn(tr("Quantity"), 110, Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(list_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(AddCommandButton(cm::Ok, select ? tr("&Select") : tr("Close")));
    if (select)
        buttons->addWidget(AddCommandButton(cm::Cancel, tr("Cancel")));
    layout->addLayout(buttons);
    connect(list_, &WSIListWindow::rowActivated, this, [this](int) {
        if (select_)
            DoCommand(cm::Ok);
    });
    LoadList();
    resize(520, 360);
}

int WSISelectProductLocationDialog::LoadList() {
    TVL_TRACE("WSISelectProductLocationDialog::LoadList");
    list_->Clear();
    WSIDatabase* db = Module() ? Module()->GetDb() : nullptr;
    if (!db)
        return 0;
    WSIPrdLocNameRow row{};
    auto cursor = db->Query(__FILE__, __LINE__,
                            "SELECT %s, I.\"Name\" FROM PRDLOC P, INVLOC I  WHERE P.\"Product\" = "
                            "%ld AND P.\"InvLoc\" = I.\"InvLoc\" AND P.\"Inactive\" = 0 %s",
                            WSIResult(WSIPrdLocNameRow::Table(), &row),
                            db->GetTableColumns(__LINE__, __FILE__, "PRDLOC", "P"), product_,
                            orderableOnly_ ? " AND P.\"CanOrderFrom\" = 1 " : "");
    const QString notStocked = LoadString(kMsgNotStocked);
    for (bool found = cursor->GetFirst(); found; found = cursor->GetNext()) {
        const QString quantity = row.Stocked ? QString::fromStdString(tavel::products::QuantityText(
                                                   row.TrackUsage, row.Balance, row.LastCount))
                                             : notStocked;
        list_->AppendRow({QString::fromUtf8(row.InvLoc).trimmed(),
                          QString::fromUtf8(row.Name).trimmed(), quantity});
    }
    if (list_->RowCount() > 0)
        list_->SelectRow(0);
    return list_->RowCount();
}

void WSISelectProductLocationDialog::GetInvLoc(char* buffer, int size) const {
    if (!buffer || size <= 0)
        return;
    std::memset(buffer, 0, static_cast<std::size_t>(size));
    std::memcpy(buffer, chosen_.data(),
                std::min(chosen_.size(), static_cast<std::size_t>(size - 1)));
}

void WSISelectProductLocationDialog::CmOk() {
    const int row = list_->FirstSelected();
    chosen_ = row >= 0 ? list_->ItemText(row, 0).toStdString() : std::string();
    CloseWindow(id::OK);
}
