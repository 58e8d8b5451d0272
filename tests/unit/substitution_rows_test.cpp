#include <cctype>
#include <cstdio>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "ui/portable/substitution_rows.h"

namespace orvox::ui {
namespace {

TEST(SubstitutionRows, RowTextSplitsBackIntoPaperAndPagesAtTheFirstAndLastTab)
{
    const std::string row = substitutionRowText("Blue 120", "1,3 5..9", "Exception");
    EXPECT_EQ(row, "Blue 120\t1,3 5..9\tException");
    const auto parts = splitSubstitutionRow(row);
    EXPECT_EQ(parts.paperName, "Blue 120");
    EXPECT_EQ(parts.pageList, "1,3 5..9");

    // Kind 13 has no text: the row still ends with its second tab.
    const auto noKind = splitSubstitutionRow(substitutionRowText("Card", "4", ""));
    EXPECT_EQ(noKind.paperName, "Card");
    EXPECT_EQ(noKind.pageList, "4");

    // The blank new row has no tab: no paper to find, no pages to show.
    const auto blank = splitSubstitutionRow(" ");
    EXPECT_EQ(blank.paperName, " ");
    EXPECT_EQ(blank.pageList, "");

    const auto oneTab = splitSubstitutionRow("Card\t7");
    EXPECT_EQ(oneTab.paperName, "Card");
    EXPECT_EQ(oneTab.pageList, "7");
}

TEST(SubstitutionRows, ButtonsFollowTheCountTheSelectionAndTheBlankRow)
{
    // Only the blank row: nothing to delete or move; no selection becomes row 0.
    auto b = substitutionButtons(1, -1, false, true);
    EXPECT_EQ(b.selection, 0);
    EXPECT_FALSE(b.remove);
    EXPECT_FALSE(b.moveUp);
    EXPECT_FALSE(b.moveDown);
    EXPECT_FALSE(b.modify);
    // Typing on the blank row offers modify, which adds there.
    EXPECT_TRUE(substitutionButtons(1, 0, true, false).modify);
    EXPECT_FALSE(substitutionButtons(1, 0, true, true).modify) << "no page list, nothing to store";
    EXPECT_FALSE(substitutionButtons(3, 0, false, false).modify) << "nothing changed";

    // One real row: it can be deleted but has no neighbour to swap with.
    b = substitutionButtons(2, 0, false, false);
    EXPECT_TRUE(b.remove);
    EXPECT_FALSE(b.moveUp);
    EXPECT_FALSE(b.moveDown);

    // Three real rows and the blank row.
    b = substitutionButtons(4, 0, false, false);
    EXPECT_FALSE(b.moveUp) << "the first row cannot move up";
    EXPECT_TRUE(b.moveDown);
    b = substitutionButtons(4, 1, false, false);
    EXPECT_TRUE(b.moveUp);
    EXPECT_TRUE(b.moveDown);
    b = substitutionButtons(4, 2, false, false);
    EXPECT_TRUE(b.moveUp);
    EXPECT_FALSE(b.moveDown) << "the blank row stays last";
    b = substitutionButtons(4, 3, false, false);
    EXPECT_FALSE(b.remove) << "the blank row is not a substitution";
    EXPECT_FALSE(b.moveUp);
    EXPECT_FALSE(b.moveDown);
    EXPECT_EQ(b.selection, 3);
}

TEST(SubstitutionRows, KindDecidesWhatTheEditAreaOffers)
{
    for (int kind : {0, 1, 2}) {
        const auto area = substitutionEditArea(kind);
        EXPECT_TRUE(area.pageListEnabled) << kind;
        EXPECT_TRUE(area.paperEnabled) << kind;
        EXPECT_FALSE(area.paperIsBodySlot) << kind;
    }
    for (int kind : {3, 5, 9, 11, 12, 13}) {
        const auto area = substitutionEditArea(kind);
        EXPECT_FALSE(area.pageListEnabled) << kind;
        EXPECT_TRUE(area.paperEnabled) << kind;
    }
    const auto body = substitutionEditArea(10);
    EXPECT_TRUE(body.pageListEnabled);
    EXPECT_FALSE(body.paperEnabled);
    EXPECT_TRUE(body.paperIsBodySlot);
}

TEST(SubstitutionEditState, TypingFilterKeepsThePreviousTextAndThePendingState)
{
    SubstitutionEditState state;
    EXPECT_TRUE(state.acceptTyping("1"));
    state.pageListChanged("1");
    EXPECT_TRUE(state.dirty());
    EXPECT_TRUE(state.acceptTyping("1-3") == false) << "a hyphen is no page-list character";
    EXPECT_EQ(state.previousText(), "1");
    EXPECT_TRUE(state.dirty()) << "the rejected key leaves the typed 1 pending";
    EXPECT_TRUE(state.acceptTyping("1..3 ^5"));
    EXPECT_EQ(state.previousText(), "1..3 ^5") << "carets are typed on this page";
    EXPECT_FALSE(state.acceptTyping("1..3 ^523456"));

    // Emptied by the operator: nothing pending, and the empty text is what a
    // refused key brings back.
    EXPECT_TRUE(state.acceptTyping(""));
    state.pageListChanged("");
    EXPECT_FALSE(state.dirty());
    EXPECT_FALSE(state.acceptTyping("x"));
    EXPECT_EQ(state.previousText(), "");
}

TEST(SubstitutionEditState, ThePagesOwnWritesNeverCountAsTyping)
{
    SubstitutionEditState state;
    state.setProgrammatic(true);
    // A stored list may hold what cannot be typed; it is shown as stored.
    EXPECT_TRUE(state.acceptTyping("1 last"));
    state.pageListChanged("1 last");
    EXPECT_FALSE(state.dirty());
    state.setProgrammatic(false);
    EXPECT_EQ(state.previousText(), "1 last");

    state.paperChosen();
    EXPECT_TRUE(state.dirty());
    state.clear();
    EXPECT_FALSE(state.dirty());
}

class SubstitutionDocumentRows : public test::DocumentTest {};

TEST_F(SubstitutionDocumentRows, RowsShowTheCatalogNameThePagesAndTheKindText)
{
    ASSERT_TRUE(doc().addSubstitution(3, 0, "1 3"));
    ASSERT_TRUE(doc().addSubstitution(4, 10, "7..9"));
    ASSERT_TRUE(doc().addSubstitution(2, 13, "^2"));
    const auto& s = test::shippedStrings();
    EXPECT_EQ(substitutionRowText(doc(), 0), "Paper 3\t1 3\t" + s.load(166));
    EXPECT_EQ(substitutionRowText(doc(), 1), "Paper 4\t7..9\t" + s.load(176));
    EXPECT_EQ(substitutionRowText(doc(), 2), "Paper 2\t^2\t") << "kind 13 has no text";
    EXPECT_FALSE(s.load(166).empty());
    EXPECT_NE(s.load(166), s.load(178));

    // A record naming a paper past the catalog keeps the name it was saved with.
    std::vector<PaperSubstitution> list = doc().substitutions();
    std::snprintf(list[0].paperName, sizeof list[0].paperName, "%s", "Old card");
    list[0].paperIndex = 99;
    doc().replaceSubstitutions(list);
    EXPECT_EQ(splitSubstitutionRow(substitutionRowText(doc(), 0)).paperName, "Old card");
}

TEST_F(SubstitutionDocumentRows, AttributesComeFromTheCatalogWithTheOneSidedTextReplaced)
{
    // Entry 4 of the test catalog is one-sided with size code 0 (no size),
    // entry 3 two-sided with size code 2 (the second size).
    const std::string oneSided = test::shippedStrings().load(418);
    const std::string shown = test::shippedStrings().load(419);
    ASSERT_EQ(oneSided, test::shippedStrings().load(361)) << "the catalog's one-sided text is the one replaced";

    auto attributes = paperAttributeTexts(doc(), 3, oneSided, shown);
    ASSERT_TRUE(attributes);
    EXPECT_EQ((*attributes)[0], "A3");
    EXPECT_EQ((*attributes)[1], "Blue");
    EXPECT_EQ((*attributes)[2], "120 g");
    EXPECT_EQ((*attributes)[3], "Plain");
    EXPECT_EQ((*attributes)[4], test::shippedStrings().load(362));

    attributes = paperAttributeTexts(doc(), 4, oneSided, shown);
    ASSERT_TRUE(attributes);
    EXPECT_EQ((*attributes)[0], "") << "size code 0 names no size";
    EXPECT_EQ((*attributes)[4], shown);
    // The comparison ignores case.
    std::string upper = oneSided;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ((*paperAttributeTexts(doc(), 4, upper, shown))[4], shown);

    EXPECT_FALSE(paperAttributeTexts(doc(), 0, oneSided, shown));
    EXPECT_FALSE(paperAttributeTexts(doc(), doc().paperCount() + 1, oneSided, shown));
}

} // namespace
} // namespace orvox::ui
