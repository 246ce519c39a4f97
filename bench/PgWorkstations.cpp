// Workstations scanning at once on one PostgreSQL database: for each count of processes,
// that many processes, each with its own connection, scan for a fixed time through the
// business classes, one scan after another as at a scanner: a usage of one unit at its
// own location, then a transfer of one unit of the same product to its second location,
// over 20 products of its own (--products). Prints per count of processes the scans per
// second of all of them together, the median and 99th percentile of a scan's time and the
// refusals.
//
//   pg_workstations --pg CONNINFO [--seconds S] [--procs 1,4,8,16] [--products N]

#include "BIException.h"
#include "BIInvAdj.h"
#include "BIInvTransfer.h"
#include "PgCommon.h"
#include "Records.h"
#include "WSIDatabase.h"
#include "schema/InventoryCodes.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kLots = 5;
constexpr int kLotSize = 9000;

struct Station {
    std::string from, to;
    std::vector<long> products;
};

// Locations and stock of every station: two locations each, `perStation` products with five
// lots.
std::vector<Station> Seed(PGconn* c, int count, int perStation, const std::string& run) {
    using bench::pg::N;
    bench::pg::Seeder seed(c);
    std::vector<long> products;
    {
        bench::pg::Result r(PQexec(
            c, ("SELECT \"Product\" FROM PRODUCT WHERE \"Inactive\" = 0 AND \"TrackExpiryDate\" "
                "= 0 ORDER BY \"Product\" LIMIT " +
                N(count * perStation))
                   .c_str()));
        for (int i = 0; r && i < PQntuples(r.get()); ++i)
            products.push_back(std::atol(PQgetvalue(r.get(), i, 0)));
    }
    std::vector<Station> stations(static_cast<std::size_t>(count));
    bench::pg::Exec(c, "BEGIN");
    for (int s = 0; s < count; ++s) {
        Station& st = stations[static_cast<std::size_t>(s)];
        st.from = "W" + run + static_cast<char>('A' + s);
        st.to = "X" + run + static_cast<char>('A' + s);
        seed.Location(st.from);
        seed.Location(st.to);
        for (int k = 0; k < perStation; ++k) {
            const std::size_t i = static_cast<std::size_t>(s * perStation + k);
            if (i >= products.size())
                break;
            const long p = products[i];
            st.products.push_back(p);
            seed.PrdLoc(p, st.from, kLots * kLotSize);
            seed.PrdLoc(p, st.to, 0);
            for (int l = 0; l < kLots; ++l)
                seed.Lot(st.from, p, kLotSize, 2.5, 100 - l, 300);
        }
    }
    bench::pg::Exec(c, "COMMIT");
    bench::pg::Exec(c, "ANALYZE INVITEM; ANALYZE PRDLOC");
    return stations;
}

struct Outcome {
    long scans = 0;
    long refused = 0;
    std::vector<float> ms; // each scan's time
};

// One workstation: connects, says it is ready, waits for the start, scans until the time
// is up, writes its outcome to `out`.
int Station_(const std::string& conninfo, const Station& st, double seconds, int ready, int go,
             int out) {
    RegisterRecords();
    WSIDatabase db;
    if (!db.OpenServer(conninfo))
        return 2;
    char byte = 1;
    if (write(ready, &byte, 1) != 1 || read(go, &byte, 1) != 1)
        return 2;
    Outcome o;
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::duration<double>(seconds);
    BIInvTransfer transfer(&db);
    transfer.InitBatch(st.from.c_str(), st.to.c_str());
    BIInvAdj adj(&db);
    for (long n = 0;; ++n) {
        const auto t0 = std::chrono::steady_clock::now();
        if (t0 >= end)
            break;
        const long product = st.products[static_cast<std::size_t>(n / 2) % st.products.size()];
        try {
            if (n % 2 == 0)
                adj.Adjust(st.from.c_str(), tavel::MovementType::Usage, product, 1, "", false,
                           false, false, 0, 0, 0, "", 0);
            else
                transfer.Transfer(product, 1, false, true, true);
            ++o.scans;
        } catch (BIException&) {
            db.TransactionAbort();
            ++o.refused;
        }
        o.ms.push_back(static_cast<float>(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count()));
    }
    transfer.CloseBatch();
    const long header[2] = {o.scans, o.refused};
    const std::size_t n = o.ms.size();
    bool ok =
        write(out, header, sizeof header) == sizeof header && write(out, &n, sizeof n) == sizeof n;
    const char* p = reinterpret_cast<const char*>(o.ms.data());
    for (std::size_t left = n * sizeof(float); ok && left > 0;) {
        const ssize_t w = write(out, p, left);
        ok = w > 0;
        p += w;
        left -= static_cast<std::size_t>(w);
    }
    return ok ? 0 : 2;
}

bool ReadAll(int fd, void* buf, std::size_t size) {
    char* p = static_cast<char*>(buf);
    while (size > 0) {
        const ssize_t r = read(fd, p, size);
        if (r <= 0)
            return false;
        p += r;
        size -= static_cast<std::size_t>(r);
    }
    return true;
}

double Percentile(std::vector<float>& v, double q) {
    if (v.empty())
        return 0;
    const std::size_t k =
        std::min(v.size() - 1, static_cast<std::size_t>(q * (v.size() - 1) + 0.5));
    std::nth_element(v.begin(), v.begin() + static_cast<long>(k), v.end());
    return v[k];
}

// Runs `count` stations at once; false when one of them failed.
bool Run(const std::string& conninfo, const std::vector<Station>& stations, int count,
         double seconds) {
    int ready[2], go[2];
    if (pipe(ready) != 0 || pipe(go) != 0)
        return false;
    std::vector<pid_t> pids;
    std::vector<int> outs;
    for (int i = 0; i < count; ++i) {
        int out[2];
        if (pipe(out) != 0)
            return false;
        const pid_t pid = fork();
        if (pid == 0) {
            close(out[0]);
            _exit(Station_(conninfo, stations[static_cast<std::size_t>(i)], seconds, ready[1],
                           go[0], out[1]));
        }
        close(out[1]);
        pids.push_back(pid);
        outs.push_back(out[0]);
    }
    char byte;
    int connected = 0;
    while (connected < count && read(ready[0], &byte, 1) == 1)
        ++connected;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i)
        if (write(go[1], "g", 1) != 1)
            return false;
    long scans = 0, refused = 0;
    std::vector<float> all;
    bool ok = connected == count;
    for (int fd : outs) {
        long header[2] = {0, 0};
        std::size_t n = 0;
        if (ReadAll(fd, header, sizeof header) && ReadAll(fd, &n, sizeof n)) {
            std::vector<float> ms(n);
            ok = ReadAll(fd, ms.data(), n * sizeof(float)) && ok;
            all.insert(all.end(), ms.begin(), ms.end());
            scans += header[0];
            refused += header[1];
        } else {
            ok = false;
        }
        close(fd);
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        ok = ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    for (int fd : {ready[0], ready[1], go[0], go[1]})
        close(fd);
    const double median = Percentile(all, 0.5);
    const double p99 = Percentile(all, 0.99);
    std::printf("| %d | %ld | %.0f | %.2f | %.2f | %ld |%s\n", count, scans,
                static_cast<double>(scans) / std::max(wall, seconds), median, p99, refused,
                ok ? "" : " (a station failed)");
    std::fflush(stdout);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    std::string conninfo = bench::pg::Conninfo();
    double seconds = 10;
    int products = 20; // per station
    std::vector<int> counts = {1, 4, 8, 16};
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--pg") == 0)
            conninfo = argv[i + 1];
        else if (std::strcmp(argv[i], "--products") == 0)
            products = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--procs") == 0) {
            counts.clear();
            for (const char* p = argv[i + 1]; *p;) {
                counts.push_back(std::atoi(p));
                p = std::strchr(p, ',');
                p = p ? p + 1 : "";
            }
        }
    }
    if (conninfo.empty() || counts.empty() || products < 1) {
        std::fprintf(stderr, "usage: pg_workstations --pg CONNINFO [--seconds S] [--procs "
                             "1,4,8,16] [--products N]\n");
        return 2;
    }
    const int most = *std::max_element(counts.begin(), counts.end());
    if (most < 1 || most > 26) {
        std::fprintf(stderr, "pg_workstations: 1 to 26 processes\n");
        return 2;
    }
    std::vector<Station> stations;
    {
        bench::pg::Conn c = bench::pg::Connect(conninfo);
        if (!c)
            return 1;
        stations = Seed(c.get(), most, products, bench::pg::N(static_cast<long>(getpid() % 1000)));
    }
    if (bench::pg::failures != 0 ||
        stations.back().products.size() != static_cast<std::size_t>(products)) {
        std::fprintf(stderr, "pg_workstations: the set-up failed\n");
        return 1;
    }
    std::printf("| processes | scans | scans/s | median ms | p99 ms | refused "
                "|\n|---|---|---|---|---|---|\n");
    bool ok = true;
    for (int n : counts)
        ok = Run(conninfo, stations, n, seconds) && ok;
    return ok ? 0 : 1;
}
