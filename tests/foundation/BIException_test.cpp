#include "BIException.h"
#include "FakeHost.h"
#include "Paths.h"
#include "StringTable.h"

#include <set>
#include <string>

namespace {

// Exposes the message buffer so that copies can be checked without refilling it.
class ProbeException : public RecordInUse {
public:
    const char* Buffer() const { return m_szErrMsg; }
};

class BIExceptionTest : public ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        host.texts[5005] = "Record in use.";
        host.texts[kBIMessageSuffixCode] = " Nothing was saved.";
    }
};

TEST_F(BIExceptionTest, GetErrMsg_LoadsTextAtEveryCall_SuffixOnlyWithFlag) {
    RecordInUse e;
    EXPECT_STREQ(e.GetErrMsg(false), "Record in use.");
    EXPECT_STREQ(e.GetErrMsg(true), "Record in use. Nothing was saved.");
    EXPECT_STREQ(e.GetErrMsg(true), "Record in use. Nothing was saved."); // not appended twice
    EXPECT_STREQ(e.GetErrMsg(false), "Record in use.");
    host.texts[5005] = "Changed text.";
    EXPECT_STREQ(e.GetErrMsg(false), "Changed text.");
}

TEST_F(BIExceptionTest, GetErrMsg_WithoutTextHandlerOrHost_IsEmpty) {
    EXPECT_STREQ(DeletedRecord().GetErrMsg(true), " Nothing was saved."); // 5010 has no text
    RecordInUse e;
    app->AttachHost(nullptr);
    EXPECT_STREQ(e.GetErrMsg(true), "");
    tavel::ModuleDetach();
    ASSERT_EQ(tavel::CurrentInventoryApp(), nullptr);
    EXPECT_STREQ(e.GetErrMsg(true), "");
}

struct CutCase {
    std::size_t textLength;
    std::size_t suffixLength;
    std::size_t expectedText;   // characters of the message kept
    std::size_t expectedSuffix; // characters of the suffix kept
};

void PrintTo(const CutCase& c, std::ostream* os) {
    *os << "text" << c.textLength << "_suffix" << c.suffixLength;
}

class BIExceptionCutTest : public BIExceptionTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(BIExceptionCutTest, MessageAndSuffix_NeverOverrun512) {
    const CutCase& c = GetParam();
    std::string text(c.textLength, 'm');
    std::string suffix(c.suffixLength, 's');
    host.texts[5005] = text;
    host.texts[kBIMessageSuffixCode] = suffix;
    RecordInUse e;
    EXPECT_EQ(std::string(e.GetErrMsg(true)),
              text.substr(0, c.expectedText) + suffix.substr(0, c.expectedSuffix));
}

INSTANTIATE_TEST_SUITE_P(Lengths, BIExceptionCutTest,
                         ::testing::Values(CutCase{500, 20, 500, 11},   // suffix cut at the end
                                           CutCase{511, 10, 511, 0},    // no room left at all
                                           CutCase{600, 10, 511, 0},    // message cut to 511
                                           CutCase{100, 200, 100, 127}, // suffix buffer is 128
                                           CutCase{384, 127, 384, 127}));

TEST_F(BIExceptionTest, CopyAndMove_CopyTheMessageBuffer) {
    ProbeException source;
    source.GetErrMsg(true);
    const std::string text = source.Buffer();
    ASSERT_FALSE(text.empty());

    ProbeException copied(source);
    ProbeException assigned;
    assigned = source;
    ProbeException moved(std::move(copied));
    ProbeException moveAssigned;
    moveAssigned = std::move(assigned);
    EXPECT_EQ(text, moved.Buffer());
    EXPECT_EQ(text, moveAssigned.Buffer());
    EXPECT_STREQ(ProbeException().Buffer(), "");
}

template <class Thrown, class Other> void ExpectDistinctTypesSameText(FakeHost& host) {
    static_assert(Thrown::kCode == Other::kCode);
    host.texts[Thrown::kCode] = "Shared text";
    bool caughtAsOther = false, caughtAsOwn = false;
    try {
        try {
            throw Thrown();
        } catch (Other&) {
            caughtAsOther = true;
        }
    } catch (Thrown& e) {
        caughtAsOwn = true;
        EXPECT_STREQ(e.GetErrMsg(false), Other().GetErrMsg(false));
        EXPECT_STREQ(e.GetErrMsg(false), "Shared text");
    }
    EXPECT_FALSE(caughtAsOther);
    EXPECT_TRUE(caughtAsOwn);
}

TEST_F(BIExceptionTest, SharedCodes_SameTextButDistinctTypes) {
    ExpectDistinctTypesSameText<InvalidInvItemInvLoc, InvalidLocation>(host);
    ExpectDistinctTypesSameText<InvalidLocation, InvalidInvItemInvLoc>(host);
    ExpectDistinctTypesSameText<InvalidOrderDate, InvalidPODate>(host);
    ExpectDistinctTypesSameText<InvalidPODate, InvalidOrderDate>(host);
    ExpectDistinctTypesSameText<InvRecDiffInvLocErr, PrdTypeMatchErr>(host);
    ExpectDistinctTypesSameText<PrdTypeMatchErr, InvRecDiffInvLocErr>(host);
}

TEST(BIExceptionRegistry, HoldsEveryClassOnce_ThreeCodesShared) {
    std::set<std::string> names;
    std::map<unsigned, int> uses;
    for (const BIExceptionInfo& info : kBIExceptionRegistry) {
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
        ++uses[info.code];
    }
    EXPECT_EQ(names.size(), 111u);
    EXPECT_EQ(uses.size(), 108u);
    std::set<unsigned> shared;
    for (auto [code, n] : uses)
        if (n > 1)
            shared.insert(code);
    EXPECT_EQ(shared, (std::set<unsigned>{38501, 38503, 38586}));
}

// The texts are the host's; every code an exception can show must have one.
TEST(BIExceptionTexts, EveryCodeHasTextInStringTable) {
    StringTable table;
    const std::string path = tavel::ResourceDir() + "/strings/en.tsv";
    ASSERT_TRUE(table.LoadFile(path)) << path;
    EXPECT_FALSE(table.Get(kBIMessageSuffixCode).empty()) << "suffix " << kBIMessageSuffixCode;
    for (const BIExceptionInfo& info : kBIExceptionRegistry)
        EXPECT_FALSE(table.Get(info.code).empty()) << info.name << " " << info.code;
}

} // namespace
