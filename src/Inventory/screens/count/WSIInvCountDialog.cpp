#include "WSIInvCountDialog.h"

#include "BIException.h"
#include "BIInvCount.h"
#include "BoundedFormat.h"
#include "InventoryListRows.h"
#include "InventoryModule.h"
#include "LocationChoice.h"
#include "RecordMacros.h"
#include "Records.h"
#include "SqlText.h"
#include "Trace.h"
#include "WSIBarCodeFuncs.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"
#include "schema/InventoryCodes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <climits>
#include <vector>

// A row of the count statements: the product location, then what the list shows of its
// product and the count marker of this batch (0 when the product has none).
#define TVL_COUNT_ROW_COLUMNS(X)                                                                   \
    TVL_PRDLOC_COLUMNS(X)                                                                          \
    X(TypeDesc, Text, ColWidth::CodeDesc, false)                                                   \
    X(CatDesc, Text, ColWidth::CodeDesc, false)                                                    \
    X(ProductCode, Text, ColWidth::ProductCode, false)                                             \
    X(Description, Text, ColWidth::ProductDesc, false)                                             \
    X(Unit, Text, ColWidth::Unit, false)                                                           \
    X(BatchId, Id, 0, false)

TVL_ROW_RECORD(WSICountRow, TVL_COUNT_ROW_COLUMNS);
TVL_ROW_DESC(WSICountRow, "COUNT_LIST_ROW", TVL_COUNT_ROW_COLUMNS)

namespace {

constexpr char kSelect[] =
    "SELECT %s, PT.\"Description\" \"TypeDesc\",  PC.\"Description\" \"CatDesc\", "
    "P.\"ProductCode\", P.\"Description\", P.\"Unit\", I.\"BatchId\"  FROM PRDLOC PL, PRODUCT P, "
    "PRDTYPE PT, PRDCAT PC, INVITDET I  WHERE ";
constexpr char kJoin[] =
    " AND PL.\"Product\" = P.\"Product\"  AND P.\"PrdType\" = PT.\"PrdType\" AND P.\"PrdType\" = "
    "PC.\"PrdType\"  AND P.\"PrdCat\" = PC.\"PrdCat\" AND PL.\"Product\" = I.\"Product\" (+)  AND "
    "PL.\"InvLoc\" = I.\"InvLoc\" (+) AND I.\"Type\" (+) = %d AND I.\"BatchId\" (+) = %ld";
constexpr char kActiveOnly[] = " AND PL.\"Inactive\" = 0 AND P.\"Inactive\" = 0 ";
constexpr char kNoTrackUsage[] = " AND PL.\"TrackUsage\" = 0 ";

// The order of each sort column (the list's columns); any other column sorts by bin.
const char* OrderOf(int column) {
    switch (column) {
    case 0:
        return " ORDER BY PT.\"Description\", PC.\"Description\", P.\"ProductCode\"";
    case 1:
        return " ORDER BY PC.\"Description\", P.\"ProductCode\"";
    case 2:
        return " ORDER BY P.\"ProductCode\"";
    case 3:
        return " ORDER BY P.\"Description\"";
    case 5:
        return " ORDER BY P.\"Unit\"";
    case 6:
        return " ORDER BY PL.\"TrackUsage\" DESC, PL.\"Balance\"";
    case 7:
        return " ORDER BY PL.\"TrackUsage\", PL.\"LastCount\", PL.\"LastCountDate\"";
    case 8:
        return " ORDER BY PL.\"TrackUsage\", PL.\"LastCountDate\", PL.\"LastCount\"";
    case 9:
        return " ORDER BY NVL(I.\"BatchId\", 0) DESC, PL.\"LastCount\"";
    default:
        return " ORDER BY PL.\"Bin\", P.\"ProductCode\"";
    }
}

QString Text(const char* s) {
    return QString::fromUtf8(s).trimmed();
}

QString Amount(double value) {
    return QString::fromStdString(tavel::views::AmountText(value));
}

} // namespace

WSIInvCountDialog::WSIInvCountDialog(QWidget* parent, WSIApplication* module)
    : WSIInvScanListDialog(parent, module, kTemplate) {
    TVL_TRACE("WSIInvCountDialog::WSIInvCountDialog");
    setWindowTitle(LoadString(kMsgPrintTitle));
    count_ = std::make_unique<BIInvCount>(Db());
    if (Db())
        Db()->GetCurrentDate(today_);
    // Finding none of a product is a count like any other.
    SetAllowZeroQuantity(true);
    fillRow_ = std::make_unique<WSICountRow>();
    fillTimer_ = new QTimer(this);
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, [this] { FillStep(kFillStep); });
    BuildHeader();
    BuildButtons();

    const QStringList headings = {
        tr("Type"), tr("Category"), tr("Product Code"), tr("Description"), tr("Bin"),
        tr("Unit"), tr("Balance"),  tr("Last Count"),   tr("Count Date"),  tr("Counted")};
    const int widths[] = {150, 170, 100, 240, 60, 55, 70, 80, 90, 70};
    for (int i = 0; i < headings.size(); ++i) {
        const bool number = i >= ColBalance && i != ColLastCountDate;
        List()->AddColumn(headings[i], widths[i],
                          (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    List()->horizontalHeader()->setSectionsClickable(true);
    List()->horizontalHeader()->setStretchLastSection(true);
    List()->SetColumnClickHandler([this](int column) { EvColumnClick(column); });
    SetQuantityColumn(ColCounted);
    resize(1100, 640);

    FillLocations();
    FillCountCodes();
    CmSearch();
}

WSIInvCountDialog::~WSIInvCountDialog() {
    StopFill();
}

void WSIInvCountDialog::BuildHeader() {
    auto* grid = new QGridLayout;
    HeaderLayout()->addLayout(grid);
    location_ = new QComboBox(this);
    location_->setObjectName("location");
    location_->setMinimumContentsLength(24);
    auto* locationLabel = new QLabel(tr("&Location:"), this);
    locationLabel->setBuddy(location_);
    countCode_ = new QComboBox(this);
    countCode_->setObjectName("countCode");
    countCode_->setMinimumContentsLength(24);
    countCodeLabel_ = new QLabel(tr("Count c&ode:"), this);
    countCodeLabel_->setObjectName("countCodeLabel");
    countCodeLabel_->setBuddy(countCode_);
    includeInactive_ = new QCheckBox(tr("&Inactive products too"), this);
    includeInactive_->setObjectName("includeInactive");
    includeTrackUsage_ = new QCheckBox(tr("Products that track &usage too"), this);
    includeTrackUsage_->setObjectName("includeTrackUsage");
    notCountedOnly_ = new QCheckBox(tr("Not counted &yet only"), this);
    notCountedOnly_->setObjectName("notCountedOnly");
    AddControl(IdIncludeInactive, includeInactive_);
    AddControl(IdIncludeTrackUsage, includeTrackUsage_);
    AddControl(IdNotCountedOnly, notCountedOnly_);
    QPushButton* search = AddCommandButton(CmSearchId, tr("&Search"));
    search->setObjectName("search");
    progress_ = new QLabel(this);
    progress_->setObjectName("progress");
    QFont bold = progress_->font();
    bold.setBold(true);
    progress_->setFont(bold);

    grid->addWidget(locationLabel, 0, 0);
    grid->addWidget(location_, 0, 1);
    grid->addWidget(countCodeLabel_, 0, 2);
    grid->addWidget(countCode_, 0, 3);
    grid->addWidget(search, 0, 5);
    grid->addWidget(includeInactive_, 1, 1);
    grid->addWidget(includeTrackUsage_, 1, 3);
    grid->addWidget(notCountedOnly_, 1, 5);
    grid->addWidget(progress_, 2, 0, 1, 6);
    grid->setColumnStretch(4, 1);

    SetCommand(CmSearchId, [this] { CmSearch(); });
    connect(location_, &QComboBox::currentIndexChanged, this, [this] { EvLocationComboChange(); });
    for (QCheckBox* box : {includeInactive_, includeTrackUsage_, notCountedOnly_})
        connect(box, &QCheckBox::toggled, this, [this] { CmSearch(); });
}

void WSIInvCountDialog::BuildButtons() {
    AddListButton(CmModifyId, tr("Modify"), "modify");
    AddListButton(CmClearId, tr("Clear"), "clear");
    AddListButton(CmPrintId, tr("Print"), "print");
    ButtonRow()->addStretch();
    QPushButton* close = AddCommandButton(cm::Cancel, tr("Close"));
    close->setObjectName("close");
    ButtonRow()->addWidget(close);
}

void WSIInvCountDialog::FillLocations() {
    tavel::scan::FillActiveLocations(*location_, Db(), Module() ? Module()->GetProfile() : nullptr);
    // Counting needs a location: the first one when the workstation names none.
    if (location_->currentIndex() < 0 && location_->count() > 0)
        location_->setCurrentIndex(0);
}

void WSIInvCountDialog::FillCountCodes() {
    countCode_->clear();
    if (Db()) {
        WSIInvAdj adj(Db());
        for (bool found = adj.GetFirst(); found; found = adj.GetNext())
            if (adj.data.Type == tavel::AdjustmentType::Count && adj.data.Inactive == 0)
                countCode_->addItem(Text(adj.data.InvAdj) + "\t" + Text(adj.data.Description));
    }
    // With one code there is nothing to choose.
    const bool choice = countCode_->count() >= 2;
    countCode_->setVisible(choice);
    countCodeLabel_->setVisible(choice);
    countCode_->setCurrentIndex(countCode_->count() > 0 ? 0 : -1);
}

std::string WSIInvCountDialog::Location() const {
    return tavel::scan::ChosenLocation(*location_);
}

std::string WSIInvCountDialog::CountCode() const {
    return countCode_->currentText().section('\t', 0, 0).left(ColWidth::InvAdj).toStdString();
}

WSIScanLine* WSIInvCountDialog::LineAt(int row) const {
    return List()->RowData<WSICountLine>(row);
}

int WSIInvCountDialog::RowOf(long product) const {
    for (int row = 0; row < List()->RowCount(); ++row)
        if (const WSIScanLine* line = LineAt(row); line && line->product == product)
            return row;
    return -1;
}

std::string WSIInvCountDialog::RowSql(long product) const {
    const std::string loc = tavel::EscapeQuotes(Location().c_str());
    const char* columns = Db()->GetTableColumns(__LINE__, __FILE__, "PRDLOC", "PL");
    const int marker = tavel::MovementType::CountMarker;
    char sql[4096];
    std::string format = kSelect;
    if (product != 0) {
        format += "PL.\"Product\" = %ld AND PL.\"InvLoc\" = '%s'";
        format += kJoin;
        TVL_FORMAT(sql, format.c_str(), columns, product, loc.c_str(), marker, batchId_);
        return sql;
    }
    format += "PL.\"InvLoc\" = '%s'";
    format += kJoin;
    if (!includeInactive_->isChecked())
        format += kActiveOnly;
    if (!includeTrackUsage_->isChecked())
        format += kNoTrackUsage;
    format += OrderOf(sortColumn_);
    TVL_FORMAT(sql, format.c_str(), columns, loc.c_str(), marker, batchId_);
    return sql;
}

QStringList WSIInvCountDialog::CellsOf(const WSICountRow& r, bool& counted) const {
    QStringList c;
    c.reserve(ColumnCount);
    c << Text(r.TypeDesc) << Text(r.CatDesc) << Text(r.ProductCode) << Text(r.Description)
      << Text(r.Bin) << Text(r.Unit);
    const bool dated = !r.LastCountDate.IsNull();
    const QString date =
        dated ? QString::fromStdString(tavel::views::DateText(r.LastCountDate)) : QString();
    if (r.TrackUsage == 0)
        c << QString() << Amount(r.LastCount) << date;
    else
        c << Amount(r.Balance) << (dated ? Amount(r.LastCount) : QString()) << date;
    // Counted in this run: the marker is this batch's and the count is today's.
    counted = batchId_ != 0 && r.BatchId == batchId_ && r.LastCountDate == today_;
    c << (counted ? Amount(r.LastCount) : QString());
    return c;
}

void WSIInvCountDialog::CmSearch() {
    TVL_TRACE("WSIInvCountDialog::CmSearch");
    WSIWaitCursor wait;
    StopFill();
    List()->ClearRowSelection();
    List()->Clear();
    listed_.clear();
    countedListed_ = 0;
    const std::string loc = Location();
    if (Db() && !loc.empty()) {
        *fillRow_ = {};
        fill_ = Db()->Query(__FILE__, __LINE__, "%s",
                            WSIResult(WSICountRow::Table(), fillRow_.get()), RowSql(0).c_str());
        fillStarted_ = false;
        // The first rows at once, the rest while the screen waits for the first scan.
        std::vector<WSIListRow> rows;
        ReadRows(kFirstPage, rows);
        List()->Model()->SetRows(std::move(rows));
        if (fill_)
            fillTimer_->start();
    }
    sortColumn_ = kDefaultSort;
    ShowProgress();
    Reset();
    SetNextFocusItem();
}

bool WSIInvCountDialog::ReadRows(int most, std::vector<WSIListRow>& rows) {
    const bool pending = notCountedOnly_->isChecked();
    const WSICountRow& r = *fillRow_;
    for (int read = 0; fill_ && read < most; ++read) {
        const bool more = fillStarted_ ? fill_->GetNext() : fill_->GetFirst();
        fillStarted_ = true;
        if (!more) {
            fill_.reset();
            break;
        }
        // A product with several count markers of one batch (another code) once.
        if (!listed_.insert(r.Product).second)
            continue;
        bool counted = false;
        QStringList cells = CellsOf(r, counted);
        if (counted)
            counted_[r.Product] = static_cast<short>(r.LastCount);
        const bool done = counted_.count(r.Product) != 0;
        countedListed_ += done;
        if (pending && done)
            continue;
        auto line = std::make_shared<WSICountLine>();
        line->product = r.Product;
        line->counted = done;
        line->quantity = static_cast<short>(r.LastCount);
        rows.push_back({std::move(cells), WSIRowData(line), 0});
    }
    return fill_ != nullptr;
}

void WSIInvCountDialog::FillStep(int most) {
    std::vector<WSIListRow> rows;
    const bool more = ReadRows(most, rows);
    List()->BeginBatch();
    for (WSIListRow& row : rows)
        List()->AppendRow(std::move(row.cells), std::move(row.data));
    List()->EndBatch();
    if (!more)
        fillTimer_->stop();
    ShowProgress();
}

void WSIInvCountDialog::CompleteFill() {
    if (fill_) {
        WSIWaitCursor wait;
        FillStep(INT_MAX);
    }
}

void WSIInvCountDialog::StopFill() {
    fillTimer_->stop();
    fill_.reset();
}

void WSIInvCountDialog::EvColumnClick(int column) {
    sortColumn_ = column;
    CmSearch();
}

void WSIInvCountDialog::EvLocationComboChange() {
    StopFill();
    List()->ClearRowSelection();
    List()->Clear();
    listed_.clear();
    countedListed_ = 0;
    ShowProgress();
}

int WSIInvCountDialog::CountedProducts() const {
    return countedListed_;
}

void WSIInvCountDialog::ShowProgress() {
    const int done = countedListed_;
    const int total = static_cast<int>(listed_.size());
    char text[256];
    const QByteArray format =
        LoadString(done == total && total > 0 ? kMsgAllCounted : kMsgProgress).toUtf8();
    TVL_FORMAT(text, format.constData(), done, total, total - done);
    progress_->setText(total == 0 ? QString() : QString::fromUtf8(text));
}

bool WSIInvCountDialog::ScannedQuantity(short& quantity) {
    if (RawBarCode().empty())
        return true;
    WSIBarCodeFuncs scan;
    if (!scan.ScanBarCode(RawBarCode().c_str(),
                          WSIBarCodeFuncs::kModeGs1 | WSIBarCodeFuncs::kModePlain) ||
        !scan.Fields().hasCount)
        return true;
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    const long most = app ? static_cast<long>(app->GetMaxQuantityAllowed()) : 9999;
    if (scan.Fields().count > most) {
        ErrorSignal();
        ShowRefusal(kMsgInvalidQuantity);
        ErrorFeedback();
        ResetInput(false);
        return false;
    }
    quantity = static_cast<short>(scan.Fields().count);
    return true;
}

void WSIInvCountDialog::DoScan(bool, bool, bool, bool) {
    TVL_TRACE("WSIInvCountDialog::DoScan");
    // Nothing is written while the list's cursor is open.
    CompleteFill();
    const long product = CurrentProduct();
    short quantity = Quantity();
    if (!replace_ && !ScannedQuantity(quantity))
        return;
    const std::string loc = Location();
    const std::string code = CountCode();
    if (loc.empty() || code.empty()) {
        ErrorSignal();
        ShowRefusal(loc.empty() ? kMsgNoLocation : kMsgNoCountCode);
        ErrorFeedback();
        ResetInput(false);
        replace_ = false;
        return;
    }
    const bool wasNew = newBatch_;
    long total = quantity;
    const bool stored = RunBusiness([&] {
        if (quantity < 0)
            throw NegativeQuantityErr();
        if (newBatch_)
            batchId_ = count_->InitBatch(loc.c_str(), loc.c_str());
        // Another scan of a counted product adds to its count; a changed row replaces it.
        if (const auto it = counted_.find(product); !replace_ && it != counted_.end())
            total += it->second;
        // Beyond a short the business layer's own limit refuses it all the same.
        count_->CountProduct(loc.c_str(), product, static_cast<short>(std::min(total, 32767L)),
                             code.c_str());
    });
    if (!stored) {
        ResetInput(false);
        replace_ = false;
        if (wasNew) {
            count_->CloseBatch();
            batchId_ = 0;
        }
        SetNextFocusItem();
        return;
    }
    UpdateList(product, static_cast<short>(total));
    ShowFeedback(QString::number(total), product);
    PrepareForNextItem();
    SuccessFeedback();
    SetNextFocusItem();
    // One batch counts one location.
    location_->setEnabled(false);
    Notify(product);
    newBatch_ = false;
    replace_ = false;
}

void WSIInvCountDialog::DoModify(int) {
    replace_ = true;
    DoScan(false, false, false, false);
}

void WSIInvCountDialog::UpdateList(long product, short counted) {
    const bool recount = !counted_.emplace(product, counted).second;
    counted_[product] = counted;
    const bool known = !listed_.insert(product).second;
    if (!recount || !known)
        ++countedListed_;
    int row = SelectedLine();
    if (row < 0 || !LineAt(row) || LineAt(row)->product != product)
        row = known ? RowOf(product) : -1;
    if (notCountedOnly_->isChecked()) {
        // What is counted leaves the list of what is still to count.
        if (row >= 0)
            List()->RemoveRow(row);
        ShowProgress();
        return;
    }
    WSICountRow r{};
    std::unique_ptr<WSITable> cursor = Db()->Query(
        __FILE__, __LINE__, "%s", WSIResult(WSICountRow::Table(), &r), RowSql(product).c_str());
    QStringList cells;
    if (cursor->GetFirst()) {
        bool ignored = false;
        cells = CellsOf(r, ignored);
    } else if (row >= 0) {
        for (int col = 0; col < ColumnCount; ++col)
            cells << List()->ItemText(row, col);
    }
    cursor.reset();
    if (cells.size() == ColumnCount)
        cells[ColCounted] = QString::number(counted);
    if (row < 0) {
        auto line = std::make_shared<WSICountLine>();
        line->product = product;
        row = List()->AppendRow(cells, WSIRowData(line));
    } else {
        List()->UpdateRow(row, cells);
    }
    auto* line = static_cast<WSICountLine*>(LineAt(row));
    line->counted = true;
    line->quantity = counted;
    line->rawBarCode = RawBarCode();
    List()->ShowRow(row);
    ShowProgress();
}

void WSIInvCountDialog::Notify(long product) {
    if (!Module())
        return;
    Module()->NotifyUpdate(TemplateId(), 0);
    Module()->ProductRefresh(TemplateId(), product);
}

void WSIInvCountDialog::LockFields(bool lock) {
    // While a row takes its new count the rest of the header waits.
    location_->setEnabled(!lock && newBatch_);
    countCode_->setEnabled(!lock);
    for (QCheckBox* box : {includeInactive_, includeTrackUsage_, notCountedOnly_})
        box->setEnabled(!lock);
    EnableCommand(CmSearchId, !lock);
}

void WSIInvCountDialog::CmPrint() {
    TVL_TRACE("WSIInvCountDialog::CmPrint");
    if (!Module())
        return;
    CompleteFill();
    char title[200] = {};
    Module()->LoadString(kMsgPrintTitle, title, sizeof title);
    PrintListRequest request;
    request.view = this;
    request.list = List();
    request.title = title;
    Module()->SendMainWindowMessage(hostmsg::kPrintList, &request);
}
