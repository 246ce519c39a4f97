// Prints a sheet of bin labels and one of lot labels from the demo database's levels
// and received lists, and keeps the top of each first page as a PNG:
//   label_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/labels-bin.png and labels-lot.png (pdftoppm makes the images).

#include "ScreensFixture.h"

#include "BILabels.h"
#include "QtReportEngine.h"
#include "WSIDateEdit.h"
#include "WSIInvStockViews.h"
#include "WSIInventoryDialog.h"
#include "WSIListWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QProcess>

#include <cstdio>

namespace {

using Inv = WSIInventoryDialog;

// The top of the first page (four rows of labels) at a readable size.
bool PageImage(const QString& pdf, const QString& png) {
    QString base = png;
    base.chop(4);
    const int status = QProcess::execute(
        QStringLiteral("pdftoppm"), {"-png", "-r", "110", "-f", "1", "-l", "1", "-x", "0", "-y",
                                     "0", "-W", "930", "-H", "560", "-singlefile", pdf, base});
    QFile::remove(pdf);
    return status == 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScreensData data;
    QString out;
    if (!data.OpenForScreenshots(argc, argv, out))
        return 1;
    ScreensHost& host = data.host;
    tavel::report::QtReportEngine engine(data.db.get());
    host.engine = &engine;
    int status = 0;
    {
        Inv inventory(nullptr, &host);
        for (int id : {int(Inv::IdFromDate), int(Inv::IdToDate)})
            inventory.Control<WSIDateEdit>(id)->clear();
        if (auto* box = inventory.Control<QCheckBox>(Inv::IdPerLocation))
            box->setChecked(true);

        inventory.SelectTab(Inv::TabLevels);
        inventory.DoCommand(Inv::IdSearch);
        auto* levels = static_cast<WSIInvLevelsDialog*>(inventory.ListView(Inv::TabLevels));
        levels->CompleteFill();
        for (int row = 0; row < std::min(30, levels->List()->RowCount()); ++row)
            levels->List()->SelectRow(row, row > 0);
        const QString binPdf = QDir(out).filePath("labels-bin.pdf");
        engine.SetPdfOutput(binPdf.toStdString());
        if (!levels->RunMenuCommand(WSIInvLevelsDialog::CmBinLabelsId) ||
            !PageImage(binPdf, QDir(out).filePath("labels-bin.png")))
            status = 1;

        // Lots with stock of products that carry a GTIN.
        inventory.SelectTab(Inv::TabReceived);
        inventory.DoCommand(Inv::IdSearch);
        auto* received = static_cast<WSIInvReceivedDialog*>(inventory.ListView(Inv::TabReceived));
        received->CompleteFill();
        tavel::labels::BILabels reader(data.db.get());
        int chosen = 0;
        for (int row = 0; row < received->List()->RowCount() && chosen < 30; ++row) {
            const WSIReceivedData* r = received->RowRecord(row);
            if (r && r->Balance > 0 && !tavel::labels::Gtin14(reader.UPCCodeOf(r->Product)).empty())
                received->List()->SelectRow(row, chosen++ > 0);
        }
        const QString lotPdf = QDir(out).filePath("labels-lot.pdf");
        engine.SetPdfOutput(lotPdf.toStdString());
        if (chosen == 0 || !received->RunMenuCommand(WSIInvReceivedDialog::CmLotLabelsId) ||
            !PageImage(lotPdf, QDir(out).filePath("labels-lot.png")))
            status = 1;
        for (const auto& box : host.boxes)
            std::fprintf(stderr, "message: %s\n", box.text.c_str());
    }
    data.Close();
    return status;
}
