// The catalog editor's working copy: which papers may be added, renamed and
// deleted, the buttons that follow, and how the job's paper references follow
// their papers when the edit is put into the document.
#include "ui/portable/catalog_editor_model.h"

#include <gtest/gtest.h>

#include "document_fixture.h"

namespace orvox::test {
namespace {

using ui::CatalogEditorModel;
using Refusal = CatalogEditorModel::Refusal;

PaperDefinition paper(const std::string& name, const std::string& weight = "80 g", std::int16_t flag = 0)
{
    return {name, 2, "White", weight, "Plain", flag};
}

// The fixture's catalog: slot "Body", then "Paper 2" .. "Paper 6"; the body paper is "Paper 2".
class CatalogEditorModelTest : public DocumentTest {
protected:
    CatalogEditorModel open() { return CatalogEditorModel(doc()); }
    // A front cover of paper `index` (stored as catalog index minus 1); the job
    // counts it as used while it does not print by substitutions instead.
    void useFrontCover(int index)
    {
        doc().setSubstitutionsActive(0);
        doc().setFrontCover(1);
        doc().setFrontCoverPaper(static_cast<std::int16_t>(index - 1));
    }
};

TEST(CatalogEditorRules, TypedNamesLoseCommasAndBlanksAndAreCutToSixteen)
{
    EXPECT_EQ(ui::cleanPaperName("A4, Plain"), "A4 Plain");
    EXPECT_EQ(ui::cleanPaperName("  Cover  "), "Cover");
    EXPECT_EQ(ui::cleanPaperName(",,,"), "");
    EXPECT_EQ(ui::cleanPaperName("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), "ABCDEFGHIJKLMNOP");
    // A blank at the cut is not kept either: the file would lose it.
    EXPECT_EQ(ui::cleanPaperName("ABCDEFGHIJKLMNO QRS"), "ABCDEFGHIJKLMNO");
}

TEST(CatalogEditorRules, HeavyWeightsSuggestOneSided)
{
    EXPECT_TRUE(ui::weightSuggestsOneSided("120 g/m2"));
    EXPECT_TRUE(ui::weightSuggestsOneSided("106"));
    EXPECT_FALSE(ui::weightSuggestsOneSided("105 g/m2"));
    EXPECT_FALSE(ui::weightSuggestsOneSided("90 g/m2"));
    EXPECT_FALSE(ui::weightSuggestsOneSided("heavy 300"));
    EXPECT_FALSE(ui::weightSuggestsOneSided(""));
    EXPECT_TRUE(ui::weightSuggestsOneSided("99999999999999999999999 g"));
    // Only the number before the first blank counts.
    EXPECT_FALSE(ui::weightSuggestsOneSided("20 lb 130 g"));
}

TEST_F(CatalogEditorModelTest, RowsAreThePapersAfterTheBodySlot)
{
    const CatalogEditorModel model = open();
    ASSERT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.row(0).name, "Paper 2");
    EXPECT_EQ(model.row(4).name, "Paper 6");
    EXPECT_EQ(model.row(5), PaperDefinition{});
    EXPECT_EQ(model.findRow("PAPER 4"), 2);
    EXPECT_EQ(model.findRow("Body"), -1);
    EXPECT_TRUE(model.isSlotName("body"));
    EXPECT_EQ(model.bodyRow(), 0);
    EXPECT_FALSE(model.modified());
}

TEST_F(CatalogEditorModelTest, AddingRefusesNamesTakenByAPaperOrTheSlot)
{
    CatalogEditorModel model = open();
    Refusal why = Refusal::kNone;
    EXPECT_EQ(model.addRow(paper("paper 3"), &why), -1);
    EXPECT_EQ(why, Refusal::kNameTaken);
    EXPECT_EQ(model.addRow(paper("BODY"), &why), -1);
    EXPECT_EQ(why, Refusal::kNameTaken);
    EXPECT_EQ(model.addRow(paper(""), &why), -1);
    EXPECT_EQ(why, Refusal::kEmptyName);
    EXPECT_FALSE(model.modified());

    EXPECT_EQ(model.addRow(paper("Gloss 200", "200 g", 1), &why), 5);
    EXPECT_EQ(why, Refusal::kNone);
    EXPECT_EQ(model.row(5).name, "Gloss 200");
    EXPECT_TRUE(model.modified());
    // The document is untouched until the edit is applied.
    EXPECT_EQ(doc().paperCount(), 6);
}

TEST_F(CatalogEditorModelTest, ModifyRefusesEmptyAndTakenNamesAndAsksBeforeRenamingAPaperInUse)
{
    useFrontCover(5);
    CatalogEditorModel model = open();
    EXPECT_EQ(model.modifyRow(-1, paper("X")), Refusal::kNoRow);
    EXPECT_EQ(model.modifyRow(1, paper("")), Refusal::kEmptyName);
    EXPECT_EQ(model.modifyRow(1, paper("PAPER 4")), Refusal::kNameTaken);
    EXPECT_EQ(model.modifyRow(1, paper("body")), Refusal::kNameTaken);
    EXPECT_FALSE(model.modified());
    // The same name in other letters is the row's own.
    EXPECT_EQ(model.modifyRow(1, paper("PAPER 3", "100 g")), Refusal::kNone);
    EXPECT_EQ(model.row(1).name, "PAPER 3");
    EXPECT_TRUE(model.modified());

    // "Paper 5" is the front cover, "Paper 2" the body paper: both are used.
    EXPECT_TRUE(model.renameNeedsConsent(3, "Cover 5"));
    EXPECT_TRUE(model.renameNeedsConsent(0, "Main"));
    EXPECT_FALSE(model.renameNeedsConsent(3, "Paper 5"));
    EXPECT_FALSE(model.renameNeedsConsent(2, "Other"));
}

TEST_F(CatalogEditorModelTest, DeletingRefusesTheBodyPaperAndPapersInUse)
{
    useFrontCover(5);
    ASSERT_TRUE(doc().addSubstitution(6, 0, "3-4"));
    CatalogEditorModel model = open();
    EXPECT_EQ(model.deleteRow(-1), Refusal::kNoRow);
    EXPECT_EQ(model.deleteRow(0), Refusal::kBodyPaper);
    EXPECT_EQ(model.deleteRow(3), Refusal::kInUse);  // front cover
    EXPECT_EQ(model.deleteRow(4), Refusal::kInUse);  // substituted pages
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_FALSE(model.modified());

    EXPECT_EQ(model.deleteRow(1), Refusal::kNone);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.row(1).name, "Paper 4");
    EXPECT_TRUE(model.modified());
}

TEST_F(CatalogEditorModelTest, ButtonsFollowTheSelectionTheNameAndPendingEdits)
{
    CatalogEditorModel model = open();
    ui::CatalogButtons b = model.buttons(0, false, false);
    EXPECT_TRUE(b.add);
    EXPECT_FALSE(b.modify);
    EXPECT_FALSE(b.remove);  // the body paper
    EXPECT_FALSE(b.moveUp);
    EXPECT_TRUE(b.moveDown);

    b = model.buttons(4, false, true);
    EXPECT_TRUE(b.modify);
    EXPECT_TRUE(b.remove);
    EXPECT_TRUE(b.moveUp);
    EXPECT_FALSE(b.moveDown);

    b = model.buttons(2, true, true);
    EXPECT_FALSE(b.add);
    EXPECT_FALSE(b.modify);

    b = model.buttons(-1, false, false);
    EXPECT_FALSE(b.remove || b.moveUp || b.moveDown);

    // A single row moves nowhere.
    for (int r = 4; r >= 1; --r) ASSERT_EQ(model.deleteRow(r), Refusal::kNone);
    b = model.buttons(0, false, false);
    EXPECT_FALSE(b.moveUp || b.moveDown);
}

TEST_F(CatalogEditorModelTest, MovingSwapsNeighboursOnly)
{
    CatalogEditorModel model = open();
    EXPECT_FALSE(model.moveRow(0, -1));
    EXPECT_FALSE(model.moveRow(4, 1));
    EXPECT_FALSE(model.moveRow(1, 2));
    EXPECT_FALSE(model.modified());
    ASSERT_TRUE(model.moveRow(1, 1));
    EXPECT_EQ(model.row(1).name, "Paper 4");
    EXPECT_EQ(model.row(2).name, "Paper 3");
    EXPECT_TRUE(model.modified());
}

TEST_F(CatalogEditorModelTest, AppliedEditsKeepEveryReferenceOnItsPaper)
{
    useFrontCover(5);
    doc().setBackCoverPaper(5);       // Paper 6
    doc().setHeaderPagePaper(2);      // Paper 3, deleted below
    doc().setSeparatorPaper(0);       // the body paper
    ASSERT_TRUE(doc().addSubstitution(4, 0, "2"));
    doc().markModified(false);

    CatalogEditorModel model = open();
    ASSERT_EQ(model.deleteRow(1), Refusal::kNone);               // Paper 3
    ASSERT_EQ(model.modifyRow(0, paper("Main", "120 g", 1)), Refusal::kNone);  // the body paper
    ASSERT_TRUE(model.moveRow(0, 1));                            // Main after Paper 4
    ASSERT_GE(model.addRow(paper("New")), 0);
    model.applyTo(doc());

    const JobDocument& d = doc();
    ASSERT_EQ(d.paperCount(), 6);
    EXPECT_EQ(d.paperName(2), "Paper 4");
    EXPECT_EQ(d.paperName(3), "Main");
    EXPECT_EQ(d.paperName(6), "New");
    EXPECT_EQ(d.paperName(d.bodyPaper()), "Main");
    EXPECT_EQ(d.bodyPaperName(), "Main");
    // The slot carries the body paper's new attributes, under its own name.
    EXPECT_EQ(d.catalog().paper(1), (PaperDefinition{"Body", 2, "White", "120 g", "Plain", 1}));
    EXPECT_EQ(d.paperName(d.frontCoverPaper() + 1), "Paper 5");
    EXPECT_EQ(d.paperName(d.backCoverPaper() + 1), "Paper 6");
    EXPECT_EQ(d.headerPagePaper(), 0);  // its paper is gone: the body paper
    EXPECT_EQ(d.separatorPaper(), 0);
    ASSERT_EQ(d.substitutionCount(), 1);
    EXPECT_EQ(d.paperName(d.substitution(0).paperIndex), "Paper 4");
    EXPECT_TRUE(d.isModified());
}

TEST_F(CatalogEditorModelTest, ChangedListsAreAppliedAndMarkTheEdit)
{
    CatalogEditorModel model = open();
    model.setList(PaperCatalog::kColors, model.list(PaperCatalog::kColors));
    EXPECT_FALSE(model.modified());
    model.setList(PaperCatalog::kColors, {"White", "Sky"});
    model.setList(PaperCatalog::kSizes, {"ignored"});
    EXPECT_TRUE(model.modified());
    model.applyTo(doc());
    EXPECT_EQ(doc().catalog().vocabulary(PaperCatalog::kColors), (std::vector<std::string>{"White", "Sky"}));
    EXPECT_EQ(doc().catalog().vocabulary(PaperCatalog::kSizes), (std::vector<std::string>{"A4", "A3", "Letter"}));
}

TEST_F(CatalogEditorModelTest, DuplicateAndEmptyNamesOfAHandEditedCatalogAreSeen)
{
    CatalogEditorModel clean = open();
    EXPECT_FALSE(clean.hasDuplicateNames());
    EXPECT_FALSE(clean.hasEmptyName());
    // Two papers that differ only in letter case.
    doc().catalog().replacePaper(4, paper("paper 3"));
    EXPECT_TRUE(open().hasDuplicateNames());
    doc().catalog().replacePaper(4, paper(""));
    EXPECT_TRUE(open().hasEmptyName());
}

} // namespace
} // namespace orvox::test
