// Page lists rewritten for the header: runs of single pages, runs of at most 20
// range numbers, caret lists, and the cutting of long lines into segments.
#include <cctype>

#include <gtest/gtest.h>

#include "platform/posix/res_strings.h"
#include "print/page_list_expression.h"
#include "test_support.h"

namespace orvox {
namespace {

class PageListTest : public ::testing::Test {
protected:
    PageListTest()
    {
        // Short, visible stand-ins for the line templates.
        platform::MapStrings strings({{2430 + 129, "\n%%%%S %s%s"}, {2430 + 130, "\n%%%%R"}});
        templates.load(0, strings);
    }
    std::string rewrite(const std::string& list, bool carets = false, bool stepTwo = false)
    {
        std::string out;
        EXPECT_EQ(rewritePageList(normalisePageList(list), out, carets, stepTwo, templates), 0);
        return out;
    }
    CommandTemplates templates;
};

TEST_F(PageListTest, NormalisingTurnsCommasIntoBlanksAndLastIntoLastpage)
{
    EXPECT_EQ(normalisePageList("1,3 5..9 last"), "1 3 5..9 lastpage");
    EXPECT_EQ(normalisePageList("1,,,2 last,last"), "1 2 lastpage lastpage");
}

TEST_F(PageListTest, SinglePagesAndRangesBecomeSeparateLines)
{
    EXPECT_EQ(rewrite("1,3 5..9 last"), "\n%%S 1 3\n%%R 5  6  7  8  9 \n%%S lastpage ");
    EXPECT_EQ(rewrite("..4 9..3"), "\n%%R 1  2  3  4 ");
    EXPECT_EQ(rewrite("2...3 7"), "\n%%R 2  3 \n%%S 7 ");
}

TEST_F(PageListTest, LongRangesAreCutIntoRunsOfTwentyPagesEachStepping)
{
    const std::string one = rewrite("1..45");
    EXPECT_EQ(one.substr(0, one.find("\n%%R 21")),
              "\n%%R 1  2  3  4  5  6  7  8  9  10  11  12  13  14  15  16  17  18  19  20 ");
    EXPECT_NE(one.find(" 20 \n%%R 21  22 "), std::string::npos);
    EXPECT_EQ(one.substr(one.find(" 40 ")), " 40 \n%%R 41  42  43  44  45 ");
    EXPECT_EQ(rewrite("1..45", false, true),
              "\n%%R 1  3  5  7  9  11  13  15  17  19 \n%%R 21  23  25  27  29  31  33  35  37  39 "
              "\n%%R 41  43  45 ");
}

TEST_F(PageListTest, CaretsAreCollectedOnlyInCaretMode)
{
    EXPECT_EQ(rewrite("^5 7^ 2..3", true), "4 7 ");
    EXPECT_EQ(rewrite("^5 7^ 2..3"), "\n%%R 2  3 ");
}

TEST_F(PageListTest, AnOpenRangeKeepsItsMeaningAndDoesNotSwallowTheNextPage)
{
    EXPECT_EQ(rewrite("7.. 9"), "\n%%S 7..lastpage 9 ");
    EXPECT_EQ(rewrite("2..3 7.."), "\n%%R 2  3 \n%%S 7..lastpage ");
}

TEST_F(PageListTest, LinesLongerThan255AreContinuedAfterTheContinuationText)
{
    std::string pages;
    for (int p = 1000; pages.size() < 300; p += 2) pages += std::to_string(p) + " ";
    const auto segments = pageListSegments(pages, templates, "\n%%+");
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_LE(segments[0].size(), 255u);
    EXPECT_EQ(segments[0].substr(0, 9), "\n%%S 1000");
    EXPECT_EQ(segments[1].substr(0, 5), "\n%%+ ");
    EXPECT_EQ(segments[0] + segments[1].substr(4), "\n%%S " + pages);

    // Without a blank to cut at, the line is cut inside and still ends.
    const auto unbroken = pageListSegments(std::string(600, '7'), templates, "\n%%+");
    ASSERT_EQ(unbroken.size(), 3u);
    EXPECT_EQ(unbroken[0].size(), 255u);
}

TEST_F(PageListTest, ARewrittenListIsWrittenOneLinePerSegment)
{
    const std::string lines = rewrite("1 3 5..6 8");
    const auto segments = pageListSegments(lines, templates, "\n%%+");
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[0], "\n%%S 1 3");
    EXPECT_EQ(segments[1], "\n%%R 5  6 ");
    EXPECT_EQ(segments[2], "\n%%S 8 ");
    // A caret list has no line of its own yet: it becomes one.
    EXPECT_EQ(pageListSegments("4 7 ", templates, "\n%%+"), std::vector<std::string>{"\n%%S 4 7 "});
}

// The shipped templates start a run of page numbers with a blank only, so the
// largest range a valid list may name becomes one line of about seven million
// characters; it is cut in one pass (cutting it used to take hours).
TEST_F(PageListTest, TheLargestValidRangeIsCutIntoSegmentsInOnePass)
{
    CommandTemplates shipped;
    ASSERT_EQ(shipped.load(0, test::shippedStrings()), 0);
    std::string lines;
    ASSERT_EQ(rewritePageList(normalisePageList("1..999999"), lines, false, false, shipped), 0);
    const std::string continuation = "\n@PJL COMMENT +=";
    const auto segments = pageListSegments(lines, shipped, continuation);
    ASSERT_GT(segments.size(), 20000u);
    std::size_t pages = 0;
    for (std::size_t i = 0; i < segments.size(); ++i) {
        ASSERT_LE(segments[i].size(), 255u) << i;
        if (i > 0) {
            ASSERT_EQ(segments[i].compare(0, continuation.size(), continuation), 0) << i;
        }
        for (std::size_t at = segments[i].find(' '); at != std::string::npos; at = segments[i].find(' ', at + 1))
            if (at + 1 < segments[i].size() && std::isdigit(static_cast<unsigned char>(segments[i][at + 1]))) ++pages;
    }
    // Every page number is in a segment: none is lost at a cut.
    EXPECT_EQ(pages, 999999u);
    EXPECT_NE(segments.back().find("999999"), std::string::npos);
}

} // namespace
} // namespace orvox
