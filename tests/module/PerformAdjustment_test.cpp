// Command 36009 run the way another suite module runs it: through the loaded module's
// handler, with a packed AdjustmentRequest, on the host's database.

#include "../foundation/FakeHost.h"
#include "../schema/SchemaTestSupport.h"
#include "CommandParameters.h"
#include "DemoData.h"
#include "Schema.h"
#include "WSIDllHandler.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using GetDllHandlerFn = WSIDllHandler* (*)();

class PerformAdjustmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tavel::CreateSchema(store.db));
        ASSERT_TRUE(tavel::LoadDemoData(store.db));
        module_ = dlopen(TAVEL_INVENTORY_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
        auto fn = reinterpret_cast<GetDllHandlerFn>(dlsym(module_, "GetDllHandler"));
        ASSERT_NE(fn, nullptr);
        handler_ = fn();
        ASSERT_NE(handler_, nullptr);
        host_.db = &store.db;
        handler_->AttachHost(&host_);
        // A lot with room to take one unit from, at a real location.
        auto rows = store.Rows("SELECT I.\"InvLoc\", I.\"Product\", PL.\"Balance\" FROM INVITEM I,"
                               " PRDLOC PL WHERE I.\"Balance\" >= 2 AND PL.\"Product\" ="
                               " I.\"Product\" AND PL.\"InvLoc\" = I.\"InvLoc\" LIMIT 1");
        ASSERT_EQ(rows.size(), 1u);
        std::strncpy(request_.InvLoc, rows[0][0].c_str(), sizeof request_.InvLoc - 1);
        request_.Product = std::stoi(rows[0][1]);
        balance_ = rows[0][2];
        request_.Type = 7; // decrease requested by the host
        request_.Quantity = 1;
    }
    void TearDown() override {
        if (module_)
            dlclose(module_);
    }

    std::string Balance() {
        return store.Value("SELECT \"Balance\" FROM PRDLOC WHERE \"InvLoc\" = '" +
                           std::string(request_.InvLoc) +
                           "' AND \"Product\" = " + std::to_string(request_.Product));
    }
    std::string StockRows() { return std::to_string(store.Rows("SELECT * FROM INVITDET").size()); }

    schematest::TempDatabase store;
    FakeHost host_;
    void* module_ = nullptr;
    WSIDllHandler* handler_ = nullptr;
    AdjustmentRequest request_{};
    std::string balance_;
};

TEST_F(PerformAdjustmentTest, RequestChangesStockThroughTheModule) {
    EXPECT_TRUE(handler_->ExecuteCommand(cmd::PerformAdjustment, &request_));
    EXPECT_EQ(std::stod(Balance()), std::stod(balance_) - 1);
    EXPECT_EQ(store.db.TransactionLevel(), 0);
}

TEST_F(PerformAdjustmentTest, RefusedRequestLeavesNothingOpenOrWritten) {
    const std::string detailsBefore = StockRows();
    request_.Quantity = 9999; // more than the location holds
    EXPECT_TRUE(handler_->ExecuteCommand(cmd::PerformAdjustment, &request_));
    EXPECT_EQ(Balance(), balance_);
    EXPECT_EQ(StockRows(), detailsBefore);
    EXPECT_EQ(store.db.TransactionLevel(), 0);
    EXPECT_FALSE(store.db.HoldsWriteLock());
    // A second workstation can write at once.
    WSIDatabase other;
    ASSERT_TRUE(other.Open(store.Path()));
    EXPECT_TRUE(other.TransactionBegin());
    EXPECT_TRUE(other.TransactionEnd());
}

TEST_F(PerformAdjustmentTest, MissingParameterDoesNothing) {
    const std::string detailsBefore = StockRows();
    EXPECT_TRUE(handler_->ExecuteCommand(cmd::PerformAdjustment, nullptr));
    EXPECT_EQ(Balance(), balance_);
    EXPECT_EQ(StockRows(), detailsBefore);
}

} // namespace
