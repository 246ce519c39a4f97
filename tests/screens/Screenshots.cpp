// Grabs the six tabs of the main inventory screen on the demo database into PNG files:
//   inventory_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/inventory-tab-<n>.png for tabs 0 to 5.

#include "ScreensFixture.h"

#include "WSIInventoryDialog.h"
#include "WSIInventoryListDialog.h"
#include "schema/DemoData.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDir>
#include <QPixmap>

#include "WSIDateEdit.h"

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    ScreensData data;
    if (!data.Open()) {
        std::fprintf(stderr, "cannot create the database\n");
        return 1;
    }
    std::string problem;
    if (!data.OpenDemo(problem)) {
        std::fprintf(stderr, "demo data: %s\n", problem.c_str());
        data.Close();
        return 1;
    }

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
