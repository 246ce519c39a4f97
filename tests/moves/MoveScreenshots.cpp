// Grabs the transfer, adjustment and usage screens on the demo database, each after a few
// scans, into PNG files:
//   moves_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/transfer-screen.png, adjustment-screen.png and usage-screen.png.

#include "ScanFixture.h"

#include "LocationChoice.h"
#include "WSIInvAdjDialog.h"
#include "WSIInvTransferDialog.h"
#include "WSIScanEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <cstdio>

namespace {

void Scan(WSIInvScanDialog& screen, const QString& text) {
    QTest::keyClicks(screen.Entry(), text);
    QTest::keyClick(screen.Entry(), Qt::Key_Return);
}

// Shows the screen, enters the scans and saves it; false when a scan was refused.
bool Shoot(WSIInvScanDialog& screen, ScanHost& host, const QStringList& scans,
           const QString& file) {
    screen.SetScanDelay(60000);
    screen.resize(1000, screen.height());
    screen.show();
    QApplication::processEvents();
    const std::size_t before = host.boxes.size();
    for (const QString& s : scans)
        Scan(screen, s);
    for (std::size_t i = before; i < host.boxes.size(); ++i)
        std::fprintf(stderr, "%s: %s\n", qPrintable(file), host.boxes[i].text.c_str());
    return SaveScreenshot(screen, file) && host.boxes.size() == before;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;
    ScanHost host;
    host.Start(data.db.get());

    bool ok = true;
    {
        WSIInvTransferDialog transfer(nullptr, &host);
        tavel::scan::ChooseLocation(*transfer.findChild<QComboBox*>("transferFrom"), "STORE");
        tavel::scan::ChooseLocation(*transfer.findChild<QComboBox*>("transferTo"), "TRT1");
        ok = Shoot(transfer, host, {"4", "GLVNTM", "2", "NDL18G", "GLVNTM", "3", "SYR3ML"},
                   out + "/transfer-screen.png") &&
             ok;
    }
    {
        WSIInvAdjDialog adjust(nullptr, &host);
        tavel::scan::ChooseLocation(*adjust.LocationList(), "TRT1");
        adjust.CodeField()->setText("DAM");
        ok = Shoot(adjust, host, {"2", "GLVNTM"}, out + "/adjustment-screen.png") && ok;
    }
    {
        WSIInvUsageDlg usage(nullptr, &host);
        tavel::scan::ChooseLocation(*usage.LocationList(), "TRT1");
        ok = Shoot(usage, host, {"3", "GLVNTM"}, out + "/usage-screen.png") && ok;
    }
    data.Close();
    return ok ? 0 : 1;
}
