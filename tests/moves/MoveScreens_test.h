#pragma once

// The transfer, adjustment and usage screens as staff use them: codes and quantities typed
// into the entry field as a keyboard scanner types them, questions answered by script,
// and the stock read back through the table readers and the stock check.

#include "ScanFixture.h"

#include <QObject>

#include <memory>
#include <string>

class WSIInvScanDialog;
class WSIInvTransferDialog;

class MoveScreensTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void Transfer_ScansAddUpAndAModifiedRowMovesTheDifference();
    void Transfer_RefusedScansMoveNothing_data();
    void Transfer_RefusedScansMoveNothing();
    void Transfer_RowTotalBeyondOneMovementIsRefusedWhenModified();
    void Transfer_AllModeEmptiesATypeTwoLocation();
    void Transfer_AllModeRefusalKeepsWhatMovedBefore();
    void MainScreen_TransferOfSelectedReceivedItemsAndTheOtherCommands();
    void Transfer_SelectedModeWithoutCommonLocationRefuses();

    void Adjust_CodeTypeDecidesTheChange_data();
    void Adjust_CodeTypeDecidesTheChange();
    void Adjust_RefusalRepeatedAfterItsQuestion_data();
    void Adjust_RefusalRepeatedAfterItsQuestion();
    void Adjust_CodeLookUpAndInactiveCode();
    void Adjust_TabFollowsReadingOrder();
    void Usage_NotTrackedIsANoticeWithoutMessageBox();

private:
    // Shows the screen with the entry delay out of the way and waits until it is active.
    void Show(WSIInvScanDialog& screen);
    void Scan(WSIInvScanDialog& screen, const QString& text);
    // A product with its product location at loc holding one lot of `quantity` with
    // `balance` left (no product location and no lot when quantity is 0).
    long Product(const char* code, const char* loc, short quantity, double balance,
                 short trackUsage = 1);
    // A received lot at loc with its movement details; returns its id (0 when not stored).
    long Lot(long product, const char* loc, short quantity, double balance, long invOrdIt = 0,
             long invRec = 0);
    double Balance(long product, const char* loc);
    double LastCount(long product, const char* loc);
    // Stock items of the product at loc: count, and how many came from `from`.
    int Items(long product, const char* loc, const char* from = nullptr);
    // Selects the transfer's two locations; false when a list or a location is missing.
    bool Choose(WSIInvTransferDialog& screen, const char* from, const char* to);
    bool StockConsistent();

    std::unique_ptr<ScreensData> data;
    ScanHost host;
};
