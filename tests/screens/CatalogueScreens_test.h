#pragma once

#include "ScreensFixture.h"

#include <QObject>

#include <memory>

class CatalogueScreensTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void NewClinicFromAnEmptySchema();
    void RefusalsShowOnceOnTheirFieldAndWriteNothing();
    void DeletesRefusedWhileInUse();
    void SetupLengthGuardedAndAppliedAtOnce();
    void InactiveRowsMarkedAndCategoryTakesItsProducts();
    void LinkedLocationsAskBeforeDeleteOrRetype();
    void LocationProductListAndCommandEnabling();
    void OrderTypeLayoutLoadedKeptAndRemoved();
    void CodeListsPrintThroughTheirReportFiles();
    void ProductReportFormulasAndPdf();
    void MainScreenCategoryLookupAndSetup();

private:
    std::unique_ptr<ScreensData> data;
    long Count(const char* sql);
};
