#pragma once

#include "ScreensFixture.h"
#include "WSIInventoryDialog.h"

#include <QObject>

#include <memory>

// Searches that fill their list in pages: the rows, and everything that must see
// every row while a fill is still open.
class PagedFillTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void PagedFillGivesTheRowsOfAFullFill_data();
    void PagedFillGivesTheRowsOfAFullFill();
    void WorkDuringAFillSeesEveryRow_data();
    void WorkDuringAFillSeesEveryRow();
    void CommandCompletesEveryListOfTheScreen();
    void WriteGuardNoticesAWriteDuringAFill();
    void NewSearchDropsTheFillingOne();
    void LinesWithoutDescriptionShowTheProducts();

private:
    void Seed();
    std::unique_ptr<WSIInventoryDialog> NewScreen();

    std::unique_ptr<ScreensData> data;
    std::unique_ptr<WSIInventoryDialog> screen;
    long cancelLine = 0;
};
