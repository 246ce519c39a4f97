// Runs the order screen tests offscreen.

#include "OrderScreens_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    OrderScreensTest orders;
    return QTest::qExec(&orders, argc, argv) == 0 ? 0 : 1;
}
