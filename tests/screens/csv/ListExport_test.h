#pragma once

#include "ScreensFixture.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>

class ListExportTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void ReceivedListSavedAsTheSpreadsheetReadsIt();
    void CancelledOrUnwritableSaveWritesNothing();
    void CodeTableSavedWholeFromItsScreen();

private:
    std::unique_ptr<ScreensData> data;
    std::unique_ptr<QTemporaryDir> dir;
};
