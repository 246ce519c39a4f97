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

// The demo's received lot with stock left whose product comes in units of several items,
// the product in the same unit with the fewest items per unit above 1 as the target.
bool PickRepackaging(WSIDatabase* db, WSIInvReceivedDialog* view, WSIReceivedData& row,
                     std::string& target) {
    for (int r = 0; r < view->List()->RowCount(); ++r) {
        const WSIReceivedData* lot = view->RowRecord(r);
        if (!lot || lot->Balance < 1 || !lot->IsDividable || lot->ItemsPerUnit < 2)
            continue;
        WSIProduct p(db);
        short best = 0;
        for (bool found = p.GetFirst(); found; found = p.GetNext()) {
            const bool sameUnit =
                QString::fromUtf8(p.data.Unit)
                    .trimmed()
                    .compare(QString::fromUtf8(lot->Unit).trimmed(), Qt::CaseInsensitive) == 0;
            if (sameUnit && p.data.Product != lot->Product && p.data.ItemsPerUnit > 1 &&
                p.data.ItemsPerUnit < lot->ItemsPerUnit &&
                (best == 0 || p.data.ItemsPerUnit < best)) {
                best = p.data.ItemsPerUnit;
                target = QString::fromUtf8(p.data.ProductCode).trimmed().toStdString();
            }
        }
        if (best > 0) {
            row = *lot;
            return true;
        }
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
            repackage.resize(760, 330);
            status |= SaveScreenshot(repackage, out + "/repackage-screen.png") ? 0 : 1;

            WSIInvSplitDialog split(nullptr, &host, row);
            split.QuantityField()->setText("1");
            split.CostField()->setText(QString::number(row.CostPerUnit * 0.9, 'f', 2));
            split.resize(520, 300);
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
