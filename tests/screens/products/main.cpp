#include "CatalogueScreens_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CatalogueScreensTest test;
    return QTest::qExec(&test, argc, argv);
}
