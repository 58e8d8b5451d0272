#include <gtest/gtest.h>

#include "ui/portable/page_list_filter.h"

namespace orvox::ui {
namespace {

TEST(PageListFilter, AcceptsListsAndRejectsOtherCharactersAndLongNumbers)
{
    EXPECT_TRUE(passesPageListFilter("", false));
    EXPECT_TRUE(passesPageListFilter("1, 3..12, 99999", false));
    EXPECT_FALSE(passesPageListFilter("1,100000", false)) << "six digits in a row";
    EXPECT_TRUE(passesPageListFilter("12345 12345", false)) << "the run restarts after a separator";
    EXPECT_FALSE(passesPageListFilter("1,a", false));
    EXPECT_FALSE(passesPageListFilter("1-3", false));
    EXPECT_FALSE(passesPageListFilter("2^4", false));
    EXPECT_TRUE(passesPageListFilter("2^4", true));
}

} // namespace
} // namespace orvox::ui
