#pragma once

// Corrects the cost, the expiry date and the reference text of one received lot, opened
// from the received list with the row's record.

#include "Records.h"
#include "WSIDialog.h"

class QLabel;
class QLineEdit;
class WSIDateEdit;

class WSIInvAdjustCostsDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25028;
    static constexpr unsigned kMsgRequired = 45032;
    static constexpr unsigned kMsgBadCost = 39705;
    static constexpr int kWarnCostChanged = 25127;

    // row is the caller's and must outlive the screen.
    WSIInvAdjustCostsDialog(QWidget* parent, WSIApplication* module, const WSIReceivedData& row);

    bool Validate() override;
    void CmOk() override;

    WSIDateEdit* ExpiryField() const { return expiry_; }
    QLineEdit* CostField() const { return cost_; }
    QLineEdit* RefNoField() const { return refNo_; }

private:
    bool Tracked() const { return row_.TrackExpiryDate != 0; }

    const WSIReceivedData& row_;
    WSIDateEdit* expiry_;
    QLabel* expiryLabel_;
    QLineEdit* cost_;
    QLineEdit* refNo_;
};
