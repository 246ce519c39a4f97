// Every message code the module's sources show to a user has a text in the host's string
// table: table-rule messages and questions, texts loaded by code, warning screens.

#include "Paths.h"
#include "StringTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace {

// The call shapes through which a literal code reaches the string table.
const std::regex kCodeUses[] = {
    std::regex(R"(\bFail\(\s*[^,()]+,\s*(\d{4,5})\s*\))"),
    std::regex(R"(\bReport(?:Error|Warning)\(\s*(\d{4,5})\s*\))"),
    std::regex(R"(\bLoadString\(\s*(\d{4,5})\s*,)"),
    std::regex(R"(\bWarnDialog\([^;]*?,\s*(\d{4,5})\s*\))"),
};

std::set<unsigned> CodesUsedIn(const std::filesystem::path& root) {
    std::set<unsigned> codes;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const auto ext = entry.path().extension();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        const std::string source = text.str();
        for (const auto& use : kCodeUses)
            for (std::sregex_iterator m(source.begin(), source.end(), use), end; m != end; ++m)
                codes.insert(static_cast<unsigned>(std::stoul((*m)[1].str())));
    }
    return codes;
}

TEST(MessageCodes, EveryCodeTheSourcesShowHasAText) {
    StringTable strings;
    ASSERT_TRUE(strings.LoadFile(tavel::ResourceDir() + "/strings/en.tsv"));
    const std::set<unsigned> used = CodesUsedIn(TAVEL_SOURCE_DIR);
    // The table rules alone show dozens of codes; finding few means the scan is broken.
    ASSERT_GT(used.size(), 30u);
    for (unsigned code : used)
        EXPECT_FALSE(strings.Get(code).empty()) << "message " << code << " has no text";
}

} // namespace
