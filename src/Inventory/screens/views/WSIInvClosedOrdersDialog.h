#pragma once

// Closed order lines (cancelled, closed, filled) with the date of their last receipt.

#include "Records.h"
#include "WSIInventoryListDialog.h"

#include <string>
#include <unordered_map>

class WSIInvClosedOrdersDialog : public WSIInventoryListDialog {
    Q_OBJECT

public:
    static constexpr int kMenuId = 25003;
    static constexpr int CmEditOrderId = 25131;
    static constexpr int CmShowFillingDetailsId = 25132;
    static constexpr int CmUpdateOrderId = 25133;

    WSIInvClosedOrdersDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                             int templateId = 25002);

    std::unique_ptr<WSITable> GetSearchTable() override;
    unsigned GetTitleStringId() const override { return 38061; }
    const WSIInvOrderData* RowRecord(int row) const;

protected:
    void DoRefreshList(int mode, long id, bool add) override;
    WSIListRow RowFromRecord() override;
    void UpdateRowFromRecord(int row) override;
    int CompareRows(const WSIListRow& a, const WSIListRow& b, int column) const override;
    std::unique_ptr<WSITable> OpenRecordQuery(const std::string& sql) override;
    void BeforeSearch() override;

private:
    // The latest audit date of the line's stock items at its ordering location.
    WSIDate LastReceipt(const WSIInvOrderData& r) const;

    WSIInvOrderData record_{};
    // Product descriptions for lines without their own, read once per search.
    std::unordered_map<long, std::string> descriptions_;
    int vendorWidth_ = 0;
    int supplyingWidth_ = 0;
};
