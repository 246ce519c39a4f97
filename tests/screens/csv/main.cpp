// The CSV export of the lists and the CSV import screen, offscreen.

#include "CsvImport_test.h"
#include "ListExport_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ListExportTest exportTest;
    CsvImportTest importTest;
    int failed = QTest::qExec(&exportTest, argc, argv);
    failed += QTest::qExec(&importTest, argc, argv);
    return failed == 0 ? 0 : 1;
}
