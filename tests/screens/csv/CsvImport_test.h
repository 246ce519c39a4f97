#pragma once

#include "ScreensFixture.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>

// The CSV import screen and the search screens' export, offscreen on a seeded database.
class CsvImportTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void BadRowListedAndNothingImportedUntilSkippedAndConfirmed();
    void DryRunWritesNothingAndACleanFileAsksFirst();
    void MissingFileIsSaidAndBrowseFillsTheField();
    void ProductAndVendorSearchesSaveTheirListedRows();

private:
    QString WriteFile(const char* name, const std::string& text);

    std::unique_ptr<ScreensData> data;
    std::unique_ptr<QTemporaryDir> dir;
};
