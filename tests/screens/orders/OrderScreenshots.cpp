// Grabs the order screens on the demo database into PNG files:
//   order_screenshots OUTPUT_DIR
// writes order-entry.png, vendor-requests.png, filling-details.png and
// back-order-locations.png.

#include "ScreensFixture.h"

#include "BIInvOrder.h"
#include "InventoryListQueries.h"
#include "WSIInvOrderDialog.h"
#include "WSIInvOrderLineDetails.h"
#include "WSIVendorRequestsDialog.h"
#include "schema/DemoData.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QPixmap>

#include <cstdio>

namespace {

long FirstLong(WSIDatabase& db, const char* sql) {
    long value = 0;
    auto q = db.Query(__FILE__, __LINE__, "%s", &value, sql);
    return q->GetFirst() ? value : 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;
    WSIDatabase& db = *data.db;
    bool ok = true;
    {
        // The external order with the most open lines.
        const long order = FirstLong(
            db, "SELECT O.\"InvOrder\" FROM INVORDER O, INVORDIT T WHERE O.\"InvOrder\" = "
                "T.\"InvOrder\" AND O.\"IsExternal\" = 1 AND T.\"Status\" IN (0, 1, 3, 5) GROUP BY "
                "O.\"InvOrder\" ORDER BY COUNT(1) DESC");
        WSIInvOrderDialog entry(nullptr, &data.host, WSIInvOrderDialog::kExistingOrderTemplate,
                                order, false);
        entry.resize(1100, 640);
        ok &= SaveScreenshot(entry, out + QStringLiteral("/order-entry.png"));

        WSIInvOrder::WSIData* header = entry.Order().GetOrderData();
        WSIVendorRequestsDialog requests(nullptr, &data.host, header->Vendor, header->InvLoc, 0);
        requests.Control<QCheckBox>(WSIVendorRequestsDialog::IdFullList)->setChecked(true);
        requests.Control<QCheckBox>(WSIVendorRequestsDialog::IdExpand)->setChecked(true);
        requests.resize(1280, 520);
        ok &= SaveScreenshot(requests, out + QStringLiteral("/vendor-requests.png"));
    }
    {
        const long line = FirstLong(db, "SELECT \"InvOrdIt\" FROM INVORDIT WHERE \"QtyFilled\" > 0 "
                                        "AND \"Status\" = 3 ORDER BY \"InvOrdIt\" DESC");
        const long order = FirstLong(
            db, ("SELECT \"InvOrder\" FROM INVORDIT WHERE \"InvOrdIt\" = " + std::to_string(line))
                    .c_str());
        WSIInvOrderData record{};
        auto q = db.Query(__FILE__, __LINE__, "%s", WSIResult(WSIInvOrderData::Table(), &record),
                          tavel::views::OrderLineSql(&db, order, line).c_str());
        q->GetFirst();
        WSIInvProductFillingDetailsDialog details(nullptr, &data.host, record);
        ok &= SaveScreenshot(details, out + QStringLiteral("/filling-details.png"));
    }
    {
        struct Row {
            long product;
            char invLoc[8];
        } row{};
        static const ColumnDesc kColumns[] = {TVL_COL(Row, product, Id, 0, false),
                                              TVL_COL(Row, invLoc, Code, 7, false)};
        static const TableDesc kDesc{"BACKORDER_ROW", kColumns, 2, sizeof(Row)};
        auto q = db.Query(__FILE__, __LINE__,
                          "SELECT T.\"Product\", O.\"InvLocFrom\" FROM INVORDIT T, INVORDER O "
                          "WHERE T.\"InvOrder\" = O.\"InvOrder\" AND T.\"Status\" = 5 AND "
                          "O.\"IsExternal\" = 0 AND O.\"Inactive\" = 0 GROUP BY T.\"Product\", "
                          "O.\"InvLocFrom\" ORDER BY COUNT(1) DESC",
                          WSIResult(kDesc, &row));
        q->GetFirst();
        WSIShowBackOrdLocsDialog backOrders(nullptr, &data.host, row.product, row.invLoc);
        ok &= SaveScreenshot(backOrders, out + QStringLiteral("/back-order-locations.png"));
    }
    data.Close();
    return ok ? 0 : 1;
}
