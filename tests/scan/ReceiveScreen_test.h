#pragma once

// The receiving screen as a storekeeper uses it: codes and quantities typed into the
// entry field as a keyboard scanner types them, sub-screens answered by script, and the
// database read back afterwards.

#include "ScanFixture.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

class WSIInvReceiveDialog;

class ReceiveScreenTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void Entry_TakesCodesAndQuantitiesByLength_data();
    void Entry_TakesCodesAndQuantitiesByLength();
    void Entry_UnknownCodeAdded();
    void Entry_QuantityFirstThenCodeAndAutoEntryAfterDelay();
    void Receive_WholeOrderLineByLine();
    void Receive_ExpiryDatesGiveRowsUnderTheirLine();
    void Receive_ModifyAndDeleteFromTheKeyboard();
    void Receive_AutoReceiveSkipsReceivedAndMetLines();
    void Receive_ShortReceiptAsksToBackOrderOnClose_data();
    void Receive_ShortReceiptAsksToBackOrderOnClose();
    void Receive_RefusalsStoreNothing();
    void Receive_LineCommandsNewReferenceAndNewPO();
    void Receive_Gs1LotsOfOneDateAreRowsOfTheirOwn();
    void Receive_MalformedGs1IsRefused();
    void Expiry_EmptyPastAndTodayDates();
    void CostCorrection_FromTheReceivedList();
    void OrderSearch_FindsAndHandsTheOrderToReceiving();

private:
    struct Line {
        long invItem;
        long invRec;
        short quantity;
        WSIDate expiry;
        std::string refNo;
        long invOrdIt;
    };
    std::unique_ptr<WSIInvReceiveDialog> Open(const char* location = "WARD");
    // The screen with the order of PO number po looked up.
    std::unique_ptr<WSIInvReceiveDialog> OpenOrder(const char* po);
    void Scan(WSIInvReceiveDialog& screen, const QString& text);
    // An external order to loc with PO number po; its lines are added with AddOrdIt.
    long AddPO(const char* po, const char* loc = "WARD");
    long Product(const char* code, bool tracksExpiry = false);
    std::vector<Line> Lines(long product);
    short Filled(long invOrdIt);
    bool StockConsistent();
    // The expiry screen takes these dates, one per opening; an empty text cancels it.
    std::unique_ptr<SubScreenScript> AnswerExpiry(std::vector<QString> dates);

    std::unique_ptr<ScreensData> data;
    ScanHost host;
    std::deque<QString> expiryDates_;
};
