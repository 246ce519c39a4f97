#pragma once

// Previews the product overview report ("PrdOverview.rpt") for one product at one
// location: every movement, or those since a start date, with or without every count.
// Opened from the levels list for the selected row.

#include "WSIDialog.h"

#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class WSIDateEdit;

class WSIInvProductOverviewDialog : public WSIDialog {
    Q_OBJECT

public:
    static constexpr int kTemplate = 25029;
    static constexpr unsigned kMsgTitle = 38195;
    static constexpr unsigned kMsgBadDate = 10003;

    WSIInvProductOverviewDialog(QWidget* parent, WSIApplication* module, long product,
                                const char* invLoc);

    // The start-date box changed: the date is entered only with the box set, and an
    // empty date then starts one month before today.
    void EvUseStartDate();
    // Previews the report with the choices and closes; a start date that is not a date
    // keeps the screen open.
    void CmOk() override;

    // The report's formulas for the current choices, in the order the report takes them
    // (5 without a start date, 8 with one). False when the start date is not a date.
    bool Formulas(std::vector<std::pair<std::string, std::string>>& formulas) const;

    QCheckBox* UseStartDateBox() const { return useStartDate_; }
    WSIDateEdit* StartDateField() const { return startDate_; }
    QCheckBox* ShowAllCountsBox() const { return showAllCounts_; }

private:
    long product_;
    std::string invLoc_;
    QCheckBox* useStartDate_;
    WSIDateEdit* startDate_;
    QCheckBox* showAllCounts_;
};
