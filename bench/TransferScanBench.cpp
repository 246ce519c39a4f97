// The transfer screen driven offscreen as a scanner drives it: from the busiest store room to
// another active location of the generated data, one unit of each of up to 1,000 products
// per scan (the product code typed, then Enter). Timed per scan: from Enter to the list row
// written and the success sound handed to the host. Prints the median and the 99th
// percentile over all scans and over the first and the last hundred.
//
//   TAVEL_BENCH_DB=group.db QT_QPA_PLATFORM=offscreen transfer_scan_bench [scans]

#include "BenchCommon.h"
#include "ScanTiming.h"

#include "InventoryModule.h"
#include "LocationChoice.h"
#include "WSIInvTransferDialog.h"
#include "WSIInventoryApp.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"

#include <QApplication>
#include <QComboBox>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int scans = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    bench::DataCopy copy("tavel_transfer_bench.db");
    if (!copy.Ok())
        return 1;

    // From the store room with the most product locations to the next busiest location;
    // products without expiry dates whose stock there is whole and consistent.
    std::string from, to;
    std::vector<std::string> codes;
    {
        const bench::NativeDb conn = bench::OpenNative(copy.Path());
        bench::Stmt where(conn.get(),
                          "SELECT L.\"InvLoc\" FROM PRDLOC L JOIN INVLOC V ON V.\"InvLoc\" = "
                          "L.\"InvLoc\" WHERE V.\"Inactive\" = 0 AND L.\"InvLoc\" <> ' ' GROUP BY "
                          "L.\"InvLoc\" ORDER BY COUNT(1) DESC LIMIT 2");
        if (where.Row())
            from = where.Text(0);
        if (where.Row())
            to = where.Text(0);
        bench::Stmt list(conn.get(),
                         "SELECT P.\"ProductCode\" FROM PRODUCT P JOIN PRDLOC L ON L.\"Product\" = "
                         "P.\"Product\" AND L.\"InvLoc\" = ?1 WHERE P.\"TrackExpiryDate\" = 0 AND "
                         "L.\"Balance\" >= 1 AND L.\"Balance\" = (SELECT SUM(I.\"Balance\") FROM "
                         "INVITEM I WHERE I.\"Product\" = P.\"Product\" AND I.\"InvLoc\" = ?1) "
                         "ORDER BY P.\"Product\" LIMIT ?2");
        list.T(1, from.c_str()).I(2, scans);
        while (list.Row())
            codes.emplace_back(list.Text(0));
    }
    if (codes.empty() || to.empty()) {
        std::fprintf(stderr, "no stock to transfer in %s\n", copy.Path().c_str());
        return 1;
    }

    WSIDatabase db(copy.Path());
    bench::ScanBenchHost host;
    bench::AttachScanModule(db, host, codes);

    std::vector<double> ms;
    long listed = 0;
    {
        WSIInvTransferDialog screen(nullptr, &host);
        screen.SetScanDelay(60000);
        tavel::scan::ChooseLocation(*screen.findChild<QComboBox*>("transferFrom"), from);
        tavel::scan::ChooseLocation(*screen.findChild<QComboBox*>("transferTo"), to);
        if (!std::getenv("SCAN_BENCH_HIDDEN"))
            screen.show();
        for (const std::string& code : codes)
            ms.push_back(bench::TimeScan(screen.Entry(), code, host));
        listed = screen.List()->RowCount();
        screen.CloseWindow(id::CANCEL);
    }
    bench::PrintScanStats("transfer screen, " + std::to_string(ms.size()) + " scans from " + from +
                              " to " + to + ", " + std::to_string(listed) + " rows listed",
                          ms, host);
    tavel::ModuleDetach();
    return host.refusals == 0 ? 0 : 1;
}
