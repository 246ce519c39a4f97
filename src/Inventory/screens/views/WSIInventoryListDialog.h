#pragma once

// The base of the six list views of the main inventory screen: one list window, the
// view's own BIInventory object and the last search parameters. A view builds its
// query from the parameters, fills one row per record (the row keeps a copy of the
// record), sorts by any column with its comparer, re-reads single rows when the main
// screen passes on a change, and offers a context menu of commands on the selection.
//
// A search fills in pages: the first screenful goes in at once and the list paints,
// the rest is read from the same open cursor in idle time. Whatever needs every row
// (sorting, refreshing, printing, every command) first completes the fill, so no
// command ever runs, and nothing writes, while a search cursor is open.

#include "InventorySearchParameters.h"
#include "WSIDialog.h"
#include "WSIListWindow.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class BIException;
class BIInventory;
class QKeyEvent;
class QMenu;
class QTimer;
class WSIDatabase;
class WSIInventoryDialog;
class WSITable;

class WSIInventoryListDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kListId = 5111;
    // The search could not read the database; the list keeps its rows.
    static constexpr unsigned kSearchFailedMessage = 39950;

    // A context-menu command: its id and label, whether the selection allows it, and
    // what it does.
    struct MenuCommand {
        int id = 0;
        QString label;
        std::function<bool()> allowed;
        std::function<void()> run;
    };

    WSIInventoryListDialog(WSIInventoryDialog* mainScreen, WSIApplication* module, int templateId,
                           int menuId);
    ~WSIInventoryListDialog() override;

    void SetSearchParameters(const InventorySearchParameters& params) { params_ = params; }
    const InventorySearchParameters& SearchParameters() const { return params_; }
    // Runs the view's query, puts the first page of rows into the list and reads the rest
    // in idle time; a view without a query keeps its rows. A search still filling is
    // dropped first.
    void Search();
    // Reads the rest of the open search into the list now (no-op when none is open).
    void CompleteFill();
    // Whether a search cursor is still open, its rows not all in the list yet.
    bool IsFilling() const { return fill_ != nullptr; }
    // Rows the first page holds and rows each idle step reads (both at least 1).
    void SetFillPageSizes(int firstPage, int step);
    // Sends the list to the host for printing (message 2035).
    void Print();
    // Saves the list's rows as a CSV file where the user chooses.
    void ExportCsv();

    // mode 0 every row, 1 rows of product id, 2 rows of order id, 3 the selected rows.
    // Completes a fill first.
    void RefreshList(int mode, long id, bool add);
    // The open query over the view's record buffer, or null.
    virtual std::unique_ptr<WSITable> GetSearchTable();
    // Recomputes the row's cells and marks from its record copy.
    virtual void UpdateSpecialColumns(int row);
    virtual unsigned GetTitleStringId() const { return 0; }

    WSIListWindow* List() const { return list_; }
    int MenuId() const { return menuId_; }
    // Sorts the list by column with the view's comparer (a heading click).
    void EvColumnClick(int column);

    // The context menu's commands in menu order.
    const std::vector<MenuCommand>& MenuCommands() const { return commands_; }
    // Whether the command may run now: the host allows it, its screen exists and the
    // selection meets its rule.
    bool IsMenuCommandEnabled(int id) const;
    // Runs a context-menu command the way the menu does: every list of the screen is
    // filled completely first. False when the command is not enabled.
    bool RunMenuCommand(int id);
    // The menu as it would pop up for the current selection (caller owns it).
    QMenu* CreateContextMenu(QWidget* parent);

    // F4, F6 and Tab without Ctrl go to the main screen instead of the list; true when
    // the key was passed on.
    bool PreProcessMsg(QKeyEvent* event);

    void CmOk() override {}
    // Closes the inventory window.
    void CmCancel() override;

    // A column of a view's list: its heading and width in pixels.
    struct ColumnDef {
        const char* heading;
        int width;
    };

protected:
    template <std::size_t N> void AddColumns(const ColumnDef (&columns)[N]) {
        for (const ColumnDef& c : columns)
            List()->AddColumn(QString::fromLatin1(c.heading), c.width);
    }

    WSIDatabase* Db() const;
    BIInventory& Inventory() const { return *inventory_; }
    WSIInventoryDialog* MainScreen() const { return main_; }
    // Builds the row for the record buffer as it stands after a fetch.
    virtual WSIListRow RowFromRecord() = 0;
    // Replaces the row's record copy with the buffer and recomputes it.
    virtual void UpdateRowFromRecord(int row) = 0;
    // Sorts rows a and b for column; 0 leaves their order.
    virtual int CompareRows(const WSIListRow& a, const WSIListRow& b, int column) const = 0;
    // Runs before the query (column widths that depend on the parameters).
    virtual void BeforeSearch() {}
    // The view's refresh; the fill is complete when it runs.
    virtual void DoRefreshList(int mode, long id, bool add);
    // Adds a row for every record of an open query, computed as in a search.
    void AppendRecords(WSITable& table);
    // Re-reads each matching row with sqlFor(row) into the record buffer; no record
    // removes the row, else the row is updated.
    void RefreshRowsWith(const std::function<bool(int row)>& matches,
                         const std::function<std::string(int row)>& sqlFor);
    virtual std::unique_ptr<WSITable> OpenRecordQuery(const std::string& sql) = 0;

    // A row's cells as the list shows them.
    static QStringList ToQt(const std::vector<std::string>& cells);
    // Rows keep their record copy alone; the list makes a row's texts with cellsOf when
    // it shows, prints or exports them, so a long list does not hold every text.
    template <class R, class F> void ShowRecordsWith(F cellsOf) {
        list_->Model()->SetCellFormatter([cellsOf](const WSIListRow& row) {
            const R* r = row.Data<R>();
            return r ? ToQt(cellsOf(*r)) : QStringList();
        });
    }
    // A row for record: a copy of it and marks; its texts come from the view's cellsOf.
    template <class R> static WSIListRow RecordRow(const R& record, unsigned marks = 0) {
        WSIListRow row;
        row.data = WSIRowData::Make(record);
        row.marks = marks;
        return row;
    }
    // The record copy of row, null outside the list or when the row has none.
    template <class R> const R* RecordOf(int row) const {
        return row >= 0 && row < list_->RowCount() ? list_->RowData<R>(row) : nullptr;
    }
    // Keeps a copy of record as row's record and recomputes the row from it.
    template <class R> void StoreRecord(int row, const R& record) {
        list_->SetRowData(row, std::make_shared<R>(record));
        UpdateSpecialColumns(row);
    }
    // Sorts two rows by their record copies; 0 when either has none.
    template <class R>
    static int CompareRecords(const WSIListRow& a, const WSIListRow& b, int column,
                              int (*compare)(const R&, const R&, int)) {
        const R* ra = a.Data<R>();
        const R* rb = b.Data<R>();
        return ra && rb ? compare(*ra, *rb, column) : 0;
    }

    void AddMenuCommand(MenuCommand command);
    // Shows a business exception's message through the prompt service.
    void ShowError(BIException& e);
    bool SingleSelection() const { return list_->SelectedCount() == 1; }
    bool IsSelected(int row) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

    InventorySearchParameters params_;

private:
    void ShowContextMenu(const QPoint& globalPos);
    // Appends up to maxRows rows from the open search; releases the cursor at its end.
    void FillRows(int maxRows);
    // Drops an open search cursor; the rows read so far stay.
    void StopFill();
    // Completes the fills of every list of the screen (this one alone without a screen).
    void CompleteScreenFills();

    WSIInventoryDialog* main_;
    int menuId_;
    WSIListWindow* list_;
    std::unique_ptr<BIInventory> inventory_;
    std::vector<MenuCommand> commands_;
    std::unique_ptr<WSITable> fill_; // the search being read into the list
    QTimer* fillTimer_;
    int firstPageRows_ = 300;
    int fillStepRows_ = 2000;
};
