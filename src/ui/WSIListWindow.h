#pragma once

// The list of the screens: a model of rows (cell texts, one owned data object, mark
// bits) and a table view over it. Rows are plain values in one vector, so tens of
// thousands of them fill and sort without a widget per cell. A list whose rows carry
// a record may instead register a cell formatter: its rows then keep the record alone
// and their texts are made when asked for, which keeps a long list small.

#include <QAbstractTableModel>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTableView>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

class QContextMenuEvent;
class QLabel;

// Row mark bits. A row may carry several; the display picks colours by priority
// (cancelled first) and the legend explains them.
namespace rowmark {
inline constexpr unsigned Cancelled = 0x20;
inline constexpr unsigned BackOrdered = 0x40;
inline constexpr unsigned Unapproved = 0x80;
inline constexpr unsigned BackOrderLocation = 0x200;
inline constexpr unsigned Requested = 0x400;
inline constexpr unsigned All =
    Cancelled | BackOrdered | Unapproved | BackOrderLocation | Requested;
} // namespace rowmark

// The data object of one row, owned by the row and freed with it. Type-erased so one
// list can hold any record type; Get<T> hands it back only as the type it was stored.
class WSIRowData {
public:
    WSIRowData() = default;
    template <class T>
    explicit WSIRowData(std::shared_ptr<T> p)
        : ptr_(std::move(p)), tag_(Tag<std::remove_cv_t<T>>()) {}
    // Stores a copy of value.
    template <class T> static WSIRowData Make(T value) {
        return WSIRowData(std::make_shared<T>(std::move(value)));
    }

    template <class T> T* Get() const {
        return tag_ == Tag<std::remove_cv_t<T>>() ? static_cast<T*>(ptr_.get()) : nullptr;
    }
    bool IsEmpty() const { return !ptr_; }

private:
    template <class T> static const void* Tag() {
        static const char tag = 0;
        return &tag;
    }
    std::shared_ptr<void> ptr_;
    const void* tag_ = nullptr;
};

// One row: its cell texts by column, its data object and its mark bits. In a list
// with a cell formatter, a row without cell texts shows what the formatter makes of it.
struct WSIListRow {
    QStringList cells;
    WSIRowData data;
    unsigned marks = 0;

    // Its own text of column col, "" past its cells (a formatted row has none: ask the
    // model's ItemText).
    QString Text(int col) const { return col >= 0 && col < cells.size() ? cells[col] : QString(); }
    template <class T> T* Data() const { return data.Get<T>(); }
};

class WSIListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Column {
        QString heading;
        int width = 0; // as defined; 0 means hidden until a width is set
        Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    };
    // Compares two rows for column: negative when a goes first, 0 when equal, positive
    // when b goes first. Supplied by the view, which knows its row data.
    using Comparer = std::function<int(const WSIListRow& a, const WSIListRow& b, int column)>;
    // Makes the cell texts of a row from its data object and marks.
    using CellFormatter = std::function<QStringList(const WSIListRow& row)>;

    explicit WSIListModel(QObject* parent = nullptr);
    ~WSIListModel() override;

    // --- Columns ----------------------------------------------------------------
    int AddColumn(const QString& heading, int width,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const Column& ColumnAt(int col) const { return columns_.at(static_cast<std::size_t>(col)); }
    void SetColumnHeading(int col, const QString& heading);

    // --- Rows ---------------------------------------------------------------------
    // All rows, including those appended in an open batch.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Inserts before row (appends when row is out of range); returns the new index.
    int InsertRow(int row, QStringList cells, WSIRowData data = {}, unsigned marks = 0);
    int AppendRow(QStringList cells, WSIRowData data = {}, unsigned marks = 0);
    // Replaces the cell texts of row; its data and marks stay. False when out of range.
    // With a cell formatter, empty cells make the row formatted from its data again.
    bool UpdateRow(int row, QStringList cells);
    // Removes row and frees its data. False when out of range.
    bool RemoveRow(int row);
    // Removes every row (data freed) in one reset; columns stay.
    void Clear();
    // Replaces all rows in one reset: the fast way to fill a large list.
    void SetRows(std::vector<WSIListRow> rows);

    // On a formatted row, the row first keeps its formatted texts, then col's changes.
    bool SetItemText(int row, int col, const QString& text);
    QString ItemText(int row, int col) const;
    // The texts the row shows: its own cells, else the formatter's.
    QStringList RowTexts(int row) const;

    // Rows without cell texts are shown through formatter (none: they show nothing).
    void SetCellFormatter(CellFormatter formatter);
    // Replaces (and frees) the row's data object.
    bool SetRowData(int row, WSIRowData data);
    const WSIRowData* RowData(int row) const;
    template <class T> T* RowDataAs(int row) const {
        const WSIRowData* d = RowData(row);
        return d ? d->Get<T>() : nullptr;
    }
    unsigned Marks(int row) const;
    bool SetMarks(int row, unsigned marks);
    // Sets (on) or clears the bits of mark on row, leaving its other marks.
    bool SetMark(int row, unsigned mark, bool on);
    // The row itself, for comparers and printing; row must be in range.
    const WSIListRow& Row(int row) const { return rows_.at(static_cast<std::size_t>(row)); }

    // Appends between BeginBatch and EndBatch reach attached views as one insert.
    // Any other change inside a batch first publishes the rows appended so far.
    void BeginBatch();
    void EndBatch();

    // Stable sort of all rows by column with comparer; attached views keep their
    // selection on the same rows.
    void Sort(const Comparer& comparer, int column);

    // --- Mark display -------------------------------------------------------------
    // Colour that shows mark (one bit of rowmark); invalid for an unknown bit.
    static QColor MarkColor(unsigned mark);
    // The mark of marks that decides the row's colour (highest priority), 0 for none.
    static unsigned DisplayMark(unsigned marks);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Role under which data() returns a row's mark bits (any column).
    static constexpr int MarksRole = Qt::UserRole + 1;

private:
    bool InRange(int row) const { return row >= 0 && row < RowCount(); }
    void Publish();
    // The formatted texts of a row without cells of its own, or its cells.
    const QStringList& TextsOf(int row) const;
    void ForgetFormatted() const { formattedRow_ = -1; }

    std::vector<Column> columns_;
    CellFormatter formatter_;
    // The last row formatted: a view paints a row's cells one after another.
    mutable int formattedRow_ = -1;
    mutable QStringList formatted_;
    std::vector<WSIListRow> rows_;
    int visibleRows_ = 0; // rows the attached views know about
    int batchDepth_ = 0;
};

class WSIListWindow : public QTableView {
    Q_OBJECT

public:
    using Comparer = WSIListModel::Comparer;
    // Re-reads row; returns false when the row's record is gone and the row must go.
    using RowRefresher = std::function<bool(int row)>;

    explicit WSIListWindow(QWidget* parent = nullptr);
    ~WSIListWindow() override;

    WSIListModel* Model() const { return model_; }

    // --- Columns ------------------------------------------------------------------
    // Adds a column with its heading and width in pixels; width 0 adds it hidden.
    int AddColumn(const QString& heading, int width,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
    int ColumnCount() const { return model_->ColumnCount(); }
    QString ColumnHeading(int col) const;
    // Width 0 hides the column; any other width shows it at that width.
    void SetColumnWidth(int col, int width);
    // Current width, 0 while hidden.
    int GetColumnWidth(int col) const;
    // The width the column was added with (what a view restores).
    int DefinedColumnWidth(int col) const;
    // Columns shown (width above 0), in order.
    std::vector<int> VisibleColumns() const;

    // --- Rows (see WSIListModel) --------------------------------------------------
    int RowCount() const { return model_->RowCount(); }
    int InsertRow(int row, QStringList cells, WSIRowData data = {}, unsigned marks = 0) {
        return model_->InsertRow(row, std::move(cells), std::move(data), marks);
    }
    int AppendRow(QStringList cells, WSIRowData data = {}, unsigned marks = 0) {
        return model_->AppendRow(std::move(cells), std::move(data), marks);
    }
    bool UpdateRow(int row, QStringList cells) { return model_->UpdateRow(row, std::move(cells)); }
    bool RemoveRow(int row) { return model_->RemoveRow(row); }
    void Clear() { model_->Clear(); }
    bool SetItemText(int row, int col, const QString& text) {
        return model_->SetItemText(row, col, text);
    }
    QString ItemText(int row, int col) const { return model_->ItemText(row, col); }
    template <class T> void SetRowData(int row, std::shared_ptr<T> data) {
        model_->SetRowData(row, WSIRowData(std::move(data)));
    }
    template <class T> T* RowData(int row) const { return model_->RowDataAs<T>(row); }
    unsigned Marks(int row) const { return model_->Marks(row); }
    bool SetMarks(int row, unsigned marks) { return model_->SetMarks(row, marks); }
    bool SetMark(int row, unsigned mark, bool on) { return model_->SetMark(row, mark, on); }
    void BeginBatch() { model_->BeginBatch(); }
    void EndBatch() { model_->EndBatch(); }

    // --- Selection ----------------------------------------------------------------
    // Selected rows in ascending order.
    std::vector<int> SelectedRows() const;
    // First selected row, -1 when none.
    int FirstSelected() const;
    int SelectedCount() const;
    // Selects row (adding to the selection when add is true) and makes it current.
    void SelectRow(int row, bool add = false);
    void ClearRowSelection();
    // Brings row into view for a scan: nothing moves when it is in view already, else the
    // list centres it, so that scanning down a shelf in list order moves the list once a
    // half page instead of repainting it at every scan.
    void ShowRow(int row);

    // --- Sorting ------------------------------------------------------------------
    // Stable sort by column through the view's comparer; the selection follows its rows.
    void Sort(const Comparer& comparer, int column);
    // Called with the column index when a heading is clicked (also emits columnClicked).
    void SetColumnClickHandler(std::function<void(int column)> handler);

    // --- Refresh ------------------------------------------------------------------
    // Re-reads one row through refresher, removing it when refresher returns false.
    // Returns true when the row is still there.
    bool RefreshRow(int row, const RowRefresher& refresher);
    // Re-reads every row for which matches is true. After a removal the row that
    // moves into its place is examined next, so each row is examined exactly once.
    // Returns the number of rows removed.
    int RefreshRows(const std::function<bool(int row)>& matches, const RowRefresher& refresher);

    // --- Printing -----------------------------------------------------------------
    // Headings, then one line per row: the visible columns' texts separated by tabs,
    // lines separated by '\n'.
    QString LinesToText() const;

signals:
    void columnClicked(int column);
    // Right-click (or the menu key) while at least one row is selected; pos is global.
    void contextMenuRequested(const QPoint& globalPos, int firstSelectedRow);
    // Double-click or Enter on a row.
    void rowActivated(int row);
    void rowSelectionChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    WSIListModel* model_;
    std::function<void(int)> columnClickHandler_;
};

// The legend under a list: one colour swatch and text per mark the list uses.
class WSIMarkLegend : public QWidget {
    Q_OBJECT

public:
    // marks: the rowmark bits to explain, in rowmark order.
    explicit WSIMarkLegend(unsigned marks = rowmark::All, QWidget* parent = nullptr);
    // Replaces the text of mark (default texts are English).
    void SetText(unsigned mark, const QString& text);
    QString Text(unsigned mark) const;
    unsigned Marks() const { return marks_; }

private:
    unsigned marks_;
    std::map<unsigned, QLabel*> labels_;
};
