#pragma once

// Starting a fill: from a stored pick list (chosen from the open ones, which can be
// printed from here) or from the orders selected on the main screen. And the
// discrepancy screen, which confirms and makes the transfer of one product quantity that
// the filling found missing at the supplying location.

#include "WSIDialog.h"

#include <memory>
#include <string>

class BIInvPickList;
class QLabel;
class QPushButton;
class QRadioButton;
class WSIListWindow;

class WSIInvFillSelectDlg : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25113;
    enum : int { CmBasedOnRadioId = 25150, CmPrintId = 5107 };
    static constexpr unsigned kMsgChoosePickList = 38554;
    enum Column : int { ColPickList = 0, ColLocation, ColLocationName, ColPickedBy };

    WSIInvFillSelectDlg(QWidget* parent, WSIApplication* module);
    ~WSIInvFillSelectDlg() override;

    bool UsePickList() const { return usePickList_; }
    long GetPickList() const { return pickList_; }
    const std::string& GetOrderedBy() const { return orderedBy_; }
    const std::string& GetFilledBy() const { return filledBy_; }

    void CmOk() override;
    void CmBasedOnRadio();
    void CmPrint();

    WSIListWindow* List() const { return list_; }

private:
    void EvItemChanged();

    std::unique_ptr<BIInvPickList> pick_;
    bool usePickList_ = true;
    long pickList_ = 0;
    std::string orderedBy_;
    std::string filledBy_;

    QRadioButton* fromPickList_ = nullptr;
    QRadioButton* fromOrders_ = nullptr;
    WSIListWindow* list_ = nullptr;
};

class WSIInvDiscrepencyDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25115;

    // Moves quantity of product from location `from` to location `to` on OK.
    WSIInvDiscrepencyDialog(QWidget* parent, WSIApplication* module, const char* to,
                            const char* from, long product, short quantity);
    ~WSIInvDiscrepencyDialog() override;

    void CmOk() override;
    void CmCancel() override;
    void SetSoundFeedback(bool on) { soundFeedback_ = on; }

private:
    void Sound(SoundKind kind);

    char to_[7] = {};
    char from_[7] = {};
    long product_;
    short quantity_;
    bool createMissing_ = false;
    bool allowExpired_ = false;
    bool allowNoExpiry_ = false;
    bool soundFeedback_ = true;
};
