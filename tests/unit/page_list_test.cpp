// Page lists as the operator types them for chapters and substitutions.
#include <gtest/gtest.h>

#include "settings/page_list.h"

namespace orvox {
namespace {

int check(std::string text, bool noLast = false, bool carets = true)
{
    return validatePageList(text, noLast, carets);
}

TEST(PageList, AcceptsPagesRangesAndLast)
{
    EXPECT_EQ(check("1,3 5..9 last"), kPageListOk);
    EXPECT_EQ(check("..4, 7.."), kPageListOk);
    EXPECT_EQ(check(""), kPageListOk);
    EXPECT_EQ(check(" ,, 2 ,"), kPageListOk);
    EXPECT_EQ(check("99999"), kPageListOk);
    EXPECT_EQ(check("5...12"), kPageListOk);
    EXPECT_EQ(check("1..999999"), kPageListOk);
}

TEST(PageList, LastIsRewrittenInLowerCase)
{
    std::string text = "1, LaSt";
    EXPECT_EQ(validatePageList(text, false, true), kPageListOk);
    EXPECT_EQ(text, "1, last");
    // Where the keyword is not allowed it is not a number either.
    EXPECT_EQ(check("last", true), kPageListNotANumber);
}

TEST(PageList, NamesTheFaultOfTheFirstBadToken)
{
    EXPECT_EQ(check("0"), kPageListBadPageOrRange);
    EXPECT_EQ(check("123456"), kPageListBadPageOrRange);
    EXPECT_EQ(check("3..0"), kPageListBadPageOrRange);
    EXPECT_EQ(check("0..3"), kPageListBadPageOrRange);
    EXPECT_EQ(check("1..1234567"), kPageListBadPageOrRange);
    EXPECT_EQ(check("2x"), kPageListBadPageOrRange);
    EXPECT_EQ(check("x"), kPageListNotANumber);
    EXPECT_EQ(check("."), kPageListNotANumber);
    EXPECT_EQ(check("lst"), kPageListBadLastKeyword);
    EXPECT_EQ(check("lasts"), kPageListBadLastKeyword);
    EXPECT_EQ(check("..x"), kPageListBadOpenRange);
    EXPECT_EQ(check(".."), kPageListBadOpenRange);
    EXPECT_EQ(check("1..5."), kPageListBadOpenRange);
    EXPECT_EQ(check("2 x lst"), kPageListNotANumber);
}

TEST(PageList, CaretsMarkPagesWhereAllowed)
{
    EXPECT_EQ(check("^3 4^"), kPageListOk);
    EXPECT_EQ(check("^0"), kPageListBadCaret);
    EXPECT_EQ(check("^^3"), kPageListBadCaret);
    EXPECT_EQ(check("^3", false, false), kPageListNotANumber);
    EXPECT_EQ(check("^", false, true), kPageListNotANumber);
}

} // namespace
} // namespace orvox
