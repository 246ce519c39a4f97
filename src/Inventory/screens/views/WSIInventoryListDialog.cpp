#include "WSIInventoryListDialog.h"

#include "BIException.h"
#include "BIInventory.h"
#include "InventoryListRows.h"
#include "ListCsvExport.h"
#include "Trace.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryDialog.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

WSIInventoryListDialog::WSIInventoryListDialog(WSIInventoryDialog* mainScreen,
                                               WSIApplication* module, int templateId, int menuId)
    : WSIDialog(static_cast<QWidget*>(mainScreen), module, templateId, Qt::Widget),
      main_(mainScreen), menuId_(menuId), list_(new WSIListWindow(this)),
      inventory_(std::make_unique<BIInventory>(module ? module->GetDb() : nullptr)),
      fillTimer_(new QTimer(this)) {
    TVL_TRACE("WSIInventoryListDialog::WSIInventoryListDialog");
    // A zero timer runs between the event loop's other work: the list paints and
    // answers input while the rest of a search goes in.
    fillTimer_->setInterval(0);
    connect(fillTimer_, &QTimer::timeout, this, [this] { FillRows(fillStepRows_); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    AddControl(kListId, list_);
    list_->SetColumnClickHandler([this](int column) { EvColumnClick(column); });
    connect(list_, &WSIListWindow::contextMenuRequested, this,
            [this](const QPoint& pos, int) { ShowContextMenu(pos); });
    list_->installEventFilter(this);
}

WSIInventoryListDialog::~WSIInventoryListDialog() {
    // The formatter reads the view's state, which is gone once the list outlives it.
    list_->Model()->SetCellFormatter({});
}

WSIDatabase* WSIInventoryListDialog::Db() const {
    return Module() ? Module()->GetDb() : nullptr;
}

void WSIInventoryListDialog::Search() {
    TVL_TRACE("WSIInventoryListDialog::Search");
    WSIWaitCursor wait;
    StopFill();
    BeforeSearch();
    std::unique_ptr<WSITable> table = GetSearchTable();
    if (!table)
        return;
    std::vector<WSIListRow> rows;
    rows.reserve(static_cast<std::size_t>(firstPageRows_));
    for (bool found = table->GetFirst(); found; found = table->GetNext()) {
        rows.push_back(RowFromRecord());
        if (static_cast<int>(rows.size()) == firstPageRows_)
            break;
    }
    if (table->Failed()) {
        // Nothing is known about the rows: the list keeps the last search's and says so.
        MessageBox(kSearchFailedMessage, mb::OK | mb::ICONEXCLAMATION);
        return;
    }
    const bool full = static_cast<int>(rows.size()) == firstPageRows_;
    list_->Model()->SetRows(std::move(rows));
    if (!full)
        return;
    // The cursor stays on the page's last row; the next step reads on from there.
    fill_ = std::move(table);
    fillTimer_->start();
}

void WSIInventoryListDialog::FillRows(int maxRows) {
    if (!fill_)
        return;
    list_->BeginBatch();
    int added = 0;
    bool more = true;
    while (added < maxRows && (more = fill_->GetNext())) {
        WSIListRow row = RowFromRecord();
        list_->AppendRow(std::move(row.cells), std::move(row.data), row.marks);
        ++added;
    }
    list_->EndBatch();
    if (!more)
        StopFill();
}

void WSIInventoryListDialog::CompleteFill() {
    if (!fill_)
        return;
    WSIWaitCursor wait;
    FillRows(std::numeric_limits<int>::max());
}

void WSIInventoryListDialog::StopFill() {
    fillTimer_->stop();
    fill_.reset();
}

void WSIInventoryListDialog::SetFillPageSizes(int firstPage, int step) {
    firstPageRows_ = std::max(1, firstPage);
    fillStepRows_ = std::max(1, step);
}

void WSIInventoryListDialog::CompleteScreenFills() {
    if (main_)
        main_->CompleteFills();
    else
        CompleteFill();
}

void WSIInventoryListDialog::AppendRecords(WSITable& table) {
    list_->BeginBatch();
    for (bool found = table.GetFirst(); found; found = table.GetNext()) {
        WSIListRow row = RowFromRecord();
        list_->AppendRow(std::move(row.cells), std::move(row.data), row.marks);
    }
    list_->EndBatch();
}

void WSIInventoryListDialog::Print() {
    TVL_TRACE("WSIInventoryListDialog::Print");
    if (!Module())
        return;
    CompleteFill();
    char title[200] = {};
    Module()->LoadString(GetTitleStringId(), title, sizeof title);
    PrintListRequest request;
    request.view = this;
    request.list = list_;
    request.title = title;
    Module()->SendMainWindowMessage(hostmsg::kPrintList, &request);
}

void WSIInventoryListDialog::ExportCsv() {
    TVL_TRACE("WSIInventoryListDialog::ExportCsv");
    CompleteScreenFills();
    char title[200] = {};
    if (Module())
        Module()->LoadString(GetTitleStringId(), title, sizeof title);
    const QString name = QString::fromUtf8(title).simplified();
    tavel::csvexport::SaveCsv(*this, tavel::csvexport::ListToCsv(*list_),
                              (name.isEmpty() ? QStringLiteral("list") : name) +
                                  QStringLiteral(".csv"));
}

void WSIInventoryListDialog::RefreshList(int mode, long id, bool add) {
    CompleteFill();
    DoRefreshList(mode, id, add);
}

void WSIInventoryListDialog::DoRefreshList(int, long, bool) {}

std::unique_ptr<WSITable> WSIInventoryListDialog::GetSearchTable() {
    return nullptr;
}

void WSIInventoryListDialog::UpdateSpecialColumns(int row) {
    list_->UpdateRow(row, {}); // texts made from the record again
}

void WSIInventoryListDialog::RefreshRowsWith(const std::function<bool(int row)>& matches,
                                             const std::function<std::string(int row)>& sqlFor) {
    tavel::views::RefreshMatchingRows(
        list_->RowCount(), matches,
        [&](int row) {
            std::unique_ptr<WSITable> query = OpenRecordQuery(sqlFor(row));
            if (!query || !query->GetFirst())
                return false;
            UpdateRowFromRecord(row);
            return true;
        },
        [&](int row) { list_->RemoveRow(row); });
}

bool WSIInventoryListDialog::IsSelected(int row) const {
    const std::vector<int> selected = list_->SelectedRows();
    return std::binary_search(selected.begin(), selected.end(), row);
}

void WSIInventoryListDialog::EvColumnClick(int column) {
    CompleteFill();
    list_->Sort([this](const WSIListRow& a, const WSIListRow& b,
                       int col) { return CompareRows(a, b, col); },
                column);
}

void WSIInventoryListDialog::AddMenuCommand(MenuCommand command) {
    const int id = command.id;
    commands_.push_back(std::move(command));
    SetCommand(id, [this, id] { RunMenuCommand(id); });
}

bool WSIInventoryListDialog::IsMenuCommandEnabled(int id) const {
    const auto it = std::find_if(commands_.begin(), commands_.end(),
                                 [id](const MenuCommand& c) { return c.id == id; });
    if (it == commands_.end())
        return false;
    if (Module() && Module()->IsCommandRestricted(menuId_, id))
        return false;
    if (list_->SelectedCount() == 0)
        return false;
    return !it->allowed || it->allowed();
}

bool WSIInventoryListDialog::RunMenuCommand(int id) {
    const auto it = std::find_if(commands_.begin(), commands_.end(),
                                 [id](const MenuCommand& c) { return c.id == id; });
    if (it == commands_.end() || !IsMenuCommandEnabled(id) || !it->run)
        return false;
    // Commands read and write rows: every search of the screen ends before one runs.
    CompleteScreenFills();
    it->run();
    return true;
}

QMenu* WSIInventoryListDialog::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    for (const MenuCommand& c : commands_) {
        QAction* action = menu->addAction(c.label);
        action->setData(c.id);
        action->setEnabled(IsMenuCommandEnabled(c.id));
        const int id = c.id;
        connect(action, &QAction::triggered, this, [this, id] { DoCommand(id); });
    }
    // Every list can leave as a file, whatever its rows allow.
    if (!commands_.empty())
        menu->addSeparator();
    QAction* exportCsv = menu->addAction(tr("E&xport List as CSV..."));
    exportCsv->setObjectName(QStringLiteral("ExportCsv"));
    connect(exportCsv, &QAction::triggered, this, [this] { ExportCsv(); });
    return menu;
}

void WSIInventoryListDialog::ShowContextMenu(const QPoint& globalPos) {
    if (list_->RowCount() == 0)
        return;
    std::unique_ptr<QMenu> menu(CreateContextMenu(this));
    menu->exec(globalPos);
}

bool WSIInventoryListDialog::PreProcessMsg(QKeyEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = event->key();
    const bool tab = key == Qt::Key_Tab || key == Qt::Key_Backtab;
    if (key != Qt::Key_F4 && key != Qt::Key_F6 && !tab)
        return false;
    if (event->modifiers() & Qt::ControlModifier)
        return false;
    if (main_)
        QCoreApplication::postEvent(main_,
                                    new QKeyEvent(QEvent::KeyPress, key, event->modifiers()));
    return true;
}

bool WSIInventoryListDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        PreProcessMsg(static_cast<QKeyEvent*>(event)))
        return true;
    return WSIDialog::eventFilter(watched, event);
}

void WSIInventoryListDialog::CmCancel() {
    TVL_TRACE("WSIInventoryListDialog::CmCancel");
    StopFill();
    if (main_)
        if (QWidget* frame = main_->Frame())
            frame->close();
}

void WSIInventoryListDialog::ShowError(BIException& e) {
    MessageBox(QString::fromUtf8(e.GetErrMsg(true)), mb::OK | mb::ICONEXCLAMATION);
}

QStringList WSIInventoryListDialog::ToQt(const std::vector<std::string>& cells) {
    QStringList out;
    out.reserve(static_cast<qsizetype>(cells.size()));
    for (const std::string& cell : cells)
        out << QString::fromStdString(cell);
    return out;
}
