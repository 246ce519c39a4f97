#pragma once

// Moving stock from one location to another in one batch. Three ways: scanned products
// and quantities one by one; everything a location of type 2 holds at once; or the
// received stock items selected on the main screen, to the location that ordered them.
// The list shows what arrived at the to-location in this batch, one row per product.

#include "Records.h"
#include "WSIInvScanDialog.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class BIInvTransfer;
class QComboBox;
class QRadioButton;

class WSIInvTransferDialog : public WSIInvScanListDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25112;
    enum : int {
        IdByProduct = 103,
        IdAll = 104,
        IdSelected = 105,
    };
    enum Column : int {
        ColProductCode = 0,
        ColDescription,
        ColCategory,
        ColUnit,
        ColQuantity = 4,
        ColUPCCode,
    };
    enum class Mode { ByProduct, All, Selected };
    static constexpr unsigned kMsgNoReceivedView = 38584;
    static constexpr unsigned kMsgNoOrderingLocation = 38585;
    static constexpr unsigned kTitleMessage = 40100;

    // The rows selected in the main screen's received list when the transfer runs; an empty
    // function when the screen was opened without that list.
    using ReceivedRows = std::function<std::vector<const WSIReceivedData*>()>;

    WSIInvTransferDialog(QWidget* parent, WSIApplication* module, ReceivedRows received = {},
                         const std::string& orderingLoc = std::string());
    ~WSIInvTransferDialog() override;

    void CmOk() override;
    void CmAdd();
    void EvProductRadio();
    void EvTransferFromChanged();
    void EvCommandEnable() override;

    Mode CurrentMode() const;
    bool IsNewBatch() const { return newBatch_; }
    BIInvTransfer& Transfer() const { return *transfer_; }

    // The stock item of a received-list row.
    static WSIInvItem::WSIData StockItemOf(const WSIReceivedData& row);

protected:
    void DoScan(bool handled, bool, bool, bool) override;
    void DoModify(int line) override;
    void RefreshList() override;
    void ClearBatch() override;
    void CmPreview() override;
    void CmPrint() override;
    void LockFields(bool lock) override;

private:
    void BuildHeader();
    void BuildButtons();
    // Opens the batch between from and to when none is open yet.
    void OpenBatch(const std::string& from, const std::string& to);
    void DoTransferAll();
    void DoTransferSelected();
    // After the first transfer the locations and the mode belong to the batch.
    void BatchStarted();
    void EnableHeader(bool enable);
    // The list row of product, -1 when none.
    int RowOf(long product) const;
    void Notify(long product);

    std::unique_ptr<BIInvTransfer> transfer_;
    ReceivedRows received_;
    std::string orderingLoc_;
    int orderingIndex_ = -1;
    bool newBatch_ = true;

    QComboBox* from_ = nullptr;
    QComboBox* to_ = nullptr;
    QRadioButton* byProduct_ = nullptr;
    QRadioButton* all_ = nullptr;
    QRadioButton* selected_ = nullptr;
};
