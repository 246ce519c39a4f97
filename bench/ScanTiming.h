#pragma once

// What the scan-screen benchmarks share: a host that counts the success sounds and the
// refusals, the timing of one scan from Enter to its feedback, and the spread printed over
// all scans and over the first and the last hundred, so that growth with the lines already
// listed shows.

#include "BenchHost.h"
#include "InventoryModule.h"
#include "Paths.h"
#include "Records.h"
#include "WSIInventoryApp.h"
#include "WSIScanEdit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// Every box answered with OK, every warning screen confirmed; the first refusal kept.
class ScanBenchHost : public BenchHost {
public:
    long sounds = 0;
    long refusals = 0;
    std::string firstRefusal;
    ScanBenchHost() { strings.LoadFile(tavel::ResourceDir() + "/strings/en.tsv"); }
    int MessageBox(WSIWindow*, const char* text, const char*, unsigned) override {
        if (refusals++ == 0)
            firstRefusal = text ? text : "";
        return id::OK;
    }
    int WarnDialog(WSIWindow*, int) override { return id::OK; }
    long SendMainWindowMessage(unsigned msg, void*) override {
        sounds += msg == hostmsg::kPlaySound;
        return 1;
    }
};

// Attaches the module to host on db, signs in the first user and makes the shortest of the
// codes the minimum product-code length, so that every code scans as one; returns the user.
inline long AttachScanModule(WSIDatabase& db, ScanBenchHost& host,
                             const std::vector<std::string>& codes) {
    RegisterRecords();
    host.db = &db;
    tavel::ModuleAttach();
    WSIInventoryApp* module = tavel::CurrentInventoryApp();
    module->AttachHost(&host);
    WSIUsers user(&db);
    const long userId = user.GetFirst() ? user.data.User : 0;
    db.SetCurrentUser(userId);
    module->InitApp(userId);
    std::size_t shortest = 30;
    for (const std::string& code : codes)
        shortest = std::min(shortest, code.size());
    module->SetMinProductLength(static_cast<unsigned>(std::max<std::size_t>(shortest, 1)));
    return userId;
}

struct ScanStats {
    double median, p99;
};

inline ScanStats StatsOf(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    if (ms.empty())
        return {0, 0};
    const auto at = [&](double q) {
        return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * (ms.size() - 1) + 0.5))];
    };
    return {at(0.5), at(0.99)};
}

// Types code into the entry field, then times Enter until the host has been given the next
// sound; milliseconds.
inline double TimeScan(WSIScanEdit* entry, const std::string& code, const ScanBenchHost& host) {
    QTest::keyClicks(entry, QString::fromStdString(code));
    const long before = host.sounds;
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(entry, Qt::Key_Return);
    while (host.sounds == before)
        QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// Prints the spread under a first line that says what ran; returns the spread of all scans.
inline ScanStats PrintScanStats(const std::string& title, const std::vector<double>& ms,
                                const ScanBenchHost& host) {
    const auto hundred = static_cast<long>(std::min<std::size_t>(100, ms.size()));
    const ScanStats all = StatsOf(ms);
    const ScanStats first = StatsOf({ms.begin(), ms.begin() + hundred});
    const ScanStats last = StatsOf({ms.end() - hundred, ms.end()});
    std::printf("%s (%ld refused)\n", title.c_str(), host.refusals);
    if (host.refusals)
        std::printf("  first refusal: %s\n", host.firstRefusal.c_str());
    std::printf("  all:            median %.2f ms, p99 %.2f ms (goal 10 / 30)\n", all.median,
                all.p99);
    std::printf("  first hundred:  median %.2f ms, p99 %.2f ms\n", first.median, first.p99);
    std::printf("  last hundred:   median %.2f ms, p99 %.2f ms\n", last.median, last.p99);
    return all;
}

} // namespace bench
