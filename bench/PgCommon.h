#pragma once

// What the PostgreSQL benchmarks share: a libpq connection that closes itself, statements
// prepared once on the server and run with text values, and the server's connection
// string (TAVEL_PG_CONNINFO, which bench/run.sh --pg points at its throw-away cluster).

#include <libpq-fe.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace bench::pg {

struct ClosePg {
    void operator()(PGconn* c) const { PQfinish(c); }
};
using Conn = std::unique_ptr<PGconn, ClosePg>;

struct ClearResult {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ClearResult>;

// Statements that did not run; a benchmark does not report figures of those.
inline long failures = 0;

inline std::string Conninfo() {
    const char* c = std::getenv("TAVEL_PG_CONNINFO");
    return c ? c : "";
}

// Null (with the server's message on stderr) when the server refuses.
inline Conn Connect(const std::string& conninfo) {
    Conn c(PQconnectdb(conninfo.c_str()));
    if (!c || PQstatus(c.get()) != CONNECTION_OK) {
        std::fprintf(stderr, "cannot connect to %s: %s\n", conninfo.c_str(),
                     c ? PQerrorMessage(c.get()) : "no memory");
        return nullptr;
    }
    PQsetNoticeProcessor(
        c.get(), [](void*, const char*) {}, nullptr);
    return c;
}

inline bool ResultOk(PGconn* c, PGresult* r, const char* what) {
    const ExecStatusType s = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK || s == PGRES_COPY_IN)
        return true;
    if (++failures <= 5)
        std::fprintf(stderr, "failed: %s\n  %s\n", PQerrorMessage(c), what);
    return false;
}

// Runs text as it stands (several statements allowed).
inline bool Exec(PGconn* c, const std::string& sql) {
    Result r(PQexec(c, sql.c_str()));
    return ResultOk(c, r.get(), sql.c_str());
}

// A statement prepared once under a name of its own; values are texts (null: NULL).
class Stmt {
public:
    Stmt(PGconn* c, const std::string& sql) : c_(c), sql_(sql) {
        static int counter = 0;
        name_ = std::string(1, 'b').append(std::to_string(++counter));
        Result r(PQprepare(c, name_.c_str(), sql.c_str(), 0, nullptr));
        ResultOk(c, r.get(), sql.c_str());
    }
    // Runs with the values; the result (null when the statement failed).
    Result Run(const std::vector<std::string>& values = {}) {
        std::vector<const char*> v;
        v.reserve(values.size());
        for (const std::string& s : values)
            v.push_back(s.c_str());
        Result r(PQexecPrepared(c_, name_.c_str(), static_cast<int>(v.size()), v.data(), nullptr,
                                nullptr, 0));
        if (!ResultOk(c_, r.get(), sql_.c_str()))
            return nullptr;
        return r;
    }
    // First column of the first row as a number (0 when none).
    double One(const std::vector<std::string>& values = {}) {
        Result r = Run(values);
        return r && PQntuples(r.get()) > 0 ? std::atof(PQgetvalue(r.get(), 0, 0)) : 0;
    }

private:
    PGconn* c_;
    std::string sql_;
    std::string name_;
};

inline std::string N(double v) {
    char b[64];
    std::snprintf(b, sizeof b, "%.17g", v);
    return b;
}
inline std::string N(long long v) {
    return std::to_string(v);
}
inline std::string N(long v) {
    return std::to_string(v);
}
inline std::string N(int v) {
    return std::to_string(v);
}

// Stock of a benchmark's own on the server: locations, product locations and lots.
class Seeder {
public:
    explicit Seeder(PGconn* c)
        : loc_(c, "INSERT INTO INVLOC (\"InvLoc\", \"Name\", \"Type\", \"BarCode\", "
                  "\"Inactive\") VALUES ($1::text, $1::text, 1, $1::text, 0)"),
          prdLoc_(c, "INSERT INTO PRDLOC (\"Product\", \"InvLoc\", \"Bin\", \"Stocked\", "
                     "\"TrackUsage\", \"CanOrderFrom\", \"Balance\", \"LastCount\", "
                     "\"MinCount\", \"ReorderCount\", \"MaxCount\", \"MinToOrder\", "
                     "\"StdToOrder\", \"Inactive\") VALUES ($1, $2, 'B1', 1, 1, 1, $3, 0, 0, 0, "
                     "0, 0, 0, 0)"),
          lot_(c, "WITH a AS (INSERT INTO AUDITHIS (\"User\", \"Date\", \"Operation\", "
                  "\"TableName\") VALUES (1, CURRENT_DATE - $5::int, 1, 'INVITEM') RETURNING "
                  "\"Audit\"), i AS (INSERT INTO INVITEM (\"InvLoc\", \"InvLocFrom\", "
                  "\"Product\", \"Type\", \"InvRec\", \"InvOrdIt\", \"Quantity\", \"Balance\", "
                  "\"CostPerUnit\", \"ExpiryDate\", \"Unit\", \"ItemsPerUnit\", \"ItemUnit\", "
                  "\"AdjCreated\", \"Audit\") SELECT $1, '', $2, 2, 0, 0, $3::int, $3::int, $4, "
                  "CURRENT_DATE + $6::int, \"Unit\", \"ItemsPerUnit\", \"ItemUnit\", 0, "
                  "a.\"Audit\" FROM PRODUCT, a WHERE \"Product\" = $2 RETURNING *) INSERT INTO "
                  "INVITDET (\"InvItem\", \"Type\", \"InvLoc\", \"Product\", \"InvAdj\", "
                  "\"BatchId\", \"Quantity\", \"Unit\", \"ItemsPerUnit\", \"CostPerUnit\", "
                  "\"CountValue\", \"Audit\") SELECT \"InvItem\", 2, \"InvLoc\", \"Product\", "
                  "'', 0, \"Quantity\", \"Unit\", \"ItemsPerUnit\", \"CostPerUnit\", 0, "
                  "\"Audit\" FROM i") {}

    void Location(const std::string& code) { loc_.Run({code}); }
    void PrdLoc(long product, const std::string& loc, double balance) {
        prdLoc_.Run({N(product), loc, N(balance)});
    }
    // A lot of found stock dated `age` days back, expiring `expires` days from now, with its
    // audit row and its detail.
    void Lot(const std::string& loc, long product, int quantity, double cost, int age,
             int expires) {
        lot_.Run({loc, N(product), N(quantity), N(cost), N(age), N(expires)});
    }

private:
    Stmt loc_, prdLoc_, lot_;
};

} // namespace bench::pg
