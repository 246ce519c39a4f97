#pragma once

// Adjustment and usage: one scanned product and quantity at a time changes the stock of
// one location through BIInvAdj::Adjust. The base holds the whole entry, including the
// questions that repeat a refused movement with one of its permission flags: create the
// missing stock, use an expired lot, use a lot without expiry date.

#include "WSIInvScanDialog.h"

#include <functional>
#include <memory>
#include <string>

class BIInvAdj;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

class WSIInvAdjBaseDialog : public WSIInvScanDialog {
    Q_OBJECT

public:
    // Warning screens: an expired lot, a shortage (the amount shown), more than the lots
    // can take back (the amount shown), a lot without expiry date.
    static constexpr int kWarnExpired = 25108;
    static constexpr int kWarnShort = 25109;
    static constexpr int kWarnExtra = 25110;
    static constexpr int kWarnNoExpiry = 25117;
    static constexpr unsigned kMsgNotTracked = 38529;

    WSIInvAdjBaseDialog(QWidget* parent, WSIApplication* module, int templateId);
    ~WSIInvAdjBaseDialog() override;

    // The code of the selected location ("" when none).
    std::string LocationCode() const;
    QComboBox* LocationList() const { return location_; }

protected:
    // Adjust with the current product and quantity; a refusal that a question can lift is
    // asked and the same entry repeated with the matching flag.
    void DoScan(bool handled, bool createMissing, bool allowExpired, bool allowNoExpiry) override;
    // Quantity 1, no current product, an empty entry; the feedback stays until the next entry.
    void Reset() override;
    // The movement type and the adjustment code of the next movement.
    virtual void SetType() = 0;
    virtual void SetInvAdj() = 0;
    // Where the focus goes when the adjustment code was refused.
    virtual void FocusCode() { SetNextFocusItem(); }
    // The end of opening: the focus on the location list while none is chosen, else on
    // `next`; the entry reset.
    void FinishOpening(QWidget* next);

    // The header's grid: the location on its first row, room for a screen's own fields.
    QGridLayout* HeaderGrid() const { return headerGrid_; }

    short type_ = 0;
    std::string invAdj_;

private:
    // The shortage (negative) or surplus question with its amount; true on Yes.
    bool AskMissing(double amount);
    void Refused();
    // The warning screen's question; Yes runs repeat, No refuses the entry.
    void AskThenRepeat(int warning, const std::function<void()>& repeat);

    std::unique_ptr<BIInvAdj> adj_;
    QComboBox* location_ = nullptr;
    QGridLayout* headerGrid_ = nullptr;
};

// An adjustment under a code chosen on the screen: the code's type decides whether stock
// goes down, up, or is counted.
class WSIInvAdjDialog : public WSIInvAdjBaseDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25106;
    enum : int { CmInvAdjId = 25141 };

    WSIInvAdjDialog(QWidget* parent, WSIApplication* module);

    // Look-up of the code in the adjustment codes screen.
    void CmInvAdj();
    QLineEdit* CodeField() const { return code_; }

protected:
    void SetType() override;
    void SetInvAdj() override;
    void FocusCode() override;

private:
    void ShowCodeDescription();

    QLineEdit* code_ = nullptr;
    QLabel* codeDescription_ = nullptr;
};

// Usage at a location that tracks it; no code.
class WSIInvUsageDlg : public WSIInvAdjBaseDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25107;

    WSIInvUsageDlg(QWidget* parent, WSIApplication* module);

protected:
    void SetType() override;
    void SetInvAdj() override;
};
