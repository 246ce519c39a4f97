#include "BoundedFormat.h"
#include "LogFile.h"
#include "Paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class BoundedFormatTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("tavel-fmt-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        setenv("TAVEL_DATA_DIR", dir_.c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string WarningLog() const {
        std::ifstream in(dir_ / kBufferWarningLog);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path dir_;
};

TEST_F(BoundedFormatTest, FittingTextIsWrittenWithoutWarning) {
    char sql[1024];
    int n = TVL_FORMAT(sql, "SELECT %s FROM PRDLOC WHERE \"Product\" = %ld", "*", 42L);
    EXPECT_STREQ(sql, "SELECT * FROM PRDLOC WHERE \"Product\" = 42");
    EXPECT_EQ(n, static_cast<int>(std::string(sql).size()));
    EXPECT_FALSE(std::filesystem::exists(dir_ / kBufferWarningLog));
}

TEST_F(BoundedFormatTest, OverlongSqlIsCutAt1023AndLogsFileAndLine) {
    std::string value(2000, 'x');
    char sql[1024];
    int line = __LINE__ + 1;
    int n = FormatInto(line, "BIInvAdj.cpp", sql, "SELECT '%s' FROM DUAL", value.c_str());
    EXPECT_LT(n, 0);
    EXPECT_EQ(std::string(sql).size(), 1023u);
    EXPECT_EQ(std::string(sql).substr(0, 8), "SELECT '");
    EXPECT_EQ(WarningLog(), "\tError \tFile: BIInvAdj.cpp \tLine: " + std::to_string(line) + "\n");
}

TEST_F(BoundedFormatTest, EachCapacityCutsAtItsOwnSize) {
    struct Case {
        int (*fn)(int, const char*, char*, const char*, ...);
        std::size_t capacity;
    } cases[] = {{FormatText32, 32},     {FormatText40, 40},    {FormatText128, 128},
                 {FormatText255, 255},   {FormatText256, 256},  {FormatText512, 512},
                 {FormatText1024, 1024}, {FormatText4096, 4096}};
    std::string big(5000, 'q');
    for (const auto& c : cases) {
        std::string buf(c.capacity + 16, '#');
        int n = c.fn(7, "f.cpp", buf.data(), "%s", big.c_str());
        EXPECT_LT(n, 0) << c.capacity;
        EXPECT_EQ(std::string(buf.c_str()).size(), c.capacity - 1) << c.capacity;
        // Nothing beyond the capacity is touched.
        EXPECT_EQ(buf[c.capacity], '#') << c.capacity;
    }
    // One warning line per truncation.
    std::string log = WarningLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 8);
}

TEST_F(BoundedFormatTest, UnboundedFormatsWholeText) {
    std::string value(3000, 'y');
    std::string buf(4000, '\0');
    int n = FormatTextUnbounded(__LINE__, __FILE__, buf.data(), "<%s>", value.c_str());
    EXPECT_EQ(n, 3002);
    EXPECT_FALSE(std::filesystem::exists(dir_ / kBufferWarningLog));
}

TEST_F(BoundedFormatTest, LogFileAppendsInDataFolder) {
    {
        LogFile log("Some_Log.txt", true, false);
        EXPECT_TRUE(log.Log("first %d", 1));
    }
    {
        LogFile log("Some_Log.txt", true, false);
        EXPECT_TRUE(log.Log("second"));
        EXPECT_EQ(std::filesystem::path(log.Path()).parent_path(), dir_);
    }
    std::ifstream in(dir_ / "Some_Log.txt");
    std::string all(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(all, "first 1\nsecond\n");
}

} // namespace
