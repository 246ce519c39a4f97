// The receiving screen driven offscreen as a scanner drives it: a large open purchase order
// on the generated data, then one scan per order line (the product code typed, then Enter).
// Timed per scan: from Enter to the row updated and the feedback given (the success sound
// sent to the host). Prints the median and the 99th percentile over all scans, and over the
// first and the last hundred, so that growth with the lines already listed shows.
//
//   TAVEL_BENCH_DB=group.db QT_QPA_PLATFORM=offscreen scan_bench [scans]

#include "BenchCommon.h"
#include "ScreenBench.h"

#include "InventoryModule.h"
#include "Paths.h"
#include "StringTable.h"
#include "WSIApplication.h"
#include "WSIInvReceiveDialog.h"
#include "WSIInventoryApp.h"
#include "WSIListWindow.h"
#include "WSIScanEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int scans = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    bench::DataCopy copy("tavel_scan_bench.db");
    if (!copy.Ok())
        return 1;

    // Products that need no expiry date and are kept at the busiest store room.
    std::string loc;
    long vendor = 0;
    std::vector<std::pair<long, std::string>> products;
    {
        const bench::NativeDb conn = bench::OpenNative(copy.Path());
        loc = bench::BusiestLocation(conn.get());
        bench::Stmt firstVendor(conn.get(), "SELECT MIN(\"Vendor\") FROM VENDOR");
        if (firstVendor.Row())
            vendor = static_cast<long>(firstVendor.Int(0));
        bench::Stmt list(conn.get(),
                         "SELECT P.\"Product\", P.\"ProductCode\" FROM PRODUCT P JOIN PRDLOC L ON "
                         "L.\"Product\" = P.\"Product\" AND L.\"InvLoc\" = ?1 WHERE "
                         "P.\"TrackExpiryDate\" = 0 AND P.\"Inactive\" = 0 ORDER BY 1 LIMIT ?2");
        list.T(1, loc.c_str()).I(2, scans);
        while (list.Row())
            products.emplace_back(static_cast<long>(list.Int(0)), list.Text(1));
    }
    if (products.empty()) {
        std::fprintf(stderr, "no products to order in %s\n", copy.Path().c_str());
        return 1;
    }

    RegisterRecords();
    WSIDatabase db(copy.Path());
    bench::ScreenHost host;
    std::vector<std::string> codes;
    for (const auto& [id, code] : products)
        codes.push_back(code);
    const long userId = bench::StartModule(host, db, codes);

    // The large open order: one line per product.
    WSIInvOrder order(&db);
    order.data.IsExternal = 1;
    order.data.Vendor = vendor;
    std::snprintf(order.data.InvLoc, sizeof order.data.InvLoc, "%s", loc.c_str());
    std::snprintf(order.data.PONumber, sizeof order.data.PONumber, "BENCH-SCAN-1");
    std::snprintf(order.data.InvOType, sizeof order.data.InvOType, "PO");
    db.GetCurrentDate(order.data.Date);
    order.data.ApprovalUser = userId;
    order.data.Audit = order.AddAuditEntry(1, nullptr);
    db.TransactionBegin();
    bool stored = order.InsertDB(__FILE__, __LINE__);
    short item = 0;
    for (const auto& [id, code] : products) {
        WSIInvOrdIt line(&db);
        line.data.InvOrder = order.data.InvOrder;
        line.data.Item = ++item;
        line.data.Product = id;
        line.data.Quantity = 5;
        line.data.Status = 1;
        line.data.CostPerUnit = 1.0;
        stored = stored && line.InsertDB(__FILE__, __LINE__);
    }
    db.TransactionEnd();
    if (!stored) {
        std::fprintf(stderr, "cannot store the order\n");
        return 1;
    }

    std::vector<double> ms;
    long listed = 0;
    {
        WSIInvReceiveDialog screen(nullptr, &host);
        screen.SetScanDelay(60000);
        auto* where = screen.findChild<QComboBox*>("location");
        for (int i = 0; i < where->count(); ++i)
            if (where->itemText(i).startsWith(QString::fromStdString(loc) + "\t"))
                where->setCurrentIndex(i);
        if (!std::getenv("SCAN_BENCH_HIDDEN"))
            screen.show();
        screen.findChild<QLineEdit*>("poNumber")->setText("BENCH-SCAN-1");
        screen.EvPOChange();
        listed = screen.List()->RowCount();
        for (const auto& [id, code] : products)
            ms.push_back(bench::TimeScan(host, screen.Entry(), QString::fromStdString(code)));
        screen.CloseWindow(id::CANCEL);
    }
    const bench::Stats all = bench::Of(ms);
    std::printf("receiving screen, %zu scans on an order of %ld listed lines at %s "
                "(%ld refused)\n",
                ms.size(), listed, loc.c_str(), host.refusals);
    if (host.refusals)
        std::printf("  first refusal: %s\n", host.firstRefusal.c_str());
    bench::PrintSpread(ms);
    if (const char* summary = std::getenv("TAVEL_BENCH_SUMMARY")) {
        if (FILE* f = std::fopen(summary, "a")) {
            std::fprintf(f,
                         "| receiving screen scan (Enter to feedback), median / p99 | %.2f / %.2f "
                         "| | | | | 10 / 30 ms |\n",
                         all.median, all.p99);
            std::fclose(f);
        }
    }
    tavel::ModuleDetach();
    return host.refusals == 0 ? 0 : 1;
}
