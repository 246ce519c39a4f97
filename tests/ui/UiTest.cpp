#include "UiTest.h"

#include <QTest>

QTEST_MAIN(UiTest)
