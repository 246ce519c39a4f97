// Grabs the repackaging, split and product overview screens on the demo database into
// PNG files:
//   lot_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/repackage-screen.png, split-screen.png and overview-screen.png.

#include "ScreensFixture.h"

#include "WSIDateEdit.h"
#include "WSIInvProductOverviewDialog.h"
#include "WSIInvRepackageProductDialog.h"
#include "WSIInvSplitDialog.h"
#include "WSIInvStockViews.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include <cstdio>

namespace {

// The demo's first received lot with a few units left of a product of many items per
// unit; the demo sells each product in one size only, so a smaller pack of it is added
// as the target.
bool PickRepackaging(WSIDatabase* db, WSIInvReceivedDialog* view, WSIReceivedData& row,
                     std::string& target) {
    for (int r = 0; r < view->List()->RowCount(); ++r) {
        const WSIReceivedData* lot = view->RowRecord(r);
        if (!lot || lot->Balance < 2 || lot->Quantity <= lot->Balance || !lot->IsDividable ||
            lot->ItemsPerUnit < 20)
            continue;
        WSIProduct p(db);
        p.data.Product = lot->Product;
        if (!p.GetEqual(__FILE__, __LINE__))
            continue;
        target = QString::fromUtf8(p.data.ProductCode).trimmed().left(15).toStdString() + "-10";
        ScreensData::Put(p.data.ProductCode, target.c_str());
        ScreensData::Put(p.data.UPCCode, "");
        const std::string description =
            QString::fromUtf8(p.data.Description).trimmed().toStdString() + ", box of 10";
        ScreensData::Put(p.data.Description, description.c_str());
        p.data.ItemsPerUnit = 10;
        p.data.Product = 0;
        if (!p.InsertDB(__FILE__, __LINE__))
            return false;
        row = *lot;
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;
    ScreensHost& host = data.host;
    int status = 0;
    {
        WSIInventoryDialog inventory(nullptr, &host);
        for (int id : {int(WSIInventoryDialog::IdFromDate), int(WSIInventoryDialog::IdToDate)})
            inventory.Control<WSIDateEdit>(id)->clear();
        inventory.SelectTab(WSIInventoryDialog::TabReceived);
        inventory.DoCommand(WSIInventoryDialog::IdSearch);
        auto* received =
            static_cast<WSIInvReceivedDialog*>(inventory.ListView(WSIInventoryDialog::TabReceived));
        received->CompleteFill();

        WSIReceivedData row{};
        std::string target;
        if (PickRepackaging(data.db.get(), received, row, target)) {
            WSIInvRepackageProductDialog repackage(nullptr, &host, row);
            repackage.TargetProductField()->setText(QString::fromStdString(target));
            repackage.OldQuantityField()->setText("2");
            repackage.EvOldQuantityChanged();
            repackage.resize(760, 290);
            status |= SaveScreenshot(repackage, out + "/repackage-screen.png") ? 0 : 1;

            WSIInvSplitDialog split(nullptr, &host, row);
            split.QuantityField()->setText(QString::number(static_cast<int>(row.Balance) / 2));
            split.CostField()->setText(QString::number(row.CostPerUnit * 0.9, 'f', 2));
            split.resize(540, 290);
            status |= SaveScreenshot(split, out + "/split-screen.png") ? 0 : 1;

            WSIInvProductOverviewDialog overview(
                nullptr, &host, row.Product,
                QString::fromUtf8(row.InvLoc).trimmed().toStdString().c_str());
            overview.UseStartDateBox()->setChecked(true);
            overview.resize(460, 220);
            status |= SaveScreenshot(overview, out + "/overview-screen.png") ? 0 : 1;
        } else {
            std::fprintf(stderr, "the demo has no lot to repackage\n");
            status = 1;
        }
    }
    data.Close();
    return status;
}
