#pragma once

// Splits part of one received lot off into a new lot of the same product at the same
// location, with its own unit cost and expiry date; the new lot keeps the age of the
// lot it came from. Opened from the received list with the row's record.

#include "LotEntry.h"
#include "Records.h"
#include "WSIDialog.h"

class QLabel;
class QLineEdit;
class WSIDateEdit;

class WSIInvSplitDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25035;
    static constexpr unsigned kMsgRequired = tavel::lots::kMsgRequired;
    static constexpr unsigned kMsgWholeLot = 38228;
    static constexpr unsigned kMsgAboveBalance = 38198;
    static constexpr unsigned kMsgBadExpiry = 40200;
    static constexpr int kWarnCostChanged = tavel::lots::kWarnCostChanged;

    // row is the caller's and must outlive the screen.
    WSIInvSplitDialog(QWidget* parent, WSIApplication* module, const WSIReceivedData& row);

    // The new lot's quantity changed: what stays in the old lot and the new lot's value.
    void EvNewQuantityChanged();
    // The new lot's unit cost changed: its value.
    void EvNewCostChanged();

    bool Validate() override;
    void CmOk() override;

    // The new lot's stock item after a split, 0 before.
    long GetNewInvItem() const { return newInvItem_; }

    QLineEdit* QuantityField() const { return newQuantity_; }
    QLineEdit* CostField() const { return newCost_; }
    WSIDateEdit* ExpiryField() const { return expiry_; }

private:
    bool Tracked() const { return row_.TrackExpiryDate != 0; }

    const WSIReceivedData& row_;
    long newInvItem_ = 0;

    QLabel* oldQuantity_;
    QLabel* oldBalance_;
    QLabel* oldValue_;
    QLineEdit* newQuantity_;
    QLabel* newQuantityEcho_;
    QLineEdit* newCost_;
    QLabel* newValue_;
    WSIDateEdit* expiry_;
};
