#pragma once

// Filling internal orders as the store room does it: a pick list made on the main screen
// and chosen in the fill selection, lines filled by scanning, substitutes, the automatic
// fill with a short line settled by a move from another location, back orders on closing;
// then the order lines and the stock read back from the database.

#include "ScanFixture.h"

#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class WSIInvOrderFillDialog;

class FillScreensTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void Fill_WholeInternalOrderCycle();
    void Fill_RefusalsLeaveDatabaseAndRows_data();
    void Fill_RefusalsLeaveDatabaseAndRows();
    void Fill_ModifyTakesBackAndCloseBackOrdersOnlyEarlierBackOrders();
    void FillSelect_WithoutPickListsAndWithoutChoice();
    void Discrepancy_MovesAtMostWhatIsThereAndCancelMovesNothing();
    void Substitute_ClosingWithoutScanAndUntouchedQuantity_data();
    void Substitute_ClosingWithoutScanAndUntouchedQuantity();
    void Fill_FromSelectedOrdersOnATemporaryList();

private:
    long Product(const char* code, double storeStock, long prdType = 0);
    // Stock added at loc by an increase adjustment.
    void Stock(long product, const char* loc, short quantity);
    // An approved internal order of the ward on the store, one line per product.
    std::vector<long> Request(const std::vector<std::pair<long, short>>& products);
    long OrderOf(long invOrdIt);
    // A pick list from STORE to WARD holding the lines.
    long PickList(const std::vector<long>& lines);
    std::unique_ptr<WSIInvOrderFillDialog> OpenFill(long pickList);
    void Scan(QWidget* entry, const QString& text);
    double Balance(long product, const char* loc);
    WSIInvOrdIt::WSIData Line(long invOrdIt);
    // Cells of column col, one per row.
    QStringList Column(WSIInvOrderFillDialog& screen, int col);
    bool StockConsistent();
    // Answers sub-screens through handler while the returned script lives.
    std::unique_ptr<SubScreenScript> Script(std::function<int(WSIDialog&)> handler);

    std::unique_ptr<ScreensData> data;
    ScanHost host;
};
