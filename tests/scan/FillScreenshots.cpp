// Grabs the fill screens on the demo database into PNG files:
//   fill_screenshots OUTPUT_DIR
// writes OUTPUT_DIR/fill-select-screen.png, fill-screen.png and substitute-screen.png.
// Treatment room 1's open request is ordered and put on a pick list of its own first.

#include "ScanFixture.h"

#include "BIInvOrder.h"
#include "BIInvPick.h"
#include "WSIInvFillSelectDlg.h"
#include "WSIInvOrderFillDialog.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <string>
#include <vector>

namespace {
// The request lines of loc still to be ordered (requested or in review).
std::vector<WSIInvOrdIt::WSIData> OpenRequests(WSIDatabase* db, const char* loc) {
    std::vector<WSIInvOrdIt::WSIData> out;
    WSIInvOrdIt line(db);
    BIInvOrder order(db);
    for (bool found = line.GetFirst(); found; found = line.GetNext()) {
        const short s = line.data.Status;
        if (s != tavel::OrdItStatus::Requested && s != tavel::OrdItStatus::InReview)
            continue;
        if (order.FindOrder(line.data.InvOrder) &&
            std::string(order.GetOrderData()->InvLoc).rfind(loc, 0) == 0)
            out.push_back(line.data);
    }
    return out;
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
    host.profile = std::make_unique<WSIProfile>();
    host.profile->WriteString("Inventory", "Location", "STORE");
    WSIDatabase* db = data.db.get();

    int status = 0;
    {
        BIInvOrder order(db);
        BIInvPickList pick(db);
        const long pickList = pick.InitBatch("STORE", "TRT1");
        long lastLine = 0;
        for (const WSIInvOrdIt::WSIData& l : OpenRequests(db, "TRT1")) {
            order.UpdateItemStatus(tavel::OrdItStatus::Ordered, l.InvOrder, l.InvOrdIt);
            pick.Add(l.InvOrdIt, true);
            lastLine = l.InvOrdIt;
        }
        pick.CloseBatch();

        WSIInvFillSelectDlg select(nullptr, &host);
        select.resize(640, 300);
        status |= SaveScreenshot(select, out + "/fill-select-screen.png") ? 0 : 1;

        WSIInvOrderFillDialog fill(nullptr, &host, pickList, "STORE", "TRT1", true);
        fill.SetScanDelay(60000);
        fill.resize(1180, 330);
        fill.show();
        fill.Entry()->setText("2");
        fill.DoCommand(cm::Ok);
        fill.Entry()->setText("BANDAG");
        fill.DoCommand(cm::Ok);
        status |= SaveScreenshot(fill, out + "/fill-screen.png") ? 0 : 1;

        WSIInvSubstituteDialog substitute(nullptr, &host, "TRT1", "STORE", lastLine, &fill.Fill(),
                                          false);
        substitute.CommentField()->setPlainText("Prep pads are out: swabs of the same kind given.");
        substitute.Entry()->setText("2");
        substitute.resize(640, 270);
        status |= SaveScreenshot(substitute, out + "/substitute-screen.png") ? 0 : 1;
    }
    data.Close();
    return status;
}
