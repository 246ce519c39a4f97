#include "StringTable.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

std::filesystem::path WriteTable(const char* text) {
    auto p = std::filesystem::temp_directory_path() /
             ("tavel-strings-" + std::to_string(::getpid()) + ".tsv");
    std::ofstream(p) << text;
    return p;
}

TEST(StringTable, LoadsCodesSkipsCommentsAndMalformedLines) {
    auto p = WriteTable("# comment\n5005\tSomeone else is changing this record.\n"
                        "abc\tnot a code\n\n38219\t Line one\\nline two\r\n");
    StringTable t;
    ASSERT_TRUE(t.LoadFile(p.string()));
    std::filesystem::remove(p);
    EXPECT_EQ(t.Size(), 2u);
    EXPECT_EQ(t.Get(5005), "Someone else is changing this record.");
    EXPECT_EQ(t.Get(38219), " Line one\nline two");
}

TEST(StringTable, LoadCutsToBufferAndMissingCodeGivesEmptyText) {
    auto p = WriteTable("1\tabcdefgh\n");
    StringTable t;
    ASSERT_TRUE(t.LoadFile(p.string()));
    std::filesystem::remove(p);
    char buf[4] = {'z', 'z', 'z', 'z'};
    EXPECT_EQ(t.Load(1, buf, sizeof buf), 3);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(t.Load(2, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
}

TEST(StringTable, MissingFileIsReportedNotFatal) {
    StringTable t;
    EXPECT_FALSE(t.LoadFile("/nonexistent/en.tsv"));
    EXPECT_EQ(t.Size(), 0u);
}

} // namespace
