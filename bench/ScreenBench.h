#pragma once

// What the screen benchmarks share: a host that answers every prompt and counts the sounds
// the screen sends (the end of one scan's feedback), one scan timed from Enter to that
// sound, and the median and 99th percentile of the times.

#include "BenchCommon.h"
#include "InventoryModule.h"
#include "Paths.h"
#include "Records.h"
#include "StringTable.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "WSIProfile.h"
#include "WSIScanEdit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// The host as far as a screen needs it: texts, a profile, every box answered, sounds counted.
class ScreenHost : public WSIApplication {
public:
    WSIDatabase* db = nullptr;
    WSIProfile profile;
    long sounds = 0;
    long refusals = 0;
    std::string firstRefusal;
    StringTable strings;
    ScreenHost() { strings.LoadFile(tavel::ResourceDir() + "/strings/en.tsv"); }
    int LoadString(unsigned code, char* buf, int size) const override {
        return strings.Load(code, buf, size);
    }
    WSIDatabase* GetDb() override { return db; }
    WSIProfile* GetProfile() override { return &profile; }
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

// The active location with the most product locations, and how many it has.
inline std::string BusiestLocation(sqlite3* conn, long* held = nullptr) {
    Stmt where(conn, "SELECT L.\"InvLoc\", COUNT(1) FROM PRDLOC L JOIN INVLOC V ON V.\"InvLoc\" = "
                     "L.\"InvLoc\" WHERE V.\"Inactive\" = 0 AND L.\"InvLoc\" <> ' ' GROUP BY "
                     "L.\"InvLoc\" ORDER BY COUNT(1) DESC LIMIT 1");
    if (!where.Row())
        return std::string();
    if (held)
        *held = static_cast<long>(where.Int(1));
    return where.Text(0);
}

// Attaches the module to host on db as the first user, with product codes from the shortest
// of codes on, as a screen under test needs it. Returns the user's id.
inline long StartModule(ScreenHost& host, WSIDatabase& db, const std::vector<std::string>& codes) {
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

// Types code into the entry field as a scanner does and returns the milliseconds from its
// Enter to the screen's sound.
inline double TimeScan(ScreenHost& host, WSIScanEdit* entry, const QString& code) {
    QTest::keyClicks(entry, code);
    const long before = host.sounds;
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(entry, Qt::Key_Return);
    while (host.sounds == before)
        QCoreApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

struct Stats {
    double median, p99;
};

inline Stats Of(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    if (ms.empty())
        return {0, 0};
    const auto at = [&](double q) {
        return ms[std::min(ms.size() - 1, static_cast<std::size_t>(q * (ms.size() - 1) + 0.5))];
    };
    return {at(0.5), at(0.99)};
}

// All, the first hundred and the last hundred of a run, so that growth shows.
inline void PrintSpread(const std::vector<double>& ms) {
    const std::size_t n = std::min<std::size_t>(100, ms.size());
    const Stats all = Of(ms);
    const Stats first = Of({ms.begin(), ms.begin() + static_cast<long>(n)});
    const Stats last = Of({ms.end() - static_cast<long>(n), ms.end()});
    std::printf("  all:            median %.2f ms, p99 %.2f ms (goal 10 / 30)\n", all.median,
                all.p99);
    std::printf("  first hundred:  median %.2f ms, p99 %.2f ms\n", first.median, first.p99);
    std::printf("  last hundred:   median %.2f ms, p99 %.2f ms\n", last.median, last.p99);
}

} // namespace bench
