// One workstation of the concurrency test: receives, transfers, uses and counts the same
// products as the other workstations at the same time, for a bounded number of operations
// chosen with a fixed seed, and reports what it committed.
//
//   workstation (--db FILE | --pg CONNINFO) --seed N --ops N FROM TO PRODUCT...
//   workstation (--db FILE | --pg CONNINFO) --total PRODUCT...
//
// Output (one line):
//   "committed DELTA ops N done N inuse N rule N other N counts N elapsed_ms N"
// where DELTA is the change of the products' total stock that its committed operations
// made (a receipt adds, a use takes, a transfer keeps the total, a count moves the
// location's balance from what it held to what was counted) and counts how many of the
// operations done were counts. --total prints the total stock of the products. Exit 1
// when anything but RecordInUse or a business rule refused, or a count did not land.

#include "BIException.h"
#include "BIInvAdj.h"
#include "BIInvCount.h"
#include "BIInvTransfer.h"
#include "BoundedFormat.h"
#include "DbLocation.h"
#include "InventoryModule.h"
#include "MessageStyle.h"
#include "Records.h"
#include "TableLookup.h"
#include "WSIApplication.h"
#include "WSIDatabase.h"
#include "WSIInventoryApp.h"
#include "schema/InventoryCodes.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Answers every question yes; texts are not needed.
class Host : public WSIApplication {
public:
    explicit Host(WSIDatabase* db) : db_(db) {}
    int LoadString(unsigned, char* buf, int size) const override {
        if (size > 0)
            buf[0] = '\0';
        return 0;
    }
    WSIDatabase* GetDb() override { return db_; }
    int MessageBox(WSIWindow*, const char*, const char*, unsigned) override { return id::YES; }

private:
    WSIDatabase* db_;
};

double Total(WSIDatabase& db, const std::vector<long>& products) {
    double total = 0;
    for (long p : products) {
        double balance = 0;
        auto c = db.Query(__FILE__, __LINE__,
                          "SELECT NVL(SUM(\"Balance\"), 0) FROM PRDLOC WHERE \"Product\" = %ld",
                          &balance, p);
        if (c->GetFirst())
            total += balance;
    }
    return total;
}

// The first active count code; counts need one.
std::string CountCode(WSIDatabase& db) {
    char code[16] = "";
    char sql[256];
    TVL_FORMAT(sql,
               "SELECT \"InvAdj\" FROM INVADJ WHERE \"Type\" = %d AND \"Inactive\" = 0 ORDER BY "
               "\"InvAdj\"",
               static_cast<int>(tavel::AdjustmentType::Count));
    return db.Query(__FILE__, __LINE__, "%s", code, sql)->GetFirst() ? code : "";
}

// Counts the product at the location and returns the change of the stock it made. The
// product location is locked first, so that the balance the count replaces is the one
// read here and no other workstation moves it in between.
double Count(WSIDatabase& db, const std::string& loc, long product, short counted,
             const std::string& code) {
    TransactionGuard unit(&db);
    WSIPrdLoc pl(&db);
    pl.data.Product = product;
    tavel::tables::CopyText(pl.data.InvLoc, loc.c_str());
    if (!pl.GetEqual(__FILE__, __LINE__, dbiWRITELOCK)) {
        WSIPrdLoc probe(&db);
        probe.data.Product = product;
        tavel::tables::CopyText(probe.data.InvLoc, loc.c_str());
        if (probe.GetEqual(__FILE__, __LINE__))
            throw RecordInUse();
        // Not carried there: the count refuses it below.
    }
    const double before = pl.data.Balance;
    BIInvCount count(&db);
    count.InitBatch(loc.c_str(), "");
    count.CountProduct(loc.c_str(), product, counted, code.c_str());
    count.CloseBatch();
    WSIPrdLoc after(&db);
    after.data.Product = product;
    tavel::tables::CopyText(after.data.InvLoc, loc.c_str());
    if (!after.GetEqual(__FILE__, __LINE__) || after.data.Balance != counted ||
        after.data.LastCount != counted)
        throw std::runtime_error("the count of product " + std::to_string(product) + " at " + loc +
                                 " left the balance at " + std::to_string(after.data.Balance) +
                                 ", counted " + std::to_string(counted));
    if (!unit.Commit())
        throw std::runtime_error("the count could not be committed: " + db.LastError());
    return counted - before;
}

} // namespace

int main(int argc, char** argv) {
    tavel::DbLocation where;
    unsigned seed = 1;
    int ops = 50;
    bool total = false;
    std::vector<std::string> pos;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--db" && i + 1 < argc)
            where = tavel::DbLocation::File(argv[++i]);
        else if (a == "--pg" && i + 1 < argc)
            where = tavel::DbLocation::Server(argv[++i]);
        else if (a == "--seed" && i + 1 < argc)
            seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--ops" && i + 1 < argc)
            ops = std::atoi(argv[++i]);
        else if (a == "--total")
            total = true;
        else
            pos.push_back(a);
    }
    if (where.target.empty() || pos.size() < (total ? 1u : 3u)) {
        std::fprintf(stderr, "usage: workstation (--db FILE | --pg CONNINFO) [--seed N] [--ops N] "
                             "FROM TO PRODUCT... | --total PRODUCT...\n");
        return 2;
    }
    RegisterRecords();
    auto db = tavel::OpenDatabase(where);
    if (!db->IsOpen()) {
        std::fprintf(stderr, "workstation: cannot open the database: %s\n",
                     db->LastError().c_str());
        return 2;
    }
    std::vector<long> products;
    for (std::size_t i = total ? 0 : 2; i < pos.size(); ++i)
        products.push_back(std::atol(pos[i].c_str()));
    if (total) {
        std::printf("%.2f\n", Total(*db, products));
        return 0;
    }
    const std::string from = pos[0], to = pos[1];

    Host host(db.get());
    tavel::ModuleAttach();
    WSIInventoryApp* app = tavel::CurrentInventoryApp();
    app->AttachHost(&host);
    app->InitApp(0);

    const std::string countCode = CountCode(*db);
    std::mt19937 random(seed);
    double delta = 0;
    int done = 0, inUse = 0, rule = 0, other = 0, counts = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < ops; ++n) {
        const long product = products[random() % products.size()];
        const short quantity = static_cast<short>(1 + random() % 3);
        const int kind = static_cast<int>(random() % 4);
        const std::string& where = random() % 2 ? from : to;
        const short counted = static_cast<short>(random() % 13);
        try {
            if (kind == 0) {
                BIInvAdj adj(db.get());
                adj.Adjust(from.c_str(), tavel::MovementType::HostIncrease, product, quantity, "",
                           true, true, true, 0, 0, 0, nullptr, 0);
                delta += quantity;
            } else if (kind == 1) {
                BIInvTransfer transfer(db.get());
                transfer.InitBatch(from.c_str(), to.c_str());
                transfer.Transfer(product, quantity, false, true, true);
                transfer.CloseBatch();
            } else if (kind == 2) {
                BIInvAdj adj(db.get());
                adj.Adjust(to.c_str(), tavel::MovementType::Usage, product, quantity, "", false,
                           true, true, 0, 0, 0, nullptr, 0);
                delta -= quantity;
            } else {
                delta += Count(*db, where, product, counted, countCode);
                ++counts;
            }
            ++done;
        } catch (RecordInUse&) {
            db->TransactionAbort();
            ++inUse;
        } catch (BIException&) {
            // A rule of the operation (not enough stock, ...): nothing was written.
            db->TransactionAbort();
            ++rule;
        } catch (std::exception& e) {
            std::fprintf(stderr, "workstation: %s\n", e.what());
            db->TransactionAbort();
            ++other;
        } catch (...) {
            db->TransactionAbort();
            ++other;
        }
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    app->AttachHost(nullptr);
    tavel::ModuleDetach();
    std::printf(
        "committed %.2f ops %d done %d inuse %d rule %d other %d counts %d elapsed_ms %lld\n",
        delta, ops, done, inUse, rule, other, counts, static_cast<long long>(ms));
    return other == 0 ? 0 : 1;
}
