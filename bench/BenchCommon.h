#pragma once

// What the group-size benchmarks share: a private copy of the generated data (the database
// and its sequences file together, so that runs repeat and the source stays as it was), a
// small prepared-statement helper for the hand-written side, and a reporter that prints
// each engine benchmark next to its hand-written twin with the ratio and the goal.

#include "BoundedFormat.h"
#include "Records.h"
#include "WSIDatabase.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace bench {

// Copies TAVEL_BENCH_DB (default group.db in the current folder) with its ".sequences"
// side file into the temporary folder under `name`; removes the copy when destroyed.
class DataCopy {
public:
    explicit DataCopy(const char* name) {
        const char* source = std::getenv("TAVEL_BENCH_DB");
        const std::string from = source ? source : "group.db";
        path_ = (std::filesystem::temp_directory_path() / name).string();
        Remove();
        std::error_code ec;
        std::filesystem::copy_file(from, path_, ec);
        if (!ec)
            std::filesystem::copy_file(from + ".sequences", path_ + ".sequences", ec);
        ok_ = !ec;
        if (!ok_)
            std::fprintf(stderr, "cannot copy %s: %s\n", from.c_str(), ec.message().c_str());
    }
    ~DataCopy() { Remove(); }
    DataCopy(const DataCopy&) = delete;
    DataCopy& operator=(const DataCopy&) = delete;
    const std::string& Path() const { return path_; }
    bool Ok() const { return ok_; }

private:
    void Remove() {
        std::error_code ec;
        for (const char* suffix : {"", ".sequences", "-wal", "-shm"})
            std::filesystem::remove(path_ + suffix, ec);
    }
    std::string path_;
    bool ok_ = false;
};

struct CloseNative {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
// A native connection, closed when it goes out of scope (after the statements declared
// below it, which are finalized first).
using NativeDb = std::unique_ptr<sqlite3, CloseNative>;

// Opens a native connection the way the service sets its own up (WAL, full sync).
inline NativeDb OpenNative(const std::string& path) {
    sqlite3* raw = nullptr;
    NativeDb db(sqlite3_open(path.c_str(), &raw) == SQLITE_OK ? raw : nullptr);
    if (!db) {
        sqlite3_close(raw);
        return db;
    }
    sqlite3_busy_timeout(db.get(), 5000);
    sqlite3_exec(db.get(),
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=OFF;",
                 nullptr, nullptr, nullptr);
    return db;
}

// A prepared statement that binds, steps and resets; failures are counted, so that a
// benchmark can refuse to report figures of statements that did not run.
struct Stmt {
    sqlite3* db = nullptr;
    sqlite3_stmt* s = nullptr;
    static inline long failures = 0;
    Stmt(sqlite3* conn, const char* sql) : db(conn) {
        if (sqlite3_prepare_v2(conn, sql, -1, &s, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "prepare failed: %s\n  %s\n", sqlite3_errmsg(conn), sql);
            ++failures;
        }
    }
    ~Stmt() { sqlite3_finalize(s); }
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;
    Stmt& I(int i, long long v) {
        sqlite3_bind_int64(s, i, v);
        return *this;
    }
    Stmt& D(int i, double v) {
        sqlite3_bind_double(s, i, v);
        return *this;
    }
    Stmt& T(int i, const char* v) {
        sqlite3_bind_text(s, i, v, -1, SQLITE_TRANSIENT);
        return *this;
    }
    Stmt& Null(int i) {
        sqlite3_bind_null(s, i);
        return *this;
    }
    bool Row() {
        const int rc = sqlite3_step(s);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            std::fprintf(stderr, "step failed: %s\n", sqlite3_errmsg(db));
            ++failures;
        }
        return rc == SQLITE_ROW;
    }
    long long Int(int c) const { return sqlite3_column_int64(s, c); }
    double Dbl(int c) const { return sqlite3_column_double(s, c); }
    std::string Text(int c) const {
        const unsigned char* t = sqlite3_column_text(s, c);
        return t ? reinterpret_cast<const char*>(t) : "";
    }
    bool IsNull(int c) const { return sqlite3_column_type(s, c) == SQLITE_NULL; }
    // Runs a statement that returns no rows.
    void Done() {
        Row();
        sqlite3_reset(s);
    }
    void Reset() { sqlite3_reset(s); }
    // First column of the first row as an integer (0 when none), then reset.
    long long One() {
        const long long v = Row() ? Int(0) : 0;
        sqlite3_reset(s);
        return v;
    }
};

inline bool Exec(sqlite3* db, const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "exec failed: %s\n  %s\n", error ? error : "", sql);
    sqlite3_free(error);
    ++Stmt::failures;
    return false;
}

// One engine benchmark and its hand-written twin, with the goal the pair is held to.
struct Pair {
    const char* engine;
    const char* native;
    double maxMs;    // the engine's time per iteration must stay under this (0: none)
    double maxRatio; // engine CPU / native CPU must stay at most this (0: none)
};

// Whether a run stands for its benchmark: with --benchmark_repetitions the median does,
// without them the single run.
inline bool StandsForBenchmark(const benchmark::BenchmarkReporter::Run& r) {
    if (r.error_occurred)
        return false;
    if (r.run_type == benchmark::BenchmarkReporter::Run::RT_Aggregate)
        return r.aggregate_name == "median";
    return r.repetitions <= 1;
}

// Prints the usual table, then one line per pair: the engine's and the native side's
// median CPU and wall time per iteration, the CPU ratio and whether the goal is met. The
// same lines go to TAVEL_BENCH_SUMMARY (appended) when it names a file, for the table of
// the benchmark notes.
class PairReporter : public benchmark::ConsoleReporter {
public:
    explicit PairReporter(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {}
    // Goals and ratio on wall time: on a server most of the work is the server's, which
    // the client's CPU time does not see.
    bool byWall = false;

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (!StandsForBenchmark(r))
                continue;
            const double toMs = 1e3 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            std::string name = r.run_name.function_name;
            if (!r.run_name.args.empty())
                name += "/" + r.run_name.args;
            times_[name] = {r.GetAdjustedCPUTime() * toMs, r.GetAdjustedRealTime() * toMs};
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const char* file = std::getenv("TAVEL_BENCH_SUMMARY");
        std::FILE* out = file ? std::fopen(file, "a") : nullptr;
        std::printf("\n%-28s %11s %11s %11s %11s %7s  %s\n", "pair (ms per iteration)",
                    "engine cpu", "native cpu", "engine wall", "native wall",
                    byWall ? "ratio(w)" : "ratio", "goal");
        for (const Pair& p : pairs_) {
            auto e = times_.find(p.engine), n = times_.find(p.native);
            if (e == times_.end() || n == times_.end() || n->second.cpu <= 0)
                continue;
            const double engine = byWall ? e->second.wall : e->second.cpu;
            const double ratio = engine / (byWall ? n->second.wall : n->second.cpu);
            // Other builds share the machine, so the time goal is held against CPU time.
            const bool timeMet = p.maxMs <= 0 || engine < p.maxMs;
            const bool ratioMet = p.maxRatio <= 0 || ratio <= p.maxRatio;
            std::string goal;
            char part[128];
            if (p.maxMs > 0) {
                FormatInto(__LINE__, __FILE__, part, "< %.0f ms", p.maxMs);
                goal += part;
            }
            if (p.maxRatio > 0) {
                FormatInto(__LINE__, __FILE__, part, "%s<= %.1fx", goal.empty() ? "" : ", ",
                           p.maxRatio);
                goal += part;
            }
            goal += timeMet && ratioMet ? ": met" : ": MISSED";
            std::printf("%-28s %11.3f %11.3f %11.3f %11.3f %7.2f  %s\n", p.engine, e->second.cpu,
                        n->second.cpu, e->second.wall, n->second.wall, ratio, goal.c_str());
            if (out)
                std::fprintf(out, "| %s | %.3f | %.3f | %.3f | %.3f | %.2f | %s |\n", p.engine,
                             e->second.cpu, n->second.cpu, e->second.wall, n->second.wall, ratio,
                             goal.c_str());
        }
        if (out)
            std::fclose(out);
        std::fflush(stdout);
    }

private:
    struct Times {
        double cpu;
        double wall;
    };
    std::vector<Pair> pairs_;
    std::map<std::string, Times> times_;
};

// With TAVEL_BENCH_TRACE set, prints every statement the connection finishes with its
// time, once per distinct text: to see what the translator made of a query and how long
// SQLite took for it.
inline void TraceStatements(sqlite3* db) {
    if (!std::getenv("TAVEL_BENCH_TRACE"))
        return;
    static std::map<std::string, int> seen;
    sqlite3_trace_v2(
        db, SQLITE_TRACE_PROFILE,
        [](unsigned, void*, void* stmt, void* ns) -> int {
            const char* sql = sqlite3_sql(static_cast<sqlite3_stmt*>(stmt));
            if (sql && seen[sql]++ == 0)
                std::fprintf(stderr, "[%.3f ms] %s\n",
                             static_cast<double>(*static_cast<long long*>(ns)) / 1e6, sql);
            return 0;
        },
        nullptr);
}

// Runs the registered benchmarks with the pair reporter; the exit status says whether
// every hand-written statement ran.
inline int RunAll(int argc, char** argv, std::vector<Pair> pairs) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    PairReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (Stmt::failures != 0) {
        std::fprintf(stderr, "%ld hand-written statements failed\n", Stmt::failures);
        return 1;
    }
    return 0;
}

// The engine's connection to the fixture's data copy (f.ok, f.copy), opened once per
// benchmark; null, with the benchmark skipped, when there is no copy.
template <class Fixture>
std::unique_ptr<WSIDatabase> OpenEngine(benchmark::State& state, const Fixture& f) {
    if (!f.ok) {
        state.SkipWithError("no data copy (make the data first, see BENCHMARKS.md)");
        return nullptr;
    }
    RegisterRecords();
    auto db = std::make_unique<WSIDatabase>();
    if (!db->Open(f.copy->Path())) {
        state.SkipWithError("cannot open the copy");
        return nullptr;
    }
    TraceStatements(db->Handle());
    return db;
}

} // namespace bench
