// Runs the fill screen tests.

#include "FillScreens_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    FillScreensTest fill;
    return QTest::qExec(&fill, argc, argv) == 0 ? 0 : 1;
}
