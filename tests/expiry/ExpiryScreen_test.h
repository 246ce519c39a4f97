#pragma once

// The expiry watch as staff use it: the window and the location chosen, a lot taken to
// the adjustment screen and written off, another moved through the transfer screen; the
// stock read back through the table readers and the stock check.

#include "ScanFixture.h"

#include <QObject>

#include <memory>

class ExpiryScreenTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void WindowAndLocationChooseTheLots();
    void ExpiredLotWrittenOffThroughTheAdjustmentScreen();
    void LotMovedThroughTheTransferScreen();
    void WithoutExpiredStockCodeTheUserPicksOne();
    void MainScreenCommandOpensTheWatch();
    void PrintPassesTheWindowAndLocation();

private:
    // A product at loc with one received lot of `quantity` expiring on `expiry`.
    long Lot(const char* code, const char* loc, short quantity, const WSIDate& expiry);
    double Balance(long product, const char* loc);
    bool StockConsistent();

    std::unique_ptr<ScreensData> data;
    ScanHost host;
    long vaccine = 0; // WARD, expired five days ago
    long gauze = 0;   // WARD, expires on the 30th day
    long syringe = 0; // STORE, expires on the 31st day
    long saline = 0;  // STORE, expires in half a year
};
