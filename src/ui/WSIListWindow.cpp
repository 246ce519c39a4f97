#include "WSIListWindow.h"

#include <QBrush>
#include <QColor>
#include <QContextMenuEvent>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <numeric>

namespace {

// Display priority of the marks: the first one a row carries decides its colour.
constexpr unsigned kMarkOrder[] = {rowmark::Cancelled, rowmark::BackOrdered, rowmark::Unapproved,
                                   rowmark::BackOrderLocation, rowmark::Requested};

const char* DefaultMarkText(unsigned mark) {
    switch (mark) {
    case rowmark::Cancelled:
        return "Cancelled or inactive";
    case rowmark::BackOrdered:
        return "Back-ordered";
    case rowmark::Unapproved:
        return "Not approved";
    case rowmark::BackOrderLocation:
        return "On back order from a location";
    case rowmark::Requested:
        return "Requested";
    default:
        return "";
    }
}

QPixmap Swatch(const QColor& color) {
    QPixmap pm(12, 12);
    pm.fill(color);
    QPainter p(&pm);
    p.setPen(Qt::darkGray);
    p.drawRect(0, 0, 11, 11);
    return pm;
}

} // namespace

// ---------------------------------------------------------------------------------
// WSIListModel

WSIListModel::WSIListModel(QObject* parent) : QAbstractTableModel(parent) {}

WSIListModel::~WSIListModel() = default;

int WSIListModel::AddColumn(const QString& heading, int width, Qt::Alignment align) {
    const int col = ColumnCount();
    beginInsertColumns(QModelIndex(), col, col);
    columns_.push_back(Column{heading, width, align});
    endInsertColumns();
    return col;
}

void WSIListModel::SetColumnHeading(int col, const QString& heading) {
    if (col < 0 || col >= ColumnCount())
        return;
    columns_[static_cast<std::size_t>(col)].heading = heading;
    emit headerDataChanged(Qt::Horizontal, col, col);
}

void WSIListModel::Publish() {
    const int total = RowCount();
    if (visibleRows_ >= total)
        return;
    beginInsertRows(QModelIndex(), visibleRows_, total - 1);
    visibleRows_ = total;
    endInsertRows();
}

int WSIListModel::InsertRow(int row, QStringList cells, WSIRowData data, unsigned marks) {
    if (row < 0 || row >= RowCount())
        return AppendRow(std::move(cells), std::move(data), marks);
    Publish();
    ForgetFormatted();
    beginInsertRows(QModelIndex(), row, row);
    rows_.insert(rows_.begin() + row, WSIListRow{std::move(cells), std::move(data), marks});
    visibleRows_ = RowCount();
    endInsertRows();
    return row;
}

int WSIListModel::AppendRow(QStringList cells, WSIRowData data, unsigned marks) {
    const int row = RowCount();
    if (batchDepth_ > 0) {
        // Views learn of batched rows all at once in EndBatch.
        rows_.push_back(WSIListRow{std::move(cells), std::move(data), marks});
        return row;
    }
    Publish();
    beginInsertRows(QModelIndex(), row, row);
    rows_.push_back(WSIListRow{std::move(cells), std::move(data), marks});
    visibleRows_ = RowCount();
    endInsertRows();
    return row;
}

bool WSIListModel::UpdateRow(int row, QStringList cells) {
    if (!InRange(row))
        return false;
    Publish();
    ForgetFormatted();
    rows_[static_cast<std::size_t>(row)].cells = std::move(cells);
    emit dataChanged(index(row, 0), index(row, std::max(0, ColumnCount() - 1)));
    return true;
}

bool WSIListModel::RemoveRow(int row) {
    if (!InRange(row))
        return false;
    Publish();
    ForgetFormatted();
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    visibleRows_ = RowCount();
    endRemoveRows();
    return true;
}

void WSIListModel::Clear() {
    SetRows({});
}

void WSIListModel::SetRows(std::vector<WSIListRow> rows) {
    beginResetModel();
    ForgetFormatted();
    rows_ = std::move(rows);
    visibleRows_ = RowCount();
    endResetModel();
}

bool WSIListModel::SetItemText(int row, int col, const QString& text) {
    if (!InRange(row) || col < 0)
        return false;
    Publish();
    QStringList& cells = rows_[static_cast<std::size_t>(row)].cells;
    if (cells.isEmpty() && formatter_)
        cells = formatter_(Row(row)); // the row keeps its texts from now on
    ForgetFormatted();
    while (cells.size() <= col)
        cells.append(QString());
    cells[col] = text;
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i);
    return true;
}

QString WSIListModel::ItemText(int row, int col) const {
    if (!InRange(row) || col < 0)
        return QString();
    const QStringList& texts = TextsOf(row);
    return col < texts.size() ? texts[col] : QString();
}

QStringList WSIListModel::RowTexts(int row) const {
    return InRange(row) ? TextsOf(row) : QStringList();
}

const QStringList& WSIListModel::TextsOf(int row) const {
    const WSIListRow& r = Row(row);
    if (!formatter_ || !r.cells.isEmpty())
        return r.cells;
    if (formattedRow_ != row) {
        formatted_ = formatter_(r);
        formattedRow_ = row;
    }
    return formatted_;
}

void WSIListModel::SetCellFormatter(CellFormatter formatter) {
    formatter_ = std::move(formatter);
    ForgetFormatted();
    if (visibleRows_ > 0)
        emit dataChanged(index(0, 0), index(visibleRows_ - 1, std::max(0, ColumnCount() - 1)));
}

bool WSIListModel::SetRowData(int row, WSIRowData data) {
    if (!InRange(row))
        return false;
    WSIListRow& r = rows_[static_cast<std::size_t>(row)];
    r.data = std::move(data);
    ForgetFormatted();
    // A formatted row shows its data: the texts change with it.
    if (formatter_ && r.cells.isEmpty() && row < visibleRows_)
        emit dataChanged(index(row, 0), index(row, std::max(0, ColumnCount() - 1)));
    return true;
}

const WSIRowData* WSIListModel::RowData(int row) const {
    return InRange(row) ? &rows_[static_cast<std::size_t>(row)].data : nullptr;
}

unsigned WSIListModel::Marks(int row) const {
    return InRange(row) ? Row(row).marks : 0;
}

bool WSIListModel::SetMarks(int row, unsigned marks) {
    if (!InRange(row))
        return false;
    Publish();
    ForgetFormatted();
    rows_[static_cast<std::size_t>(row)].marks = marks;
    emit dataChanged(index(row, 0), index(row, std::max(0, ColumnCount() - 1)));
    return true;
}

bool WSIListModel::SetMark(int row, unsigned mark, bool on) {
    if (!InRange(row))
        return false;
    const unsigned old = Row(row).marks;
    return SetMarks(row, on ? (old | mark) : (old & ~mark));
}

void WSIListModel::BeginBatch() {
    ++batchDepth_;
}

void WSIListModel::EndBatch() {
    if (batchDepth_ > 0 && --batchDepth_ == 0)
        Publish();
}

void WSIListModel::Sort(const Comparer& comparer, int column) {
    if (!comparer)
        return;
    Publish();
    ForgetFormatted();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return comparer(rows_[static_cast<std::size_t>(a)], rows_[static_cast<std::size_t>(b)],
                        column) < 0;
    });
    std::vector<WSIListRow> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newPos(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
        newPos[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    }
    rows_ = std::move(sorted);
    // Selection and current index are persistent indexes: move them with their rows.
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from)
        to.append(index(newPos[static_cast<std::size_t>(i.row())], i.column()));
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

QColor WSIListModel::MarkColor(unsigned mark) {
    switch (mark) {
    case rowmark::Cancelled:
        return QColor(128, 128, 128);
    case rowmark::BackOrdered:
        return QColor(255, 214, 153);
    case rowmark::Unapproved:
        return QColor(255, 179, 179);
    case rowmark::BackOrderLocation:
        return QColor(204, 170, 255);
    case rowmark::Requested:
        return QColor(179, 230, 179);
    default:
        return QColor();
    }
}

unsigned WSIListModel::DisplayMark(unsigned marks) {
    for (unsigned m : kMarkOrder)
        if (marks & m)
            return m;
    return 0;
}

int WSIListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : visibleRows_;
}

int WSIListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant WSIListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= visibleRows_)
        return {};
    const WSIListRow& r = Row(index.row());
    const unsigned mark = DisplayMark(r.marks);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const QStringList& texts = TextsOf(index.row());
        return index.column() < texts.size() ? texts[index.column()] : QString();
    }
    case Qt::TextAlignmentRole:
        return index.column() < ColumnCount() ? QVariant::fromValue(ColumnAt(index.column()).align)
                                              : QVariant();
    case Qt::ForegroundRole:
        if (mark == rowmark::Cancelled)
            return QBrush(MarkColor(rowmark::Cancelled));
        return {};
    case Qt::BackgroundRole:
        if (mark != 0 && mark != rowmark::Cancelled)
            return QBrush(MarkColor(mark));
        return {};
    case Qt::FontRole:
        if (r.marks & rowmark::Cancelled) {
            QFont f;
            f.setStrikeOut(true);
            return f;
        }
        return {};
    case Qt::DecorationRole:
        // Every mark but the one shown as the row colour gets a swatch in column 0.
        if (index.column() == 0 && (r.marks & ~mark & rowmark::All)) {
            for (unsigned m : kMarkOrder)
                if (m != mark && (r.marks & m))
                    return Swatch(MarkColor(m));
        }
        return {};
    case MarksRole:
        return r.marks;
    default:
        return {};
    }
}

QVariant WSIListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount())
        return {};
    if (role == Qt::DisplayRole)
        return ColumnAt(section).heading;
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(ColumnAt(section).align);
    return {};
}

// ---------------------------------------------------------------------------------
// WSIListWindow

WSIListWindow::WSIListWindow(QWidget* parent) : QTableView(parent), model_(new WSIListModel(this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    // Tab leaves the list for the screen's next field instead of walking its cells.
    setTabKeyNavigation(false);
    setAlternatingRowColors(false);
    verticalHeader()->hide();
    // Fixed row height: the view does not measure every row of a long list.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    setSortingEnabled(false); // sorting is the view's, through its comparer
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (columnClickHandler_)
            columnClickHandler_(column);
        emit columnClicked(column);
    });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { emit rowSelectionChanged(); });
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& i) { emit rowActivated(i.row()); });
}

WSIListWindow::~WSIListWindow() = default;

int WSIListWindow::AddColumn(const QString& heading, int width, Qt::Alignment align) {
    const int col = model_->AddColumn(heading, width, align);
    SetColumnWidth(col, width);
    return col;
}

QString WSIListWindow::ColumnHeading(int col) const {
    return col >= 0 && col < ColumnCount() ? model_->ColumnAt(col).heading : QString();
}

void WSIListWindow::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= ColumnCount())
        return;
    if (width <= 0) {
        setColumnHidden(col, true);
        return;
    }
    setColumnHidden(col, false);
    setColumnWidth(col, width);
}

int WSIListWindow::GetColumnWidth(int col) const {
    if (col < 0 || col >= ColumnCount() || isColumnHidden(col))
        return 0;
    return columnWidth(col);
}

int WSIListWindow::DefinedColumnWidth(int col) const {
    return col >= 0 && col < ColumnCount() ? model_->ColumnAt(col).width : 0;
}

std::vector<int> WSIListWindow::VisibleColumns() const {
    std::vector<int> cols;
    for (int c = 0; c < ColumnCount(); ++c)
        if (GetColumnWidth(c) > 0)
            cols.push_back(c);
    return cols;
}

std::vector<int> WSIListWindow::SelectedRows() const {
    std::vector<int> rows;
    const QModelIndexList sel = selectionModel()->selectedRows();
    rows.reserve(static_cast<std::size_t>(sel.size()));
    for (const QModelIndex& i : sel)
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int WSIListWindow::FirstSelected() const {
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

int WSIListWindow::SelectedCount() const {
    return static_cast<int>(selectionModel()->selectedRows().size());
}

void WSIListWindow::SelectRow(int row, bool add) {
    if (row < 0 || row >= model_->rowCount())
        return;
    const QModelIndex i = model_->index(row, 0);
    const auto flags = (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) |
                       QItemSelectionModel::Rows;
    selectionModel()->setCurrentIndex(i, flags);
    scrollTo(i);
}

void WSIListWindow::ShowRow(int row) {
    if (row < 0 || row >= model_->rowCount())
        return;
    const QModelIndex i = model_->index(row, 0);
    if (viewport()->rect().contains(visualRect(i)))
        return;
    scrollTo(i, QAbstractItemView::PositionAtCenter);
}

void WSIListWindow::ClearRowSelection() {
    selectionModel()->clearSelection();
}

void WSIListWindow::Sort(const Comparer& comparer, int column) {
    model_->Sort(comparer, column);
}

void WSIListWindow::SetColumnClickHandler(std::function<void(int)> handler) {
    columnClickHandler_ = std::move(handler);
}

bool WSIListWindow::RefreshRow(int row, const RowRefresher& refresher) {
    if (row < 0 || row >= RowCount() || !refresher)
        return false;
    if (refresher(row))
        return true;
    RemoveRow(row);
    return false;
}

int WSIListWindow::RefreshRows(const std::function<bool(int)>& matches,
                               const RowRefresher& refresher) {
    int removed = 0;
    int row = 0;
    while (row < RowCount()) {
        if (matches && !matches(row)) {
            ++row;
            continue;
        }
        if (RefreshRow(row, refresher))
            ++row;
        else
            ++removed; // the successor now sits at row: examine it next
    }
    return removed;
}

QString WSIListWindow::LinesToText() const {
    const std::vector<int> cols = VisibleColumns();
    QStringList lines;
    QStringList cells;
    for (int c : cols)
        cells.append(ColumnHeading(c));
    lines.append(cells.join(QLatin1Char('\t')));
    for (int r = 0; r < RowCount(); ++r) {
        cells.clear();
        for (int c : cols)
            cells.append(ItemText(r, c));
        lines.append(cells.join(QLatin1Char('\t')));
    }
    return lines.join(QLatin1Char('\n'));
}

void WSIListWindow::contextMenuEvent(QContextMenuEvent* event) {
    // Only a click on the rows counts: a click on blank space below them selects nothing.
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex at = indexAt(event->pos());
        if (at.isValid() && !selectionModel()->isRowSelected(at.row(), QModelIndex()))
            SelectRow(at.row());
    }
    const int first = FirstSelected();
    if (first < 0)
        return;
    emit contextMenuRequested(event->globalPos(), first);
    event->accept();
}

void WSIListWindow::keyPressEvent(QKeyEvent* event) {
    // The menu key and Shift+F10 open the selected row's menu beside the row itself.
    const bool menuKey = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (menuKey || shiftF10) {
        const int row = FirstSelected();
        const QRect at = row >= 0 ? visualRect(model()->index(row, 0)) : QRect();
        const QPoint local = at.isValid() ? at.center() : QPoint(0, 0);
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, local, viewport()->mapToGlobal(local));
        contextMenuEvent(&menu);
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentIndex().isValid()) {
        emit rowActivated(currentIndex().row());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------
// WSIMarkLegend

WSIMarkLegend::WSIMarkLegend(unsigned marks, QWidget* parent) : QWidget(parent), marks_(marks) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (unsigned m : kMarkOrder) {
        if (!(marks & m))
            continue;
        auto* swatch = new QLabel(this);
        swatch->setPixmap(Swatch(WSIListModel::MarkColor(m)));
        auto* text = new QLabel(QString::fromUtf8(DefaultMarkText(m)), this);
        layout->addWidget(swatch);
        layout->addWidget(text);
        layout->addSpacing(12);
        labels_[m] = text;
    }
    layout->addStretch(1);
}

void WSIMarkLegend::SetText(unsigned mark, const QString& text) {
    auto it = labels_.find(mark);
    if (it != labels_.end())
        it->second->setText(text);
}

QString WSIMarkLegend::Text(unsigned mark) const {
    auto it = labels_.find(mark);
    return it == labels_.end() ? QString() : it->second->text();
}
