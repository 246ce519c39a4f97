#pragma once

// Repackages part of one received lot into stock of another product at the same
// location (a box of 12 into boxes of 6): the target quantity and unit cost follow from
// the items per unit of the two products when they share a unit. Opened from the
// received list with the row's record.

#include "LotEntry.h"
#include "Records.h"
#include "WSIDialog.h"

#include <memory>

class DBProduct;
class QLabel;
class QLineEdit;

class WSIInvRepackageProductDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25027;
    static constexpr int IdProductHelp = 25201;
    static constexpr unsigned kMsgRequired = tavel::lots::kMsgRequired;
    static constexpr unsigned kMsgAboveBalance = 38198;
    static constexpr unsigned kMsgNoTarget = 40201;

    // row is the caller's and must outlive the screen.
    WSIInvRepackageProductDialog(QWidget* parent, WSIApplication* module,
                                 const WSIReceivedData& row);
    ~WSIInvRepackageProductDialog() override;

    // The quantity to repackage changed: single items and total value, then the target.
    void EvOldQuantityChanged();
    // The target product field changed: reads the product it names (code or UPC code)
    // and works out the target quantity and unit cost.
    void UpdateOtherFields();
    // The target quantity typed by hand: the unit cost follows from the total value.
    void EvNewQuantityChanged();
    // Picks the target product with the product search.
    void CmProductHelp();

    bool Validate() override;
    void CmOk() override;

    long SingleItems() const { return singleItems_; }
    double TotalValue() const { return totalValue_; }
    // The target product read for the field; 0 when it names none.
    long TargetProduct() const;

    QLineEdit* OldQuantityField() const { return oldQuantity_; }
    QLineEdit* TargetProductField() const { return targetProduct_; }
    QLineEdit* NewQuantityField() const { return newQuantity_; }
    QLineEdit* NewCostField() const { return newCost_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Items per unit as the arithmetic takes them: 1 when below 1.
    static long PerUnit(long itemsPerUnit) { return itemsPerUnit < 1 ? 1 : itemsPerUnit; }
    void ShowTarget();
    void ClearTarget();
    void FocusFor(class BIException& e);

    const WSIReceivedData& row_;
    std::unique_ptr<DBProduct> target_;
    long singleItems_ = 0;
    double totalValue_ = 0;
    bool recomputing_ = false;

    QLineEdit* oldQuantity_;
    QLabel* singleItemsLabel_;
    QLabel* totalValueLabel_;
    QLineEdit* targetProduct_;
    QLabel* targetDescription_;
    QLineEdit* newQuantity_;
    QLabel* targetUnit_;
    QLabel* targetItemsPerUnit_;
    QLabel* targetItemUnit_;
    QLineEdit* newCost_;
    QLabel* unitNote_;
};
