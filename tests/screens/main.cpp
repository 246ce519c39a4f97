// Runs the screen test classes in one executable (Qt Test runs one class per call).

#include "InventoryScreen_test.h"
#include "PagedFill_test.h"
#include "ViewLogic_test.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failed = 0;
    {
        ViewLogicTest logic;
        failed += QTest::qExec(&logic, argc, argv);
    }
    {
        InventoryScreenTest screen;
        failed += QTest::qExec(&screen, argc, argv);
    }
    {
        PagedFillTest paged;
        failed += QTest::qExec(&paged, argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
