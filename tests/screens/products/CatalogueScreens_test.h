#pragma once

#include "ScreensFixture.h"

#include <QObject>

#include <memory>

class CatalogueScreensTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void EachSearchKindFindsWhatItsFieldHolds();
    void SearchTextWithQuotesAndWildcardsStaysOneLiteral();
    void LocationChoiceAndOrderingModeNarrowTheProducts();
    void InactiveProductsOnlyWithTheBoxInMaintenance();
    void RowLimitAsksOnceAtTheLimit();
    void ProductCreatedChangedAndFoundAgain();
    void EditorRefusalsFocusTheFieldTheyName_data();
    void EditorRefusalsFocusTheFieldTheyName();
    void UpcCheckDigitWarnsAndAGtinMustCheck();
    void ProductLocationsFollowTheStockingRules();
    void SelectScreenListsActiveRowsWithQuantities();
    void VendorAddedWithCityHelpFoundByPhoneAndKeptWhileUsed();
    void MainScreenLookUpsFillTheirFilters();
    void BarCodeRequestPicksAmongSeveralProducts();

private:
    std::unique_ptr<ScreensData> data;
};
