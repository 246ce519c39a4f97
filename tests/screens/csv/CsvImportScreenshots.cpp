// Grabs the CSV import screen on the demo database after checking a count file with bad
// rows, into a PNG:
//   csv_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/csv-import.png.

#include "ScreensFixture.h"

#include "WSIInvCsvImportDialog.h"
#include "WSIListWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <fstream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;
    QTemporaryDir dir;
    const QString file = dir.filePath("shelf-count.csv");
    std::ofstream(file.toStdString(), std::ios::binary) << "InvLoc,ProductCode,Count\r\n"
                                                           "STORE,SYR1TB,7\r\n"
                                                           "STORE,SYR3ML,12\r\n"
                                                           "STORE,SYR-5ML,3\r\n"
                                                           "STORE,SYR1TB,4\r\n"
                                                           "STORE,SYR3ML,twelve\r\n";
    bool ok = false;
    {
        WSIInvCsvImportDialog screen(nullptr, &data.host);
        screen.SetKind(tavel::csv::ListKind::Counts);
        screen.findChild<QLineEdit*>("file")->setText(file);
        screen.findChild<QCheckBox*>("dryRun")->setChecked(true);
        screen.resize(1000, 520);
        screen.show();
        screen.CmImport();
        QApplication::processEvents();
        ok = screen.ReportList()->RowCount() > 0 && SaveScreenshot(screen, out + "/csv-import.png");
    }
    data.Close();
    return ok ? 0 : 1;
}
