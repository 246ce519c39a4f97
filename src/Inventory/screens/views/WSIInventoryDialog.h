#pragma once

// The main inventory screen, shown inside the inventory MDI window: a filter area, six
// tabs with one list view each, and the command buttons that start the inventory
// transactions. The screen owns the filter values, hands them to the list view of the
// current tab as InventorySearchParameters, and routes the host's update notifications
// to the list views that must re-read rows.

#include "InventorySearchParameters.h"
#include "Records.h"
#include "WSIDialog.h"

#include <QColor>
#include <QPointer>

#include <array>
#include <memory>
#include <string>
#include <vector>

class BIInventory;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTabWidget;
class WSIComboBox;
class WSIDateEdit;
class WSIInventoryListDialog;
class WSIInvPendingOrdersDialog;
class WSIInvPendingExtOrdersDialog;
class WSIInvClosedOrdersDialog;
class WSIInvLevelsDialog;
class WSIInvReceivedDialog;
class WSIInvUsageDialog;

class WSIInventoryDialog : public WSIDialog {
    Q_OBJECT

public:
    // Control and command ids.
    enum : int {
        IdPrdType = 101,
        IdProduct = 102,
        IdProductHelp = 103,
        IdLocation = 104,
        IdFromDate = 105,
        IdToDate = 106,
        IdOrderedBy = 107,
        IdOrderType = 108,
        IdOpenStatus = 109,
        IdWithStockOnly = 110,
        IdSearch = 111,
        IdPrint = 112,
        IdOrder = 113,
        IdAdjust = 114,
        IdReceive = 115,
        IdTransfer = 116,
        IdPickList = 117,
        IdFill = 118,
        IdSetup = 119,
        IdTab = 120,
        IdUsage = 121,
        IdClosedStatus = 122,
        IdVendor = 123,
        IdVendorHelp = 124,
        IdVendorClear = 125,
        IdPerLocation = 126,
        IdItemType = 127,
        IdIncludeInactive = 133,
        IdCategory = 134,
        IdCategoryHelp = 135,
        IdCategoryClear = 137,
        IdProductClear = 138,
        IdCount = 139,
        IdInStockOnly = 140,
        IdShowOrderQuantities = 141,
        IdBelowReorderOnly = 142,
        IdExpiry = 150,
        IdExportCsv = 160,
    };
    // Tabs in order; the index is the list index everywhere.
    enum Tab : int { TabPending = 0, TabPendingExt, TabClosed, TabLevels, TabReceived, TabUsage };
    static constexpr int kTabCount = 6;

    WSIInventoryDialog(QWidget* parent, WSIApplication* module, int templateId = 25000);
    ~WSIInventoryDialog() override;

    // Default size of the screen inside its window (width, height, the third value
    // is kept for the host).
    void SetDefaultResolution(int width, int height, double third);
    // Message 3025: source is the template id of the screen that changed data, id a
    // record id or -1 for all records.
    void EvUpdateInfo(long source, long id);

    // Reads every list's open search to its end. Everything that reads or writes rows
    // calls it first: no write reaches the database while a search cursor is open.
    void CompleteFills() const;

    // --- Filters and tabs.
    InventorySearchParameters GetSearchParams() const;
    void EnableFields();
    void LoadOrderTypes();
    int CurrentTab() const;
    void SelectTab(int tab);
    WSIInventoryListDialog* ListView(int tab) const;
    static QColor TabColor(int tab);
    static unsigned TabTitle(int tab);
    bool IsShowOrderQuantitiesChecked() const;

    // --- Commands.
    void CmSearch();
    void CmPrint();
    void CmExportCsv();
    void CmPickList();
    // Receiving, in its own modal screen.
    void CmReceive();
    void CmFill();
    // Transfer (handed the selected received rows), adjustment and usage, each modal.
    void CmTransfer();
    void CmAdjust();
    void CmUsage();
    void CmShowOrderQuantities();
    // Look-ups: the product search and the vendor search fill their filter fields.
    void CmProductHelp();
    void CmVendorHelp();
    // Category look-up within the chosen product type; the choice becomes the filter.
    void CmCategoryHelp();
    void CmSetup();
    void CmCategoryClear();
    void CmProductClear();
    void CmVendorClear();
    void EvProductTypeComboChanged();
    void EvTabChange();
    // Maximising the window: the list is hidden meanwhile and takes the new size after.
    void EvSysCommand(bool maximize);
    // The window that holds the screen: its MDI child, else its top-level window (the
    // host's main window is never it).
    QWidget* Frame() const;

    // A new order (levelData null) or one from selected stock levels in the order entry
    // screen; the pending list of its kind then shows the order's lines.
    void Order(const std::vector<WSILevelsData>* levelData);
    // A pick list over the selected pending lines; returns the batch id, 0 when none.
    long CreateFillBatch(std::string* orderedByOut, std::string* filledByOut, bool askToPrint);
    // Whether an active count adjustment code exists (what counting needs).
    bool CountCodesExist() const;
    // The count screen, or message 38212 when no active count code exists.
    void CmCount();
    // The expiry watch on the location filter's location (all when none is chosen).
    void CmExpiry();
    // The ordering location the selected received rows share when all are untouched
    // receipts of one location, "" otherwise; anySelected tells whether rows were selected.
    std::string TransferLocation(bool* anySelected) const;

    // The selection cache the filter fields show.
    BIInventory& Selection() const { return *selection_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildFilterArea();
    void BuildTabs();
    void BuildButtons();
    void FillSelectors();
    void SetDefaultDates();
    void ShowField(QWidget* w, bool show);
    // A look-up button: shown with its field, enabled only when its screen exists.
    void ShowCommand(int id, bool show);
    void BlankField(QLineEdit* field);
    void ShowCategoryAndProduct();
    // Binds a command that reads or writes rows: the lists' fills complete before it runs.
    void SetRowCommand(int id, CommandHandler handler);
    void AddCommandButtonTo(class QLayout* layout, int id, const QString& text);
    void RefreshTab(int tab, long source, long id);
    // Keys of the screen: Enter searches, F5 searches again, Ctrl+P prints, Ctrl+Tab
    // changes tabs, Down leaves a filter field for the list.
    void InstallKeyboard();
    void StepTab(int step);
    void FocusList();

    std::unique_ptr<BIInventory> selection_;
    WSIComboBox* prdType_ = nullptr;
    QLineEdit* category_ = nullptr;
    QLineEdit* product_ = nullptr;
    WSIComboBox* location_ = nullptr;
    WSIComboBox* orderedBy_ = nullptr;
    WSIDateEdit* fromDate_ = nullptr;
    WSIDateEdit* toDate_ = nullptr;
    WSIComboBox* orderType_ = nullptr;
    WSIComboBox* itemType_ = nullptr;
    WSIComboBox* openStatus_ = nullptr;
    WSIComboBox* closedStatus_ = nullptr;
    QLineEdit* vendor_ = nullptr;
    QCheckBox* withStockOnly_ = nullptr;
    QCheckBox* perLocation_ = nullptr;
    QCheckBox* includeInactive_ = nullptr;
    QCheckBox* inStockOnly_ = nullptr;
    QCheckBox* showOrderQuantities_ = nullptr;
    QCheckBox* belowReorderOnly_ = nullptr;
    QLabel* locationLabel_ = nullptr;
    QLabel* orderedByLabel_ = nullptr;
    QLabel* datesLabel_ = nullptr;
    QLabel* typeLabel_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QLabel* vendorLabel_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::array<WSIInventoryListDialog*, kTabCount> views_{};
    QPointer<QWidget> watchedFrame_;
    std::vector<QWidget*> filterFields_;
    bool focusedOnce_ = false;
};
