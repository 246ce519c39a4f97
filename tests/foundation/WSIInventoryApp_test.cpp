#include "FakeHost.h"

#include <memory>

namespace {

// Suite options with or without a record; remembers the database it was read from.
class FakeOptions : public SuiteOptions {
public:
    FakeOptions(std::optional<int> length, WSIDatabase** seenDb) : length_(length), seen_(seenDb) {}
    std::optional<int> MinProductCodeLength(WSIDatabase* db) override {
        *seen_ = db;
        return length_;
    }

private:
    std::optional<int> length_;
    WSIDatabase** seen_;
};

void ExpectSettings(const WSIInventoryApp& app, unsigned length, unsigned maxQty,
                    unsigned maxDigits) {
    EXPECT_EQ(app.GetMinProductLength(), length);
    EXPECT_EQ(app.GetMaxQuantityAllowed(), maxQty);
    EXPECT_EQ(app.GetMaxDigitForQuantity(), maxDigits);
}

using InventoryAppTest = ModuleTest;

TEST_F(InventoryAppTest, InitApp_WithoutOptionsRecord_KeepsInitialSettings) {
    app->InitApp(42);
    EXPECT_EQ(app->GetCurrentUser(), 42);
    EXPECT_EQ(app->GetHostUser(), 42);
    ExpectSettings(*app, 6, 9999, 5);
    EXPECT_EQ(app->InventoryWindow, nullptr);
}

TEST_F(InventoryAppTest, InitApp_WithOptionsRecord_AppliesProductCodeLength) {
    int dbStandIn = 0; // only its address is compared, never used as a database
    host.db = reinterpret_cast<WSIDatabase*>(&dbStandIn);
    WSIDatabase* seen = nullptr;
    app->SetSuiteOptions(std::make_unique<FakeOptions>(4, &seen));
    app->InitApp(7);
    EXPECT_EQ(seen, host.db);
    EXPECT_EQ(app->GetCurrentUser(), 7);
    ExpectSettings(*app, 4, 999, 3);
}

struct LimitCase {
    unsigned length, maxQty, maxDigits;
};

void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << "length" << c.length;
}

class MinProductLengthTest : public InventoryAppTest,
                             public ::testing::WithParamInterface<LimitCase> {};

TEST_P(MinProductLengthTest, DerivesQuantityLimits) {
    const LimitCase& c = GetParam();
    app->SetMinProductLength(c.length);
    ExpectSettings(*app, c.length, c.maxQty, c.maxDigits);
}

INSTANTIATE_TEST_SUITE_P(Lengths, MinProductLengthTest,
                         ::testing::Values(LimitCase{1, 99, 0}, LimitCase{3, 99, 2},
                                           LimitCase{4, 999, 3}, LimitCase{5, 9999, 4},
                                           LimitCase{6, 9999, 4}, LimitCase{8, 9999, 4}));

TEST_F(InventoryAppTest, DispatchCommand_RunsListedEntryOnly) {
    EXPECT_FALSE(app->ExecuteCommand(36001, nullptr));
    int runs = 0;
    void* seenParameter = nullptr;
    int block = 0;
    app->GetResponseTable().AddCommand(36009, [&] {
        ++runs;
        seenParameter = app->CommandParameter;
        return true;
    });
    app->GetResponseTable().AddCommand(36010, [] { return false; });
    EXPECT_TRUE(app->ExecuteCommand(36009, &block));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(seenParameter, &block);
    EXPECT_EQ(app->CommandParameter, &block);  // kept after the command
    EXPECT_FALSE(app->DispatchCommand(36010)); // the handler's own result
    EXPECT_FALSE(app->DispatchCommand(36008));
    EXPECT_EQ(runs, 1);
}

TEST_F(InventoryAppTest, HostSlots_ReachHostAndKeepValues) {
    int windowStandIn = 0;
    host.mainWindow = reinterpret_cast<WSIWindow*>(&windowStandIn);
    EXPECT_EQ(app->GetHostApplication(), &host);
    EXPECT_EQ(app->GetHostMainWindow(), host.mainWindow);
    app->SetHostValues(11);
    app->SetHostValueB(12);
    EXPECT_EQ(app->GetHostValueA(), 11);
    EXPECT_EQ(app->GetHostValueB(), 12);
    app->SetHostUser(5);
    EXPECT_EQ(app->GetHostUser(), 5);
    app->AttachHost(nullptr);
    EXPECT_EQ(app->GetHostMainWindow(), nullptr);
    EXPECT_EQ(app->GetHostDb(), nullptr);
}

struct SizeCase {
    bool height;
    int defaultSize, screenSize, expected;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << (c.height ? "height" : "width") << c.defaultSize << "_screen" << c.screenSize;
}

class InvSizeTest : public InventoryAppTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(InvSizeTest, AtLeast1024By768WhenScreenAllows) {
    const SizeCase& c = GetParam();
    (c.height ? host.defaultHeight : host.defaultWidth) = c.defaultSize;
    (c.height ? host.screenHeight : host.workAreaWidth) = c.screenSize;
    EXPECT_EQ(c.height ? app->GetInvYSize() : app->GetInvXSize(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, InvSizeTest,
    ::testing::Values(SizeCase{false, 900, 1280, 1024}, SizeCase{false, 900, 800, 900},
                      SizeCase{false, 900, 1024, 1024}, SizeCase{false, 1100, 1280, 1100},
                      SizeCase{false, 1023, 1023, 1023}, SizeCase{true, 700, 1024, 768},
                      SizeCase{true, 700, 600, 700}, SizeCase{true, 700, 768, 768},
                      SizeCase{true, 900, 1024, 900}, SizeCase{true, 767, 767, 767}));

TEST_F(InventoryAppTest, ShowModuleMessage_ForcesModalOnTopAndNamesTheSuiteWithoutCaption) {
    constexpr unsigned kForced = mb::TASKMODAL | mb::SETFOREGROUND | mb::TOPMOST;
    struct Case {
        const char* caption;
        unsigned style;
        const char* expectedCaption;
    } cases[] = {{nullptr, mb::OK | mb::ICONINFORMATION, "Tavel"},
                 {"", mb::OK, ""},
                 {"Receiving", mb::YESNO | mb::ICONQUESTION, "Receiving"}};
    host.answer = id::NO;
    int windowStandIn = 0;
    auto* parent = reinterpret_cast<WSIWindow*>(&windowStandIn);
    for (const Case& c : cases)
        EXPECT_EQ(app->ShowModuleMessage(parent, "Screen too narrow", c.caption, c.style), id::NO);
    ASSERT_EQ(host.boxes.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(host.boxes[i].parent, parent);
        EXPECT_EQ(host.boxes[i].text, "Screen too narrow");
        EXPECT_EQ(host.boxes[i].caption, cases[i].expectedCaption);
        EXPECT_EQ(host.boxes[i].style, cases[i].style | kForced);
    }
}

TEST(ModuleLifetime, Handler_LivesFromFirstAttachToLastDetach) {
    ASSERT_EQ(tavel::CurrentInventoryApp(), nullptr);
    tavel::ModuleAttach();
    WSIInventoryApp* first = tavel::CurrentInventoryApp();
    ASSERT_NE(first, nullptr);
    first->SetMinProductLength(3);
    tavel::ModuleAttach();
    EXPECT_EQ(tavel::CurrentInventoryApp(), first);
    tavel::ModuleDetach();
    EXPECT_EQ(tavel::CurrentInventoryApp(), first);
    EXPECT_EQ(first->GetMinProductLength(), 3u);
    tavel::ModuleDetach();
    EXPECT_EQ(tavel::CurrentInventoryApp(), nullptr);
    EXPECT_EQ(tavel::ModuleAttachCount(), 0);
    tavel::ModuleDetach(); // an extra detach must not drive the count below zero
    tavel::ModuleAttach();
    ASSERT_NE(tavel::CurrentInventoryApp(), nullptr);
    ExpectSettings(*tavel::CurrentInventoryApp(), 6, 9999, 5);
    tavel::ModuleDetach();
    EXPECT_EQ(tavel::CurrentInventoryApp(), nullptr);
}

} // namespace
