#pragma once

// The count screen as a storekeeper uses it at the shelf: codes and quantities typed into
// the entry field as a keyboard scanner types them, rows changed from the list, and the
// product locations, count markers and stock read back afterwards.

#include "ScanFixture.h"

#include <QObject>

#include <memory>
#include <vector>

class WSIInvCountDialog;

class CountScreenTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void Count_ScansAddUpAndAChangedRowReplaces();
    void Count_Gs1ScanCarriesItsCount();
    void Count_Refused_data();
    void Count_Refused();
    void Count_NeedsALocationAndACode_data();
    void Count_NeedsALocationAndACode();
    void List_WideningSortingAndNotCountedOnly();
    void List_EachHeadingSortsByItsColumn_data();
    void List_EachHeadingSortsByItsColumn();
    void List_LongListFillsInStepsAndIsWholeBeforeACount();
    void MainScreen_CountNeedsAnActiveCountCode();

private:
    struct Marker {
        long batch;
        double count;
    };
    std::unique_ptr<WSIInvCountDialog> Open(const char* location = "WARD");
    void Scan(WSIInvCountDialog& screen, const QString& text);
    // A product held at WARD (not tracking usage) with a lot of balance there.
    long Product(const char* code, short balance, short trackUsage = 0, short inactive = 0);
    WSIPrdLoc::WSIData PrdLoc(long product, const char* loc = "WARD");
    // The count markers of product at WARD.
    std::vector<Marker> Markers(long product);
    bool StockConsistent();

    std::unique_ptr<ScreensData> data;
    ScanHost host;
};
