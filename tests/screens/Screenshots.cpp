// Grabs the six tabs of the main inventory screen on the demo database into PNG files:
//   inventory_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/inventory-tab-<n>.png for tabs 0 to 5.

#include "ScreensFixture.h"

#include "WSIInventoryDialog.h"
#include "WSIInventoryListDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QPixmap>

#include "WSIDateEdit.h"

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;

    int status = 0;
    {
        WSIInventoryDialog screen(nullptr, &data.host);
        screen.resize(1400, 760);
        screen.show();
        // A wide period, so that every tab has rows.
        screen.Control<WSIDateEdit>(WSIInventoryDialog::IdFromDate)
            ->SetDate(
                screen.Control<WSIDateEdit>(WSIInventoryDialog::IdToDate)->Date().addYears(-1));
        for (int tab = 0; tab < WSIInventoryDialog::kTabCount; ++tab) {
            screen.SelectTab(tab);
            screen.DoCommand(WSIInventoryDialog::IdSearch);
            QApplication::processEvents();
            const QString file = QStringLiteral("%1/inventory-tab-%2.png").arg(out).arg(tab);
            if (!screen.grab().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                status = 1;
            } else {
                std::printf("%s: %d rows\n", qPrintable(file),
                            screen.ListView(tab)->List()->RowCount());
            }
        }
    }
    data.Close();
    return status;
}
