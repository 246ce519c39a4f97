// Runs the scan screen tests (Qt Test runs one class per call).

#include "ReceiveScreen_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ReceiveScreenTest receive;
    return QTest::qExec(&receive, argc, argv) == 0 ? 0 : 1;
}
