// Runs the expiry watch screen tests.

#include "ExpiryScreen_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ExpiryScreenTest test;
    return QTest::qExec(&test, argc, argv) == 0 ? 0 : 1;
}
