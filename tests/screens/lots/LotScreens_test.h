#pragma once

#include "ScanFixture.h"

#include <QObject>

#include <memory>

class WSIInventoryDialog;

// The host of the lot screens' tests: the scan host, a date format of choice, and the
// update notifications passed on to the inventory screen as the real host does.
class LotsHost : public ScanHost {
public:
    int dateFormat = 1;
    WSIInventoryDialog* inventory = nullptr;

    int DateFormat() const override { return dateFormat; }
    void NotifyUpdate(int source, long id) override;
    void ProductRefresh(int source, long product) override;
};

class LotScreensTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void Repackage_TargetFollowsItemsPerUnit_data();
    void Repackage_TargetFollowsItemsPerUnit();
    void RepackageBoxesOfTwelveIntoBoxesOfSixFromTheReceivedList();
    void RepackageRefusalsWriteNothing();
    void SplitFourOffAtNewCostAndExpiryKeepsTheAge();
    void SplitRefusalsWriteNothing();
    void OverviewPreviewsTheProductsMovementsAtTheLocation();

private:
    struct Lot {
        short quantity = 10;
        double balance = 10;
        double cost = 2.5;
        short itemsPerUnit = 1;
        WSIDate expiry{};
        WSIDate received{2026, 1, 10};
    };
    // A received lot with the details that brought it to its balance (the rest used up on
    // `used`), its balance added to the product location; returns its stock item.
    long AddLot(long product, const char* loc, const Lot& lot, WSIDate used = {2026, 3, 10});
    long Product(const char* code, const char* unit, short itemsPerUnit, const char* upc = "");
    WSIInvItem::WSIData Item(long invItem);
    long Count(const char* sql);
    bool StockConsistent();
    // The inventory screen on the received or levels tab, searched over every date.
    std::unique_ptr<WSIInventoryDialog> Inventory(int tab, bool perLocation = true);

    std::unique_ptr<ScreensData> data;
    std::unique_ptr<LotsHost> host;
};
