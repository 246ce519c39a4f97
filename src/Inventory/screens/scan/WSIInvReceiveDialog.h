#pragma once

// Receiving goods into a location, against a purchase order or without one. The screen
// keeps the receipt header, lists the order's lines with what has been received, and
// turns each scanned product and quantity into one BIInvReceive Add, Modify or Delete.
// Under an order line, one row per expiry date (and per lot, when the scan carried one
// and the header has no reference number) shows what this receipt took in of it.

#include "Records.h"
#include "WSIInvScanDialog.h"

#include <memory>
#include <string>

class BIInvReceive;
class QComboBox;
class QLabel;
class QLineEdit;
class WSIDateEdit;

// One row of the receiving list.
struct WSIReceiveLine : WSIScanLine {
    short status = 0;
    long invOrder = 0;
    long invOrdIt = 0;
    WSIDate expiry{};    // expiry rows only
    std::string refNo;   // the reference the row's receipt line carries
    bool subRow = false; // an expiry (or lot) row under its order-line row
    bool lot = false;    // refNo is the scanned lot, which addresses the line
};

class WSIInvReceiveDialog : public WSIInvScanListDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25101;
    enum : int {
        CmNewRefNoId = 212,
        CmBackOrderLineId = 25101,
        CmCancelItemId = 25102,
        CmCloseItemId = 25103,
        CmPOSearchId = 25131,
        CmVendorId = 25132,
        CmAutoReceiveId = 25133,
        CmNewPOId = 25134,
    };
    // List columns the logic uses.
    enum Column : int {
        ColItem = 0,
        ColProductCode,
        ColDescription,
        ColUnit,
        ColOrdered = 4,
        ColStatus = 5,
        ColExpiry = 6,
        ColReceived = 7,
        ColThisReceipt = 8,
        ColReference = 9,
    };
    static constexpr int kWarnAddProduct = 25103;
    static constexpr int kWarnBackOrderShort = 25104;
    static constexpr int kWarnOtherLocation = 25118;
    static constexpr int kWarnCancelLine = 25121;
    static constexpr int kWarnCloseLine = 25123;
    static constexpr unsigned kMsgModifyExpiryLine = 38582;
    static constexpr unsigned kMsgModifyLotLine = 39703;
    static constexpr unsigned kMsgOtherLocationDeclined = 39704;

    WSIInvReceiveDialog(QWidget* parent, WSIApplication* module);
    ~WSIInvReceiveDialog() override;

    void CmOk() override;
    void CmCancel() override;
    void CmPOSearch();
    void CmVendor();
    void CmAutoReceive();
    void CmNewPO();
    void CmNewRefNo();
    void CmCancelItem();
    void CmCloseItem();
    // The purchase-order number was typed or chosen: find the order and list its lines.
    void EvPOChange();
    void EvCommandEnable() override;
    // Makes the order with this id the receipt's order (the order search's answer).
    void SetOrder(long invOrder);

    BIInvReceive& Receive() const { return *receive_; }
    bool IsNewBatch() const { return newBatch_; }
    long Vendor() const { return vendor_; }

protected:
    void DoScan(bool handled, bool, bool, bool) override;
    bool HandleInvalidProduct(const char* code) override;
    void RefreshList() override;
    void CmPreview() override;
    void CmPrint() override;
    void ClearBatch() override;
    void DoModify(int line) override;
    void DoBackOrder(int line) override;
    void DoDelete(int line, long product, short quantity) override;
    void LockFields(bool lock) override;
    WSIScanLine* LineAt(int row) const override;

private:
    void BuildHeader();
    void BuildButtons();
    void FillLocations();
    // Opens the receipt batch from the header (run by the first stored line).
    void OpenBatch();
    // Copies the chosen location's code (the text up to its tab).
    std::string SetInvLoc() const;
    void UpdateDialogWithInvOrder();
    void ClearOrderFields();
    void EnableHeader(bool enable);
    // Receives the current product with Quantity(): the expiry screen for a product that
    // tracks expiry dates, then BIInvReceive::Add and the list.
    bool ReceiveCurrent();
    void UpdateList(long product, short quantity, const WSIDate* expiry, const std::string& refNo,
                    bool lot);
    int AddSubRow(int below, const WSIReceiveLine& parent, short quantity, const WSIDate* expiry,
                  const std::string& refNo, bool lot);
    int OrderRowOf(int row) const;
    bool TracksExpiry(long product, WSIProduct::WSIData* out = nullptr) const;
    void SetNumber(int row, int col, int value);
    void MarkBackOrderLocation(int row, long product, short quantity);
    // Shows the order line's status as the receipt left it.
    void ShowLineStatus(int orderRow);
    void Notify(long product);
    bool HandleBackOrders();
    void SetLineStatus(int warnTemplate, short status);
    QString StatusText(short status) const;

    std::unique_ptr<BIInvReceive> receive_;
    std::string receivingLoc_;
    long vendor_ = 0;
    bool newBatch_ = true;
    bool autoReceive_ = false;
    QString lastPO_;

    QComboBox* location_ = nullptr;
    QLineEdit* poNumber_ = nullptr;
    WSIDateEdit* poDate_ = nullptr;
    QLineEdit* vendorName_ = nullptr;
    WSIDateEdit* receiptDate_ = nullptr;
    QLineEdit* refNo_ = nullptr;
    QLabel* orderedBy_ = nullptr;
};
