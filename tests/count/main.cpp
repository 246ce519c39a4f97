// Runs the count screen tests.

#include "CountScreen_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CountScreenTest count;
    return QTest::qExec(&count, argc, argv) == 0 ? 0 : 1;
}
