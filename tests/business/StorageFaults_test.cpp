// A disk that fails below SQLite: for every write, sync or lock that one receipt line, one
// usage or one count makes, failing exactly that one must give a business exception and
// leave the database as it was; past the last one the operation is stored whole. A full
// disk is reported as a full disk.

#include "BIException.h"
#include "BIInvAdj.h"
#include "BIInvCount.h"
#include "BIInvRec.h"
#include "FaultVfs.h"
#include "StockFixture.h"

#include <functional>
#include <string>

namespace {

using faultvfs::Fault;

class StorageFaultTest : public StockTest {
protected:
    void SetUp() override {
        faultvfs::Install(); // before the fixture opens its database
        StockTest::SetUp();
    }
    void TearDown() override {
        faultvfs::Disarm();
        StockTest::TearDown();
    }

    // Fails the 1st, 2nd, ... call of `fault` made by `operation` until one run makes no
    // failing call. A run that is refused leaves every table as it was; a run that is not
    // refused (SQLite may retry a failed lock by itself) has done its work: `measure`
    // then reads what `expected` says it must be, given what it was before.
    void FailEachCallIn(Fault fault, const std::function<void()>& operation,
                        const std::function<double()>& measure,
                        const std::function<double(double)>& expected) {
        int failAt = 1;
        for (; failAt < 500; ++failAt) {
            const std::string before = Snapshot();
            const double was = measure();
            faultvfs::Arm(fault, failAt);
            bool threw = false;
            try {
                operation();
            } catch (BIException& e) {
                threw = true;
                faultvfs::Disarm();
                if (fault == Fault::Full && faultvfs::Current().hit) {
                    EXPECT_NE(dynamic_cast<DiskFullErr*>(&e), nullptr)
                        << "a full disk reported as another failure at call " << failAt;
                }
            }
            faultvfs::Disarm();
            const bool hit = faultvfs::Current().hit;
            ASSERT_EQ(db->TransactionLevel(), 0) << failAt;
            if (threw) {
                ASSERT_EQ(Snapshot(), before) << "half stored after failing call " << failAt;
                continue;
            }
            ASSERT_EQ(measure(), expected(was))
                << "reported done but not stored, failing call " << failAt;
            EXPECT_TRUE(Violations().empty());
            if (!hit)
                break;
        }
        EXPECT_GT(failAt, 1) << "the operation made no call that could fail";
        EXPECT_LT(failAt, 500);
    }
};

struct Case {
    const char* name;
    Fault fault;
};

class StorageFaults : public StorageFaultTest, public ::testing::WithParamInterface<Case> {};

TEST_P(StorageFaults, ReceiptLineIsStoredWholeOrNotAtAll) {
    WSIProduct::WSIData gauze = NewProduct("GAUZEPAD");
    gauze.CostPerUnit = 1.25;
    gauze.AverageCost = 1.25;
    const long product = StoreProduct(gauze);
    BIInvReceive rec(db.get());
    rec.InitBatch(kStore, vendor, nullptr, "", nullptr);
    FailEachCallIn(
        GetParam().fault, [&] { rec.Add(product, 5, nullptr, "DN-1"); },
        [&] { return PrdLocBalance(product, kStore); }, [](double was) { return was + 5; });
    rec.CloseBatch();
}

TEST_P(StorageFaults, UsageIsStoredWholeOrNotAtAll) {
    const long product = AddProduct("GLOVE");
    AddLot(product, kStore, 10);
    BIInvAdj adj(db.get());
    FailEachCallIn(
        GetParam().fault,
        [&] {
            adj.Adjust(kStore, tavel::MovementType::Usage, product, 3, "", false, true, true, 0, 0,
                       0, "", 0);
        },
        [&] { return PrdLocBalance(product, kStore); }, [](double was) { return was - 3; });
}

TEST_P(StorageFaults, CountIsStoredWholeOrNotAtAll) {
    const long product = AddProduct("SYRINGE");
    AddLot(product, kStore, 10);
    BIInvCount count(db.get());
    count.InitBatch(kStore, "");
    FailEachCallIn(
        GetParam().fault, [&] { count.CountProduct(kStore, product, 4, kCountCode); },
        [&] { return PrdLocBalance(product, kStore); }, [](double) { return 4.0; });
    count.CloseBatch();
}

INSTANTIATE_TEST_SUITE_P(Faults, StorageFaults,
                         ::testing::Values(Case{"write", Fault::Write}, Case{"sync", Fault::Sync},
                                           Case{"lock", Fault::Lock}, Case{"full", Fault::Full}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
