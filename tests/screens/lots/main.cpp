// Runs the lot screen tests offscreen.

#include "LotScreens_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    LotScreensTest lots;
    return QTest::qExec(&lots, argc, argv) == 0 ? 0 : 1;
}
