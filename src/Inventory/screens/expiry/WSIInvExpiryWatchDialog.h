#pragma once

// Expiry watch: the lots with stock left that expire within 30, 60 or 90 days or by a
// chosen day, at one location or all, soonest first and coloured by urgency. From a lot
// the adjustment screen (with the clinic's code for expired stock) or the transfer screen
// opens on it; the list prints through its own report.

#include "BIInvExpiry.h"
#include "WSIApplication.h"
#include "WSIDialog.h"

#include <QColor>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class WSIDateEdit;
class WSIInvScanDialog;
class WSIListWindow;

class WSIInvExpiryWatchDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25250;
    enum : int { IdSearch = 201, IdAdjust = 202, IdTransfer = 203, IdPrint = 204 };
    enum Column : int {
        ColExpires = 0,
        ColDaysLeft,
        ColStatus,
        ColLocation,
        ColProduct,
        ColDescription,
        ColLot,
        ColQuantity,
        ColUnit,
        ColCost,
        ColValue,
    };
    // The window choices, in the order of the list: 30, 60 and 90 days, or a day.
    static constexpr int kWindowDays[] = {30, 60, 90};
    static constexpr int kWindowByDate = 3;

    static constexpr unsigned kMsgTitle = 40250;
    static constexpr unsigned kMsgSelectLot = 40251;
    static constexpr unsigned kMsgBadDate = 40252;
    static constexpr unsigned kMsgLotGone = 40254;
    static constexpr const char* kReportFile = "ExpiryWatch.rpt";

    // location: the location shown first ("" for all locations).
    WSIInvExpiryWatchDialog(QWidget* parent, WSIApplication* module,
                            const std::string& location = std::string());
    ~WSIInvExpiryWatchDialog() override;

    // Reads the lots of the chosen window and location again.
    void CmSearch();
    // The selected lot in the adjustment screen: its location, the expired-stock code,
    // its product and balance filled in, to be confirmed there with Enter.
    void CmAdjust();
    // The selected lot in the transfer screen, as a selected item to move.
    void CmTransfer();
    void CmPrint();

    const std::vector<tavel::ExpiringLot>& Lots() const { return lots_; }
    WSIListWindow* List() const { return list_; }
    // The last day of the chosen window; null when the typed day is not a date.
    WSIDate WindowEnd() const;
    std::string LocationCode() const;

    static QColor UrgencyColor(tavel::ExpiryUrgency urgency);
    static QString UrgencyText(tavel::ExpiryUrgency urgency);

private:
    WSIDatabase* Db() const { return Module() ? Module()->GetDb() : nullptr; }
    void BuildHeader();
    void BuildList();
    void BuildButtons();
    void EnableCommands();
    // The selected lot, when it still has stock; none (and the reason said) when no lot is
    // selected or its stock was used or moved meanwhile (the list is then read again).
    std::optional<tavel::ExpiringLot> ChosenLot();
    // The lot's product and balance in a scan screen's entry, to be confirmed there.
    static void FillEntry(WSIInvScanDialog& screen, const tavel::ExpiringLot& lot);

    std::unique_ptr<tavel::BIInvExpiry> expiry_;
    std::vector<tavel::ExpiringLot> lots_;
    QComboBox* window_ = nullptr;
    WSIDateEdit* until_ = nullptr;
    QComboBox* location_ = nullptr;
    QLabel* summary_ = nullptr;
    WSIListWindow* list_ = nullptr;
};
