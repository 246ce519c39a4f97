#pragma once

// The expiry date of a product that tracks expiry dates, asked while it is received. A
// date from the scanned data comes filled in; the user confirms it with Enter.

#include "Records.h"
#include "WSIDialog.h"

class QLabel;
class WSIDateEdit;

class WSIInvExpiryDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25102;
    static constexpr unsigned kMsgBadDate = 10003;
    static constexpr int kWarnExpired = 25126;

    WSIInvExpiryDialog(QWidget* parent, WSIApplication* module, const WSIProduct::WSIData& product);

    // Fills the field (a date from the scan); a null date leaves it empty.
    void SetExpiry(const WSIDate& date);
    // Shows the lot the scan carried.
    void SetLot(const QString& lot);
    // The accepted date; false before one was accepted.
    bool GetExpiry(WSIDate& date) const;
    WSIDateEdit* Field() const { return date_; }

    void CmOk() override;

private:
    WSIDate accepted_{};
    WSIDateEdit* date_;
    QLabel* lot_;
};
