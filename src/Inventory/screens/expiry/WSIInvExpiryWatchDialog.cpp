#include "WSIInvExpiryWatchDialog.h"

#include "BoundedFormat.h"
#include "CCrystalReportObj.h"
#include "LocationChoice.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIDateEdit.h"
#include "WSIInvAdjDialog.h"
#include "WSIInvTransferDialog.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStyledItemDelegate>

#include <cstdio>

namespace {

using tavel::ExpiringLot;
using tavel::ExpiryUrgency;

QString DateText(const WSIDate& d) {
    return QString::asprintf("%02d/%02d/%04d", d.month, d.day, d.year);
}

QString Money(double value) {
    return QLocale(QLocale::English).toString(value, 'f', 2);
}

QString Quantity(double value) {
    return QString::number(value, 'g', 10);
}

// Paints each row in its lot's urgency colour; the selection keeps the usual highlight.
class UrgencyDelegate : public QStyledItemDelegate {
public:
    UrgencyDelegate(WSIListWindow* list) : QStyledItemDelegate(list), list_(list) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (const auto* lot = list_->RowData<ExpiringLot>(index.row())) {
            const QColor color = WSIInvExpiryWatchDialog::UrgencyColor(lot->urgency);
            if (color.isValid())
                option->backgroundBrush = color;
        }
    }

private:
    WSIListWindow* list_;
};

int Compare(double a, double b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Numbers and days compare as values, texts as text; ties keep the list's order.
int CompareLots(const WSIListRow& ra, const WSIListRow& rb, int column) {
    const ExpiringLot* a = ra.Data<ExpiringLot>();
    const ExpiringLot* b = rb.Data<ExpiringLot>();
    if (!a || !b)
        return 0;
    using C = WSIInvExpiryWatchDialog;
    switch (column) {
    case C::ColExpires:
    case C::ColDaysLeft:
    case C::ColStatus:
        return Compare(static_cast<double>(a->daysLeft), static_cast<double>(b->daysLeft));
    case C::ColLot:
        return Compare(static_cast<double>(a->invItem), static_cast<double>(b->invItem));
    case C::ColQuantity:
        return Compare(a->balance, b->balance);
    case C::ColCost:
        return Compare(a->costPerUnit, b->costPerUnit);
    case C::ColValue:
        return Compare(a->value, b->value);
    default:
        return QString::localeAwareCompare(ra.Text(column), rb.Text(column));
    }
}

} // namespace

WSIInvExpiryWatchDialog::WSIInvExpiryWatchDialog(QWidget* parent, WSIApplication* module,
                                                 const std::string& location)
    : WSIDialog(parent, module, kTemplate) {
    TVL_TRACE("WSIInvExpiryWatchDialog::WSIInvExpiryWatchDialog");
    setObjectName("expiryWatch");
    expiry_ = std::make_unique<tavel::BIInvExpiry>(Db());
    const QString title = LoadString(kMsgTitle);
    setWindowTitle(title.isEmpty() ? tr("Expiry watch") : title);
    new QVBoxLayout(this);
    BuildHeader();
    BuildList();
    BuildButtons();
    if (!location.empty()) {
        const int at = location_->findData(QString::fromStdString(location));
        if (at >= 0)
            location_->setCurrentIndex(at);
    }
    resize(1100, 560);
    CmSearch();
    window_->setFocus();
}

WSIInvExpiryWatchDialog::~WSIInvExpiryWatchDialog() = default;

void WSIInvExpiryWatchDialog::BuildHeader() {
    auto* grid = new QGridLayout;
    window_ = new QComboBox(this);
    window_->setObjectName("window");
    for (int days : kWindowDays)
        window_->addItem(tr("%1 days").arg(days));
    window_->addItem(tr("Until a day"));
    auto* windowLabel = new QLabel(tr("&Expiring within:"), this);
    windowLabel->setBuddy(window_);
    until_ = new WSIDateEdit(this);
    until_->setObjectName("untilDate");
    until_->setEnabled(false);
    location_ = new QComboBox(this);
    location_->setObjectName("location");
    location_->setMinimumContentsLength(24);
    location_->addItem(tr("All locations"), QString());
    if (WSIDatabase* db = Db()) {
        WSIInvLoc loc(db);
        for (bool found = loc.GetFirst(); found; found = loc.GetNext()) {
            if (loc.data.Inactive != 0)
                continue;
            const std::string code = tavel::scan::TrimmedCode(loc.data.InvLoc);
            location_->addItem(QString::fromStdString(code) + "  " +
                                   QString::fromUtf8(loc.data.Name).trimmed(),
                               QString::fromStdString(code));
        }
    }
    auto* locationLabel = new QLabel(tr("&Location:"), this);
    locationLabel->setBuddy(location_);
    auto* show = AddCommandButton(IdSearch, tr("&Show"));
    show->setObjectName("search");
    grid->addWidget(windowLabel, 0, 0);
    grid->addWidget(window_, 0, 1);
    grid->addWidget(until_, 0, 2);
    grid->addWidget(locationLabel, 0, 3);
    grid->addWidget(location_, 0, 4);
    grid->addWidget(show, 0, 5);
    grid->setColumnStretch(6, 1);
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
    setTabOrder(window_, until_);
    setTabOrder(until_, location_);
    setTabOrder(location_, show);
    SetCommand(IdSearch, [this] { CmSearch(); });
    connect(window_, &QComboBox::currentIndexChanged, this, [this](int index) {
        until_->setEnabled(index == kWindowByDate);
        if (index == kWindowByDate) {
            if (until_->IsEmpty() && Db())
                until_->SetDate(expiry_->WindowEnd(kWindowDays[0]));
            until_->setFocus();
        } else {
            CmSearch();
        }
    });
    connect(location_, &QComboBox::currentIndexChanged, this, [this] { CmSearch(); });
}

void WSIInvExpiryWatchDialog::BuildList() {
    list_ = new WSIListWindow(this);
    list_->setObjectName("list");
    list_->AddColumn(tr("Expires"), 90);
    list_->AddColumn(tr("Days left"), 70, Qt::AlignRight | Qt::AlignVCenter);
    list_->AddColumn(tr("Status"), 105);
    list_->AddColumn(tr("Location"), 195);
    list_->AddColumn(tr("Product"), 90);
    list_->AddColumn(tr("Description"), 245);
    list_->AddColumn(tr("Lot"), 55, Qt::AlignRight | Qt::AlignVCenter);
    list_->AddColumn(tr("Quantity"), 70, Qt::AlignRight | Qt::AlignVCenter);
    list_->AddColumn(tr("Unit"), 55);
    list_->AddColumn(tr("Cost"), 70, Qt::AlignRight | Qt::AlignVCenter);
    list_->AddColumn(tr("Value"), 85, Qt::AlignRight | Qt::AlignVCenter);
    list_->setItemDelegate(new UrgencyDelegate(list_));
    list_->SetColumnClickHandler([this](int column) { list_->Sort(CompareLots, column); });
    connect(list_, &WSIListWindow::rowSelectionChanged, this, [this] { EnableCommands(); });
    // Enter or a double-click on a lot: the usual end of an expired lot, its adjustment.
    connect(list_, &WSIListWindow::rowActivated, this, [this] { DoCommand(IdAdjust); });
    auto* body = static_cast<QVBoxLayout*>(layout());
    body->addWidget(list_, 1);

    // The legend: colour and the status column's word, so colour never speaks alone.
    auto* legend = new QHBoxLayout;
    for (ExpiryUrgency u : {ExpiryUrgency::Expired, ExpiryUrgency::Within30,
                            ExpiryUrgency::Within60, ExpiryUrgency::Later}) {
        auto* swatch = new QLabel(this);
        swatch->setFixedSize(14, 14);
        const QColor c = UrgencyColor(u);
        swatch->setStyleSheet(QStringLiteral("background: %1; border: 1px solid #808080;")
                                  .arg(c.isValid() ? c.name() : QStringLiteral("white")));
        legend->addWidget(swatch);
        legend->addWidget(new QLabel(UrgencyText(u), this));
        legend->addSpacing(12);
    }
    legend->addStretch(1);
    summary_ = new QLabel(this);
    summary_->setObjectName("summary");
    legend->addWidget(summary_);
    body->addLayout(legend);
}

void WSIInvExpiryWatchDialog::BuildButtons() {
    auto* row = new QHBoxLayout;
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
    const auto button = [&](int id, const QString& text, const char* name) {
        QPushButton* b = AddCommandButton(id, text);
        b->setObjectName(name);
        b->setAutoDefault(false);
        row->addWidget(b);
    };
    button(IdAdjust, tr("&Adjust..."), "adjust");
    button(IdTransfer, tr("&Transfer..."), "transfer");
    button(IdPrint, tr("&Print..."), "print");
    row->addStretch(1);
    button(cm::Cancel, tr("Close"), "close");
    SetCommand(IdAdjust, [this] { CmAdjust(); });
    SetCommand(IdTransfer, [this] { CmTransfer(); });
    SetCommand(IdPrint, [this] { CmPrint(); });
}

void WSIInvExpiryWatchDialog::EnableCommands() {
    const bool one = list_->SelectedCount() == 1;
    EnableCommand(IdAdjust, one);
    EnableCommand(IdTransfer, one);
    EnableCommand(IdPrint, !lots_.empty());
}

QColor WSIInvExpiryWatchDialog::UrgencyColor(ExpiryUrgency urgency) {
    // Light tints that differ in lightness as well as hue: apart for red-green colour
    // blindness and in grey print, and black text stays readable on each.
    switch (urgency) {
    case ExpiryUrgency::Expired:
        return QColor(0xE8, 0x9A, 0xA8);
    case ExpiryUrgency::Within30:
        return QColor(0xF5, 0xC0, 0x7A);
    case ExpiryUrgency::Within60:
        return QColor(0xFB, 0xEB, 0xA8);
    case ExpiryUrgency::Later:
        break;
    }
    return QColor();
}

QString WSIInvExpiryWatchDialog::UrgencyText(ExpiryUrgency urgency) {
    switch (urgency) {
    case ExpiryUrgency::Expired:
        return tr("Expired");
    case ExpiryUrgency::Within30:
        return tr("Within 30 days");
    case ExpiryUrgency::Within60:
        return tr("Within 60 days");
    case ExpiryUrgency::Later:
        break;
    }
    return tr("Later");
}

WSIDate WSIInvExpiryWatchDialog::WindowEnd() const {
    const int index = window_->currentIndex();
    if (index >= 0 && index < kWindowByDate)
        return expiry_->WindowEnd(kWindowDays[index]);
    return until_->IsValid() && !until_->IsEmpty() ? until_->GetDate() : WSIDate{};
}

std::string WSIInvExpiryWatchDialog::LocationCode() const {
    return location_->currentData().toString().toStdString();
}

void WSIInvExpiryWatchDialog::CmSearch() {
    TVL_TRACE("WSIInvExpiryWatchDialog::CmSearch");
    if (!Db())
        return;
    const WSIDate until = WindowEnd();
    if (until.IsNull()) {
        MessageBox(kMsgBadDate, mb::OK | mb::ICONINFORMATION);
        until_->setFocus();
        return;
    }
    WSIWaitCursor wait;
    lots_ = expiry_->Lots(until, LocationCode());
    std::vector<WSIListRow> rows;
    rows.reserve(lots_.size());
    double total = 0;
    for (const ExpiringLot& lot : lots_) {
        WSIListRow row;
        row.cells = {DateText(lot.expiryDate),
                     QString::number(lot.daysLeft),
                     UrgencyText(lot.urgency),
                     QString::fromStdString(lot.invLoc + "  " + lot.locationName),
                     QString::fromStdString(lot.productCode),
                     QString::fromStdString(lot.description),
                     QString::number(lot.invItem),
                     Quantity(lot.balance),
                     QString::fromStdString(lot.unit),
                     Money(lot.costPerUnit),
                     Money(lot.value)};
        row.data = WSIRowData::Make(lot);
        total += lot.value;
        rows.push_back(std::move(row));
    }
    list_->Model()->SetRows(std::move(rows));
    summary_->setText(
        tr("%n lot(s), value %1", nullptr, static_cast<int>(lots_.size())).arg(Money(total)));
    if (!lots_.empty())
        list_->SelectRow(0);
    EnableCommands();
}

std::optional<ExpiringLot> WSIInvExpiryWatchDialog::ChosenLot() {
    const int row = list_->FirstSelected();
    const ExpiringLot* selected = row >= 0 ? list_->RowData<ExpiringLot>(row) : nullptr;
    if (!selected) {
        MessageBox(kMsgSelectLot, mb::OK | mb::ICONINFORMATION);
        return std::nullopt;
    }
    const ExpiringLot lot = *selected;
    WSIInvItem item(Db());
    item.data.InvItem = lot.invItem;
    if (item.GetEqual(__FILE__, __LINE__) && item.data.Balance > 0)
        return lot;
    // Used or moved at another workstation since the list was read.
    MessageBox(kMsgLotGone, mb::OK | mb::ICONINFORMATION);
    CmSearch();
    return std::nullopt;
}

void WSIInvExpiryWatchDialog::FillEntry(WSIInvScanDialog& screen, const ExpiringLot& lot) {
    if (auto* quantity = screen.findChild<QLineEdit*>("quantity"))
        quantity->setText(Quantity(lot.balance));
    screen.Entry()->SetTextQuietly(QString::fromStdString(lot.productCode));
}

void WSIInvExpiryWatchDialog::CmAdjust() {
    TVL_TRACE("WSIInvExpiryWatchDialog::CmAdjust");
    const std::optional<ExpiringLot> lot = ChosenLot();
    if (!lot)
        return;
    {
        WSIInvAdjDialog adjust(this, Module());
        tavel::scan::ChooseLocation(*adjust.LocationList(), lot->invLoc);
        const std::string code = expiry_->ExpiredStockCode();
        adjust.CodeField()->setText(QString::fromStdString(code));
        FillEntry(adjust, *lot);
        // Without a code for expired stock the user picks one first; else Enter confirms.
        if (code.empty())
            adjust.CodeField()->setFocus();
        else
            adjust.Entry()->setFocus();
        WSIRunModal(adjust);
    }
    CmSearch();
}

void WSIInvExpiryWatchDialog::CmTransfer() {
    TVL_TRACE("WSIInvExpiryWatchDialog::CmTransfer");
    const std::optional<ExpiringLot> lot = ChosenLot();
    if (!lot)
        return;
    {
        // Scanned by product: the user chooses where the lot goes and confirms with Enter.
        WSIInvTransferDialog transfer(this, Module());
        if (auto* from = transfer.findChild<QComboBox*>("transferFrom"))
            tavel::scan::ChooseLocation(*from, lot->invLoc);
        FillEntry(transfer, *lot);
        if (auto* to = transfer.findChild<QComboBox*>("transferTo"))
            to->setFocus();
        WSIRunModal(transfer);
    }
    CmSearch();
}

void WSIInvExpiryWatchDialog::CmPrint() {
    TVL_TRACE("WSIInvExpiryWatchDialog::CmPrint");
    const WSIDate until = WindowEnd();
    if (until.IsNull()) {
        MessageBox(kMsgBadDate, mb::OK | mb::ICONINFORMATION);
        until_->setFocus();
        return;
    }
    const std::string location = LocationCode();
    char year[32], month[32], day[32];
    TVL_FORMAT(year, "%d", until.year);
    TVL_FORMAT(month, "%d", until.month);
    TVL_FORMAT(day, "%d", until.day);
    ST_FORMULAS formulas[5];
    SetStringFormula(formulas[0], "UntilYear", year);
    SetStringFormula(formulas[1], "UntilMonth", month);
    SetStringFormula(formulas[2], "UntilDay", day);
    SetStringFormula(formulas[3], "AllLocations", location.empty() ? "1" : "0");
    SetStringFormula(formulas[4], "InvLoc", location.c_str());
    WSIWaitCursor wait;
    const QByteArray title = windowTitle().toUtf8();
    CCrystalReportObj report(Module() ? Module()->GetCrystalEngine() : nullptr, kReportFile,
                             title.constData(), 1, this);
    report.SetFormulas(formulas, 5);
    report.SetFormulaError(true);
    report.Print(false, true);
}
