#pragma once

#include "ScreensFixture.h"

#include <QObject>

#include <memory>

class WSIInventoryDialog;

class InventoryScreenTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void PendingAndClosedTabsSplitTheStatuses();
    void PendingFiltersBySupplyingLocationAndType();
    void LevelsByLocationAndSummed();
    void ReceivedAndUsageSearches();
    void DatesOutOfOrderShowMessageAndDoNotSearch();
    void RefreshUpdatesAndRemovesRows();
    void SortingByBackOrderedPutsThemFirst();
    void StatusCommandsChangeDatabaseAndMarks();
    void CancelOrderCancelsEveryLine();
    void FillBatchRefusesMixedLocations();
    void PickListMessagesAndBatch();
    void CountNeedsAnActiveCountCode();
    void ClosedTabOrderTypeDecidesLocationOrVendor();
    void CommandsRestrictedAndEveryScreenAvailable();
    void TabLeavesTheListButCtrlTabStays();
    void PrintSendsTheListToTheHost();
    void MaximisingKeepsTheCurrentListShown();
    void CancelAndMaximiseActOnTheInventoryWindowAlone();
    void AFailedSearchKeepsTheRowsAndSaysSo();
    void ProfileLocationAndOrderEntryNotices();
    void KeyboardOnlySearchesChangesTabsAndOpensMenus();
    void MnemonicsAreUniqueOnEveryTabAndReachTheirFields();

private:
    std::unique_ptr<WSIInventoryDialog> NewScreen();
    void Search(WSIInventoryDialog& screen, int tab);

    std::unique_ptr<ScreensData> data;
};
