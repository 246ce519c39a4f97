#pragma once

// Inventory setup: this workstation's defaults for the stock screens (kept in its
// profile, section "Inventory") and the practice's minimum product-code length, which
// decides how a scan is read and is refused when existing product codes are shorter.

#include "WSIDialog.h"

class QLabel;
class QLineEdit;
class WSIComboBox;

class WSIInvSetupDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25025;
    enum : int {
        IdLocation = 101,
        IdOrderType = 102,
        IdOrderFromVendor = 103,
        IdOrderFromLocation = 104,
        IdTransferFrom = 105,
        IdTransferTo = 106,
        IdMinLength = 107,
    };
    static constexpr int kMinLength = 3;
    static constexpr int kMaxLength = 20;

    WSIInvSetupDialog(QWidget* parent, WSIApplication* module);

    // Shows the vendor list for an external order type, the supplying locations otherwise.
    void EvOrderTypeComboChange();
    bool Validate() override;
    // Stores the defaults and the length, applies the length, and closes.
    void CmOk() override;

private:
    void SetupWindow();
    void PopulateOrderFromCombos(const QString& orderFrom);
    void EnableOrderFromCombos();
    bool IsExternalOrderType() const;

    WSIComboBox* location_;
    WSIComboBox* orderType_;
    WSIComboBox* orderFromVendor_;
    WSIComboBox* orderFromLocation_;
    QLabel* orderFromLabel_;
    WSIComboBox* transferFrom_;
    WSIComboBox* transferTo_;
    QLineEdit* minLength_;
};
