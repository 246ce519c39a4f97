#pragma once

#include "Paths.h"
#include "StringTable.h"
#include "WSIApplication.h"

#include <QObject>

#include <string>

// Texts from the real string table, nothing else.
class ScreensTextHost : public WSIApplication {
public:
    StringTable strings;
    ScreensTextHost() { strings.LoadFile(tavel::ResourceDir() + "/strings/en.tsv"); }
    int LoadString(unsigned code, char* buf, int size) const override {
        return strings.Load(code, buf, size);
    }
    int MessageBox(WSIWindow*, const char*, const char*, unsigned) override { return 0; }
    std::string Text(unsigned code) const { return std::string(strings.Get(code)); }
};

class ViewLogicTest : public QObject {
    Q_OBJECT

private slots:
    void PendingClausesFollowTheParametersInOrder();
    void PendingLeavesOutUnsetClauses();
    void PendingExternalFiltersTheVendor();
    void ClosedListsOnlyClosedStatuses();
    void LevelsInactiveClauseGoesInsideTheSummary();
    void ReceivedAndUsageClauses();
    void FillSlotsPutsTextsInOrder();
    void PendingCellsAndMarks();
    void LevelsCellsPerLocationAndSummary();
    void ComparersOfTheOtherViews();
    void RefreshExaminesTheRowThatMovesUp();
    void FillSelectionChecks_data();
    void FillSelectionChecks();
    void DecliningTheOnPickListQuestionStops();
    void TransferNeedsUntouchedReceiptsOfOneLocation();
    void OneOrderNeedsOneVendor();
};
