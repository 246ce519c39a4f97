#pragma once

// Pending order lines: internal orders (tab 0) and, in the derived view, external
// orders (tab 1). Lines move through their statuses from the context menu.

#include "Records.h"
#include "WSIInventoryListDialog.h"

#include <string>
#include <unordered_map>

class WSIInvPendingOrdersDialog : public WSIInventoryListDialog {
    Q_OBJECT

public:
    static constexpr int kMenuId = 25002;
    // Context-menu commands.
    static constexpr int CmEditOrderId = 25121;
    static constexpr int CmBackorderId = 25122;
    static constexpr int CmCancelOrderId = 25123;
    static constexpr int CmCancelItemId = 25124;
    static constexpr int CmCloseItemId = 25125;
    static constexpr int CmShowFillingDetailsId = 25126;
    static constexpr int CmUpdateOrderId = 25127;
    static constexpr int CmReviewItemId = 25128;
    static constexpr int CmOrderItemId = 25129;

    WSIInvPendingOrdersDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                              int templateId = 25001);

    std::unique_ptr<WSITable> GetSearchTable() override;
    void UpdateSpecialColumns(int row) override;
    unsigned GetTitleStringId() const override { return 38060; }

    // The condition that tells this view's lines apart (internal or external).
    virtual std::string GetExtraWhereClause() const;
    // Shows the columns this view uses and hides the others.
    virtual void ShowHideColumns();
    // The record copy of row, null when the row has none.
    const WSIInvOrderData* RowRecord(int row) const;

protected:
    void DoRefreshList(int mode, long id, bool add) override;
    WSIInvPendingOrdersDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                              int templateId, bool external);
    WSIListRow RowFromRecord() override;
    void UpdateRowFromRecord(int row) override;
    int CompareRows(const WSIListRow& a, const WSIListRow& b, int column) const override;
    std::unique_ptr<WSITable> OpenRecordQuery(const std::string& sql) override;
    void showEvent(QShowEvent* event) override;

    void CmBackorder();
    void CmCancelOrder();
    void CmCancelItem();
    void CmCloseItem();
    void CmReviewItem();
    void CmOrderItem();

    void BeforeSearch() override;

    bool external_;
    WSIInvOrderData record_{};
    // Product descriptions for lines without their own, read once per search.
    std::unordered_map<long, std::string> descriptions_;

private:
    void BuildColumns();
    void BuildMenu();
    const WSIInvOrderData* Selected() const;
    // Confirms (warnTemplate 0: no question), moves the selected line to status and
    // shows the new status text and marks.
    void ChangeStatus(int warnTemplate, short status, unsigned statusText, unsigned setMarks,
                      unsigned clearMarks);
};

class WSIInvPendingExtOrdersDialog : public WSIInvPendingOrdersDialog {
    Q_OBJECT

public:
    WSIInvPendingExtOrdersDialog(WSIInventoryDialog* mainScreen, WSIApplication* module,
                                 int templateId = 25004);
    unsigned GetTitleStringId() const override { return 38592; }
    std::string GetExtraWhereClause() const override;
};
