// Runs the transfer, adjustment and usage screen tests.

#include "MoveScreens_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    MoveScreensTest moves;
    return QTest::qExec(&moves, argc, argv) == 0 ? 0 : 1;
}
