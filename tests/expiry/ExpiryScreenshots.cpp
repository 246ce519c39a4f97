// Grabs the expiry watch on the demo database, 90 days at every location, into a PNG:
//   expiry_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/expiry-watch.png.

#include "ScanFixture.h"

#include "WSIInvExpiryWatchDialog.h"
#include "WSIListWindow.h"

#include <QApplication>
#include <QComboBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;
    ScanHost host;
    host.Start(data.db.get());

    bool ok = false;
    {
        WSIInvExpiryWatchDialog watch(nullptr, &host);
        watch.findChild<QComboBox*>("window")->setCurrentIndex(2);
        watch.resize(1220, 620);
        watch.show();
        QApplication::processEvents();
        watch.List()->SelectRow(2);
        QApplication::processEvents();
        ok = watch.List()->RowCount() > 0 && SaveScreenshot(watch, out + "/expiry-watch.png");
    }
    data.Close();
    return ok ? 0 : 1;
}
