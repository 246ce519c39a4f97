#pragma once

// The stock list views of the main inventory screen: stock levels (tab 3), received
// stock (tab 4) and usage (tab 5).

#include "Records.h"
#include "WSIInventoryListDialog.h"

#include <set>
#include <string>
#include <utility>

class WSIInvLevelsDialog : public WSIInventoryListDialog {
    Q_OBJECT

public:
    static constexpr int kMenuId = 25004;
    static constexpr int CmShowProductLocationsId = 25141;
    static constexpr int CmShowProductOverviewId = 25142;
    static constexpr int CmShowBackOrdLocsId = 25143;
    static constexpr int CmAddOrderId = 25144;
    static constexpr int CmBinLabelsId = 25145;

    WSIInvLevelsDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                       int templateId = 25003);

    std::unique_ptr<WSITable> GetSearchTable() override;
    void UpdateSpecialColumns(int row) override;
    unsigned GetTitleStringId() const override { return 38062; }
    const WSILevelsData* RowRecord(int row) const;

    // Puts the selected rows on a new order; refused with 38593 when they come from
    // different vendors.
    void CmAddOrder();
    // Where the selected product is kept, with its quantity at each location.
    void CmShowProductLocations();
    // The product overview needs a location: 38226 for a summary row.
    void CmShowProductOverview();
    // Bin labels for the selected rows (a location's products: search it, select all).
    void CmBinLabels();

protected:
    void DoRefreshList(int mode, long id, bool add) override;
    WSIListRow RowFromRecord() override;
    void UpdateRowFromRecord(int row) override;
    int CompareRows(const WSIListRow& a, const WSIListRow& b, int column) const override;
    std::unique_ptr<WSITable> OpenRecordQuery(const std::string& sql) override;
    void BeforeSearch() override;

private:
    unsigned MarksOf(const WSILevelsData& r, bool fromSearch) const;
    void ReadBackOrderedLocations();

    WSILevelsData record_{};
    bool byLocation_ = false;
    bool withOrders_ = false;
    // Product and supplying location of every back-ordered active order line, read once
    // per search instead of once per row.
    std::set<std::pair<long, std::string>> backOrdered_;
};

class WSIInvReceivedDialog : public WSIInventoryListDialog {
    Q_OBJECT

public:
    static constexpr int kMenuId = 25005;
    static constexpr int CmRepackageProductId = 25151;
    static constexpr int CmAdjustCostsId = 25152;
    static constexpr int CmSplitReceiptId = 25153;
    static constexpr int CmLotLabelsId = 25154;

    WSIInvReceivedDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                         int templateId = 25005);

    std::unique_ptr<WSITable> GetSearchTable() override;
    unsigned GetTitleStringId() const override { return 38064; }
    const WSIReceivedData* RowRecord(int row) const;
    // Corrects the selected lot's cost, expiry date and reference.
    void CmAdjustCosts();
    // Splits part of the selected lot off into a new lot, which joins the list.
    void CmSplitReceipt();
    // Repackages part of the selected lot into another product.
    void CmRepackageProduct();
    // GS1 lot labels for the selected lots.
    void CmLotLabels();

protected:
    void DoRefreshList(int mode, long id, bool add) override;
    WSIListRow RowFromRecord() override;
    void UpdateRowFromRecord(int row) override;
    int CompareRows(const WSIListRow& a, const WSIListRow& b, int column) const override;
    std::unique_ptr<WSITable> OpenRecordQuery(const std::string& sql) override;

private:
    WSIReceivedData record_{};
};

class WSIInvUsageDialog : public WSIInventoryListDialog {
    Q_OBJECT

public:
    WSIInvUsageDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                      int templateId = 25006);

    std::unique_ptr<WSITable> GetSearchTable() override;
    unsigned GetTitleStringId() const override { return 38065; }
    const WSIUsageData* RowRecord(int row) const;

protected:
    WSIListRow RowFromRecord() override;
    void UpdateRowFromRecord(int row) override;
    int CompareRows(const WSIListRow& a, const WSIListRow& b, int column) const override;
    std::unique_ptr<WSITable> OpenRecordQuery(const std::string& sql) override;

private:
    WSIUsageData record_{};
};

// Products of the order's lines, for refreshes of stock views by order.
std::vector<long> ProductsOfOrder(WSIDatabase* db, long invOrder);
