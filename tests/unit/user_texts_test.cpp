// Texts the operator reads must say what the code does, in one spelling.
#include <cctype>
#include <regex>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "ids_catalog.h"
#include "ids_settings.h"
#include "settings/job_document.h"
#include "test_support.h"

namespace orvox {
namespace {

// The characters the invalid-name message names between "characters" and the
// next comma that ends the list.
std::set<char> namedCharacters(const std::string& text)
{
    std::set<char> named;
    const std::size_t list = text.find("characters ");
    if (list == std::string::npos) return named;
    for (std::size_t i = list + 11; i < text.size(); ++i) {
        // The list is single characters separated by blanks; a comma after a blank is one of them.
        if (text[i] == ',' && i + 1 < text.size() && text[i + 1] == ' ' && text[i - 1] != ' ') break;
        if (text[i] != ' ') named.insert(text[i]);
    }
    return named;
}

TEST(UserTexts, TheInvalidNameMessageNamesExactlyTheRefusedCharacters)
{
    const std::string tail = test::shippedStrings().load(IDS_INVALID_FILE_NAME_TAIL);
    ASSERT_FALSE(tail.empty());
    const std::set<char> named = namedCharacters(tail);
    ASSERT_FALSE(named.empty()) << tail;
    for (int c = 0x21; c < 0x7F; ++c) {
        const char ch = static_cast<char>(c);
        if (ch == ':') continue;  // allowed after a drive letter; the text says so separately
        const bool refused = !JobDocument::isValidFileName(std::string("job") + ch + "1.ovx");
        EXPECT_EQ(refused, named.count(ch) == 1) << "'" << ch << "' in: " << tail;
    }
    EXPECT_FALSE(JobDocument::isValidFileName("job\t1.ovx"));
    EXPECT_NE(tail.find("tab"), std::string::npos);
    EXPECT_FALSE(JobDocument::isValidFileName("jo:b.ovx"));
    EXPECT_TRUE(JobDocument::isValidFileName("c:job.ovx"));
    EXPECT_NE(tail.find("colon"), std::string::npos);
    EXPECT_FALSE(JobDocument::isValidFileName(std::string(261, 'j') + ".ovx"));
    EXPECT_NE(tail.find("260"), std::string::npos);
}

TEST(UserTexts, ColourIsSpeltOneWay)
{
    // Names of file sections and values that stored catalogs and printers know keep their spelling.
    const std::set<unsigned> keptAsStored = {IDS_CATALOG_COLOR_SECTION, IDS_CATALOG_DEFAULT_COLOR};
    const std::regex american(R"(\bcolor)", std::regex::icase);
    int checked = 0;
    for (const auto& [id, text] : test::shippedStrings().all()) {
        // Printer command and PDF templates are printer language, not prose.
        if (text.find('%') != std::string::npos || keptAsStored.count(id)) continue;
        ++checked;
        EXPECT_FALSE(std::regex_search(text, american)) << id << ": " << text;
    }
    EXPECT_GT(checked, 100);
}

} // namespace
} // namespace orvox
