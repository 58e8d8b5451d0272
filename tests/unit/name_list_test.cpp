// The attribute name lists as their editor changes them: what an entry may be
// and how adding, renaming, removing and reordering change the list.
#include "ui/portable/name_list.h"

#include <gtest/gtest.h>

namespace orvox::ui {
namespace {

using Refusal = NameList::Refusal;
using Entries = std::vector<std::string>;

TEST(NameList, EntriesThatTheCatalogFileCouldNotKeepAreRefused)
{
    NameList colours({"White", "Blue"}, NameList::kColours);
    EXPECT_EQ(colours.check("Sky, light"), Refusal::kComma);
    EXPECT_EQ(colours.check("   "), Refusal::kEmpty);
    EXPECT_EQ(colours.check("BLUE"), Refusal::kDuplicate);
    EXPECT_EQ(colours.check(" Green "), Refusal::kNone);
    // Only weights must start with their number.
    EXPECT_EQ(colours.check("80"), Refusal::kNone);
    NameList weights({"80 g/m2"}, NameList::kWeights);
    EXPECT_EQ(weights.check("heavy"), Refusal::kNoNumber);
    EXPECT_EQ(weights.check("120 g/m2"), Refusal::kNone);
    EXPECT_EQ(NameList::clean(std::string(100, 'x')).size(), NameList::kMaxEntryLength);
}

TEST(NameList, AddRenameRemoveAndMove)
{
    NameList types({"Plain", "Bond", "Cover"}, NameList::kMediaTypes);
    int at = -1;
    EXPECT_EQ(types.add("  Gloss ", at), Refusal::kNone);
    EXPECT_EQ(at, 3);
    EXPECT_EQ(types.add("gloss", at), Refusal::kDuplicate);
    EXPECT_TRUE(types.changed());

    // A rename may change the letters of the entry's own name.
    EXPECT_EQ(types.rename(1, "BOND"), Refusal::kNone);
    EXPECT_EQ(types.rename(1, "Plain"), Refusal::kDuplicate);
    EXPECT_EQ(types.rename(7, "Other"), Refusal::kNoSelection);
    EXPECT_EQ(types.rename(2, "Cover, heavy"), Refusal::kComma);

    EXPECT_TRUE(types.move(3, -1));
    EXPECT_FALSE(types.move(0, -1));
    EXPECT_FALSE(types.move(3, 1));
    EXPECT_EQ(types.entries(), (Entries{"Plain", "BOND", "Gloss", "Cover"}));

    EXPECT_EQ(types.remove(0), Refusal::kNone);
    EXPECT_EQ(types.remove(-1), Refusal::kNoSelection);
    EXPECT_EQ(types.entries(), (Entries{"BOND", "Gloss", "Cover"}));
    EXPECT_EQ(types.find("gloss"), 1);
}

TEST(NameList, TheLastEntryStaysAndUndoneChangesAreNoChange)
{
    NameList colours({"White", "Blue"}, NameList::kColours);
    ASSERT_TRUE(colours.move(0, 1));
    EXPECT_TRUE(colours.changed());
    ASSERT_TRUE(colours.move(1, -1));
    EXPECT_FALSE(colours.changed());

    EXPECT_EQ(colours.remove(1), Refusal::kNone);
    EXPECT_EQ(colours.remove(0), Refusal::kLastEntry);
    EXPECT_EQ(colours.entries(), (Entries{"White"}));
}

} // namespace
} // namespace orvox::ui
