// Grabs the count screen on the demo database, part way through a count of the treatment
// room, into a PNG file:
//   count_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/count-screen.png.

#include "ScanFixture.h"

#include "WSIInvCountDialog.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTest>

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
        WSIInvCountDialog screen(nullptr, &host);
        screen.resize(1180, 560);
        auto* loc = screen.findChild<QComboBox*>("location");
        for (int i = 0; i < loc->count(); ++i)
            if (loc->itemText(i).startsWith("STORE\t"))
                loc->setCurrentIndex(i);
        // The store room keeps its stock by usage: list those rows too.
        screen.findChild<QCheckBox*>("includeTrackUsage")->setChecked(true);
        screen.show();
        // The first rows counted, one of them twice.
        for (int row : {0, 1, 2, 0}) {
            const QString code = screen.List()->ItemText(row, WSIInvCountDialog::ColProductCode);
            QTest::keyClicks(screen.Entry(), QString::number(row + 4));
            QTest::keyClick(screen.Entry(), Qt::Key_Return);
            QTest::keyClicks(screen.Entry(), code);
            QTest::keyClick(screen.Entry(), Qt::Key_Return);
        }
        status |= SaveScreenshot(screen, out + "/count-screen.png") ? 0 : 1;
    }
    data.Close();
    return status;
}
