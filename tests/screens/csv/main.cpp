// The CSV export of the lists, offscreen.

#include "ListExport_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ListExportTest test;
    return QTest::qExec(&test, argc, argv);
}
