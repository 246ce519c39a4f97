#pragma once

#include "ScreensFixture.h"

#include <QObject>

#include <memory>

class OrderScreensTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void Suggestion_FollowsStockReorderPointAndOrders_data();
    void Suggestion_FollowsStockReorderPointAndOrders();
    void ExternalOrderEnteredChangedApprovedPurchasedPrinted();
    void RefusalsLeaveDatabaseAndFocusTheField();
    void ApprovedSpecialOrderIsLockedWithoutTheRight();
    void LevelRowsBecomeAnInternalOrderWithSuggestedQuantities();
    void VendorRequestsAddChosenProductsAndReportFailuresTogether();
    void FillingDetailsListDeliveriesOldestFirst();
    void BackOrderLocationsListWhatIsStillOwed();
    void LineProductFromTheCatalogueAndItsOrderingInformation();
    void InternalLineTakesTheSupplierPickedInTheSearch();

private:
    std::unique_ptr<ScreensData> data;
};
