// Grabs the receiving screen with an order half received, and the expiry screen, on the
// demo database into PNG files:
//   scan_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/receive-half-received.png and OUTPUT_DIR/receive-expiry.png.

#include "ScanFixture.h"

#include "WSIDateEdit.h"
#include "WSIInvExpiryDialog.h"
#include "WSIInvReceiveDialog.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"
#include "schema/DemoData.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;
    ScanHost host;
    host.Start(data.db.get());

    int status = 0;
    {
        // The vaccine order: the first vaccine half received in two lots, the second not yet.
        std::deque<QString> dates = {"09/30/2027", "03/31/2028"};
        SubScreenScript script([&dates](WSIDialog& d) {
            auto* expiry = dynamic_cast<WSIInvExpiryDialog*>(&d);
            if (!expiry || dates.empty())
                return int(id::CANCEL);
            expiry->Field()->setText(dates.front());
            dates.pop_front();
            expiry->DoCommand(cm::Ok);
            return expiry->result();
        });
        WSIInvReceiveDialog screen(nullptr, &host);
        screen.resize(1180, 560);
        auto* loc = screen.findChild<QComboBox*>("location");
        for (int i = 0; i < loc->count(); ++i)
            if (loc->itemText(i).startsWith("STORE\t"))
                loc->setCurrentIndex(i);
        screen.show();
        screen.findChild<QLineEdit*>("poNumber")->setText("MPD-1219");
        screen.EvPOChange();
        for (const char* quantity : {"12", "6"}) {
            screen.List()->SelectRow(0);
            screen.Entry()->setText(quantity);
            screen.DoCommand(cm::Ok);
        }
        screen.List()->ClearRowSelection();
        status |= SaveScreenshot(screen, out + "/receive-half-received.png") ? 0 : 1;

        WSIProduct vaccine(data.db.get());
        for (bool found = vaccine.GetFirst(); found; found = vaccine.GetNext())
            if (QString::fromUtf8(vaccine.data.ProductCode).trimmed() == "VACCOV")
                break;
        WSIInvExpiryDialog expiry(nullptr, &host, vaccine.data);
        expiry.SetExpiry(WSIDate{2027, 9, 30});
        expiry.SetLot("L4471-B");
        expiry.resize(420, 170);
        expiry.show();
        status |= SaveScreenshot(expiry, out + "/receive-expiry.png") ? 0 : 1;
    }
    data.Close();
    return status;
}
