#pragma once

// Filling the internal order lines of one pick list at the supplying location: each
// scanned product and quantity is spread over the product's lines (one fill transaction
// per entry), a selected line takes a new total, a line can be filled with a substitute
// of the same product type, and what stays short is back-ordered on closing. A fill
// refused because the supplying location's recorded stock is short can be settled by
// moving the missing quantity from another location first.

#include "WSIInvScanDialog.h"

#include <memory>
#include <string>
#include <vector>

class BIInvFill;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

// One row of the fill list: one open order line of the pick list.
struct WSIFillLine : WSIScanLine {
    short status = 0;
    long invOrder = 0;
    long invOrdIt = 0;
    short filled = 0; // the line's filled quantity, this screen's fills included
    bool wasBackOrdered = false;
};

class WSIInvOrderFillDialog : public WSIInvScanListDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25111;
    enum : int {
        CmCancelItemId = 25102,
        CmCloseItemId = 25103,
        CmAutoFillId = 25151,
        CmSubstituteId = 25152,
    };
    enum Column : int {
        ColOrder = 0,
        ColItem,
        ColProductCode,
        ColDescription,
        ColUnit,
        ColBin,
        ColOrdered = 6,
        ColStatus = 7,
        ColToFill = 8,
        ColThisFill = 9,
    };
    static constexpr int kWarnOverFill = 25116;
    static constexpr int kWarnBackOrderShort = 25104;
    static constexpr int kWarnCancelLine = 25121;
    static constexpr int kWarnCloseLine = 25123;
    static constexpr unsigned kMsgNoProduct = 38556;
    static constexpr unsigned kMsgSkipped = 38574;
    static constexpr unsigned kMsgOfferMove = 40150;
    static constexpr unsigned kMsgSameLocation = 40151;
    static constexpr unsigned kMsgPickListCleared = 40152;
    static constexpr unsigned kMsgSelectLine = 40153;

    WSIInvOrderFillDialog(QWidget* parent, WSIApplication* module, long pickList,
                          const char* supplyingLoc, const char* orderingLoc, bool showPickList);
    ~WSIInvOrderFillDialog() override;

    void CmOk() override;
    void CmCancel() override;
    void CmAutoFill();
    void CmSubstitute();
    void CmCancelItem();
    void CmCloseItem();
    void EvCommandEnable() override;

    BIInvFill& Fill() const { return *fill_; }
    bool IsNewBatch() const { return newBatch_; }
    long PickList() const { return pickList_; }

protected:
    void DoScan(bool handled, bool, bool, bool) override;
    void RefreshList() override;
    void CmPreview() override;
    void CmPrint() override;
    void DoModify(int line) override;
    void DoBackOrder(int line) override;
    WSIScanLine* LineAt(int row) const override;

private:
    // One order line's share of an entry.
    struct Share {
        int row;
        long invOrdIt;
        short quantity;
    };
    void BuildHeader(const char* supplyingLoc, const char* orderingLoc, bool showPickList);
    void BuildButtons();
    std::string LocationOf(const QComboBox* box) const;
    // The entry's fills in one fill transaction; on a shortage at the supplying location
    // the move from another location is offered and the entry repeated after it.
    bool RunFills(long product, const std::vector<Share>& shares, bool createMissing,
                  bool allowExpired, bool allowNoExpiry);
    bool OfferMove(long product, double missing);
    bool StillOnPickList(const std::vector<Share>& shares);
    void UpdateList(int row, short quantity);
    void GiveFeedback(long product, short quantity);
    void Notify(long product);
    bool HandleBackOrders();
    void AutoBackOrder(bool all);
    void SetLineStatus(int warnTemplate, short status);
    QString StatusText(short status) const;
    WSIFillLine* FillLineAt(int row) const;

    std::unique_ptr<BIInvFill> fill_;
    long pickList_;
    bool newBatch_ = true;
    bool automatic_ = false;
    int skipped_ = 0;

    QComboBox* supplying_ = nullptr;
    QComboBox* ordering_ = nullptr;
    QLabel* orderingName_ = nullptr;
    QLabel* pickListLabel_ = nullptr;
};

// Fills one order line with another product of the same product type: one product and
// quantity, scanned or typed, through the fill screen's fill object.
class WSIInvSubstituteDialog : public WSIInvScanDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25114;

    // batch: open the fill batch (secondLoc supplies, firstLoc is supplied) before the
    // fill, as the fill screen's first entry would.
    WSIInvSubstituteDialog(QWidget* parent, WSIApplication* module, const char* firstLoc,
                           const char* secondLoc, long invOrdIt, BIInvFill* fill, bool batch);
    ~WSIInvSubstituteDialog() override;

    short GetQuantity() const { return quantity_; }
    bool GetSuccess() const { return success_; }
    void CmCancel() override;
    QPlainTextEdit* CommentField() const { return comment_; }

protected:
    void DoScan(bool handled, bool, bool, bool) override;

private:
    char firstLoc_[7] = {};
    char secondLoc_[7] = {};
    long invOrdIt_;
    BIInvFill* fill_;
    bool batch_;
    short quantity_ = 1;
    bool success_ = false;
    QPlainTextEdit* comment_ = nullptr;
};
