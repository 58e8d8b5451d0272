// The string table that ships must hold every string id the code names, and the
// .res reader must refuse malformed input rather than read past it.
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include <gtest/gtest.h>

#include "test_support.h"

namespace orvox {
namespace {

TEST(ResourceTable, EveryNamedStringIdIsInTheModule)
{
    const auto& strings = test::shippedStrings();
    ASSERT_FALSE(strings.all().empty()) << "ORVOX_RES_FILE not readable";
    const std::regex define(R"(^\s*#define\s+(IDS_\w+)\s+(\d+))");
    int checked = 0;
    std::map<unsigned long, std::string> names;  // one name per string id
    for (const auto& entry : std::filesystem::directory_iterator(test::sourceDir() + "/resources")) {
        if (entry.path().extension() != ".h") continue;
        std::ifstream in(entry.path());
        std::string line;
        while (std::getline(in, line)) {
            std::smatch m;
            if (!std::regex_search(line, m, define)) continue;
            ++checked;
            const auto [at, fresh] = names.emplace(std::stoul(m[2]), m[1]);
            EXPECT_TRUE(fresh || at->second == m[1]) << m[2] << " is both " << at->second << " and " << m[1];
            EXPECT_TRUE(strings.contains(static_cast<unsigned>(std::stoul(m[2]))))
                << m[1] << " (" << m[2] << ") missing in " << entry.path().filename();
        }
    }
    EXPECT_GT(checked, 20);
}

TEST(ResourceTable, ReadsTheTextsAsWritten)
{
    const auto& strings = test::shippedStrings();
    EXPECT_EQ(strings.load(94), "OrvoxPaper.ini");
    EXPECT_EQ(strings.load(999999), "");
    EXPECT_EQ(strings.loadTemplate(94), "OrvoxPaper.ini");
}

TEST(ResourceTable, MalformedResImagesAreRefused)
{
    const std::string path = test::resFilePath();
    ASSERT_FALSE(path.empty()) << "the build names the compiled table";
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string good = ss.str();
    ASSERT_GT(good.size(), 64u);
    platform::ResFileStrings s;
    EXPECT_TRUE(s.parse(good));
    // Every truncation either parses a prefix or is refused; none reads past the end.
    for (std::size_t n = 0; n < good.size(); n += 7) s.parse(good.substr(0, n));
    std::string huge = good;
    huge[32] = '\xff'; huge[33] = '\xff'; huge[34] = '\xff'; huge[35] = '\x7f';  // data size of entry 2
    EXPECT_FALSE(s.parse(huge));
    EXPECT_TRUE(s.all().empty());
}

} // namespace
} // namespace orvox
