#pragma once

// The physical count of one location. The screen lists the location's products; each
// scanned product with its counted quantity is recorded through BIInvCount::CountProduct,
// and every count of one opening of the screen shares one count batch. Scanning a product
// again adds to its count; a quantity entered on a selected row replaces it. A progress
// line says how many of the listed products are counted, and the list can be narrowed to
// the ones not counted yet, so that a long count is finished from the screen alone.

#include "Record.h"
#include "WSIInvScanDialog.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class BIInvCount;
class QCheckBox;
class QComboBox;
class QLabel;
class QTimer;
class WSITable;
struct WSIListRow;
struct WSICountRow;

// One row of the count list: its product, the raw bar code of its last scan, and whether
// it was counted in this batch (a count of 0 is a count too).
struct WSICountLine : WSIScanLine {
    bool counted = false;
};

class WSIInvCountDialog : public WSIInvScanListDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25031;
    enum : int {
        CmSearchId = 111,
        IdIncludeInactive = 25301,
        IdIncludeTrackUsage = 25302,
        IdNotCountedOnly = 25303,
    };
    enum Column : int {
        ColType = 0,
        ColCategory,
        ColProductCode,
        ColDescription,
        ColBin,
        ColUnit,
        ColBalance = 6,
        ColLastCount = 7,
        ColLastCountDate = 8,
        ColCounted = 9,
        ColumnCount
    };
    // The order a search uses when no heading was clicked: by bin.
    static constexpr int kDefaultSort = ColBin;
    static constexpr unsigned kMsgPrintTitle = 38211;
    static constexpr unsigned kMsgNoLocation = 40050;
    static constexpr unsigned kMsgNoCountCode = 38212;
    static constexpr unsigned kMsgProgress = 40051;
    static constexpr unsigned kMsgAllCounted = 40052;

    WSIInvCountDialog(QWidget* parent, WSIApplication* module);
    ~WSIInvCountDialog() override;

    // Lists the location's products in the order of the sort column, then sets the order
    // back to the default.
    void CmSearch();
    // A heading was clicked: list again in that column's order.
    void EvColumnClick(int column);
    // Another location was chosen: the list no longer shows it.
    void EvLocationComboChange();
    void CmPrint() override;
    WSIScanLine* LineAt(int row) const override;

    long BatchId() const { return batchId_; }
    int SortColumn() const { return sortColumn_; }
    // The listed products' progress: how many are counted in this batch, of how many.
    int CountedProducts() const;
    int ListedProducts() const { return static_cast<int>(listed_.size()); }
    // The row of product, -1 when it is not listed.
    int RowOf(long product) const;
    // Reads the rest of a search that is still filling the list.
    void CompleteFill();
    // Rows shown at once by a search; the rest follow in steps while the screen is idle.
    static constexpr int kFirstPage = 100;
    static constexpr int kFillStep = 1000;

protected:
    void DoScan(bool handled, bool, bool, bool) override;
    void DoModify(int line) override;
    void LockFields(bool lock) override;

private:
    void BuildHeader();
    void BuildButtons();
    void FillLocations();
    void FillCountCodes();
    std::string Location() const;
    std::string CountCode() const;
    // The statement of the list (product 0) or of one product's row.
    std::string RowSql(long product) const;
    QStringList CellsOf(const WSICountRow& r, bool& counted) const;
    // Reads up to most rows of the open search into rows; false once it has no more.
    bool ReadRows(int most, std::vector<WSIListRow>& rows);
    void FillStep(int most);
    void StopFill();
    // Puts the product's fresh row into the list (adding it when missing) with its count.
    void UpdateList(long product, short counted);
    void ShowProgress();
    void Notify(long product);
    // The quantity a scan carries: the count of GS1 data (AI 30 or 37), otherwise the
    // quantity entered. False, after saying so, when the scanned count is too large.
    bool ScannedQuantity(short& quantity);

    std::unique_ptr<BIInvCount> count_;
    // The search still filling the list, the row it reads into, whether it has begun.
    std::unique_ptr<WSITable> fill_;
    std::unique_ptr<WSICountRow> fillRow_;
    bool fillStarted_ = false;
    QTimer* fillTimer_ = nullptr;
    long batchId_ = 0;
    bool newBatch_ = true;
    bool replace_ = false;
    int sortColumn_ = kDefaultSort;
    WSIDate today_{};
    // Products of the last search (and those counted since), and the count of each
    // product counted in this batch; the progress line is made of the two.
    std::unordered_set<long> listed_;
    std::unordered_map<long, short> counted_;
    int countedListed_ = 0; // listed products that are counted

    QComboBox* location_ = nullptr;
    QComboBox* countCode_ = nullptr;
    QLabel* countCodeLabel_ = nullptr;
    QCheckBox* includeInactive_ = nullptr;
    QCheckBox* includeTrackUsage_ = nullptr;
    QCheckBox* notCountedOnly_ = nullptr;
    QLabel* progress_ = nullptr;
};
