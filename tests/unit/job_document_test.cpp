// The document's rules: what a reset gives, when the document counts as
// modified, how paper references follow the catalog, and the substitution list.
#include <gtest/gtest.h>

#include "document_fixture.h"

namespace orvox {
namespace {

using test::DocumentTest;

TEST_F(DocumentTest, StartsOnTheCatalogsBodyPaperUnmodified)
{
    EXPECT_EQ(doc().paperCount(), 6);
    EXPECT_EQ(doc().bodyPaper(), 2);
    EXPECT_EQ(doc().bodyPaperName(), "Paper 2");
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(JobDocument::instance(), &doc());
}

TEST_F(DocumentTest, ResetDependsOnThePrinterModel)
{
    doc().addSubstitution(3, 0, "1..2");
    doc().setBodyPaper(4);
    doc().markModified(false);
    doc().record().reserved2402 = 7;
    ASSERT_TRUE(doc().resetToDefaults(true));
    EXPECT_EQ(doc().bodyPaper(), 2);
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(doc().documentExit(), stored(DocumentExit::Stacker));
    EXPECT_EQ(doc().maxSignatureSize(), 88);
    EXPECT_EQ(doc().settings().reserved2402, 7);
    EXPECT_EQ(doc().substitutionCount(), 0);

    doc().setPrinterModel(1);
    doc().setModifyPrintFile(stored(ModifyPrintFile::No));
    doc().setFreeformColorAtLoad(0);
    doc().addSubstitution(3, 0, "1..2");
    ASSERT_TRUE(doc().resetToDefaults(false));
    EXPECT_EQ(doc().modifyPrintFile(), stored(ModifyPrintFile::No));
    EXPECT_EQ(doc().documentExit(), stored(DocumentExit::Finisher));
    EXPECT_EQ(doc().maxSignatureSize(), 60);
    EXPECT_EQ(doc().settings().reserved2402, 0);
    EXPECT_EQ(doc().substitutionCount(), 1);
    EXPECT_EQ(doc().freeformColorAtLoad(), 1);

    ASSERT_TRUE(doc().resetToDefaults(true));
    EXPECT_EQ(doc().printerModel(), 0);
}

TEST_F(DocumentTest, ResetFailsWithoutACatalog)
{
    std::remove(dir.file(catalogName()).c_str());
    EXPECT_FALSE(doc().resetToDefaults(true));
    EXPECT_EQ(doc().paperCount(), 0);
    EXPECT_FALSE(doc().isBodyPaperOneSided());
    // Once the file is there, the next reset reads it.
    test::writeCatalogFile(dir.file(catalogName()), 3);
    EXPECT_TRUE(doc().resetToDefaults(true));
    EXPECT_EQ(doc().paperCount(), 3);
}

TEST_F(DocumentTest, OnlyRealChangesMarkTheDocument)
{
    doc().setCollate(1);
    doc().setOperatorMessage("");
    EXPECT_FALSE(doc().isModified());
    EXPECT_TRUE(listener.calls.empty());

    doc().setCollate(0);
    EXPECT_TRUE(doc().isModified());
    ASSERT_EQ(listener.calls.size(), 1u);
    EXPECT_EQ(listener.calls[0].title, test::shippedStrings().load(IDS_UNTITLED));
    EXPECT_EQ(listener.calls[0].caption, "Orvox Test");
    EXPECT_TRUE(listener.calls[0].modified);
    doc().setCopyCount(4);
    EXPECT_EQ(listener.calls.size(), 1u) << "the state did not change again";

    doc().markModified(false);
    doc().setLoading(true);
    doc().setPrintingMode(stored(PrintingMode::Pamphlets));
    doc().setColorMapping(2, 4);
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(doc().printingMode(), 5);
    EXPECT_EQ(doc().colorMapping(2), 4);
}

TEST_F(DocumentTest, TextsAreCutToTheirFields)
{
    doc().setOperatorMessage(std::string(300, 'm'));
    EXPECT_EQ(doc().operatorMessage(), std::string(255, 'm'));
    EXPECT_EQ(doc().settings().deliverTo[0], '\0') << "the next field is untouched";
    doc().markModified(false);
    doc().setOperatorMessage(std::string(270, 'm'));
    EXPECT_FALSE(doc().isModified()) << "the same text once cut";

    doc().setChapterPages(std::string(2000, '1'));
    EXPECT_EQ(doc().chapterPages().size(), 1027u);
}

class SmallCatalogTest : public DocumentTest {
protected:
    SmallCatalogTest() : DocumentTest(5) {}
};

TEST_F(SmallCatalogTest, BodyPaperIsClampedToTheRealPapers)
{
    doc().setBodyPaper(4);
    EXPECT_EQ(doc().bodyPaper(), 4);
    EXPECT_TRUE(doc().isBodyPaperOneSided());
    EXPECT_EQ(doc().catalog().paper(1).name, "Body");
    EXPECT_EQ(doc().catalog().paper(1).sizeCode, doc().catalog().paper(4).sizeCode);

    doc().setBodyPaper(1);
    EXPECT_EQ(doc().bodyPaper(), 2);
    EXPECT_FALSE(doc().isBodyPaperOneSided());
    doc().setBodyPaper(9);
    EXPECT_EQ(doc().bodyPaper(), 5);
    EXPECT_EQ(doc().bodyPaperName(), "Paper 5");
    EXPECT_TRUE(doc().isModified());
}

class OnePaperTest : public DocumentTest {
protected:
    OnePaperTest() : DocumentTest(1) {}
};

TEST_F(OnePaperTest, BodyPaperStaysWithoutRealPapers)
{
    const auto before = doc().bodyPaper();
    doc().setBodyPaper(3);
    EXPECT_EQ(doc().bodyPaper(), before);
    EXPECT_FALSE(doc().isModified());
}

TEST_F(DocumentTest, OneSidedFlagsFollowThePaperReferences)
{
    EXPECT_TRUE(doc().isPaperOneSided(3));   // stored 3 designates entry 4
    EXPECT_FALSE(doc().isPaperOneSided(2));
    EXPECT_FALSE(doc().isPaperOneSided(-1)); // body paper 2
    doc().setBodyPaper(4);
    EXPECT_TRUE(doc().isPaperOneSided(-1));
    EXPECT_FALSE(doc().isPaperOneSided(99));
    EXPECT_FALSE(doc().isPaperOneSided(-5));
}

TEST_F(DocumentTest, DeletingAPaperKeepsTheReferencesOnTheirPapers)
{
    doc().setBodyPaper(5);
    doc().setFrontCoverPaper(3);  // entry 4
    doc().setStatusPagePaper(4);  // entry 5, not renumbered
    doc().addSubstitution(3, 0, "1");
    doc().addSubstitution(6, 0, "2");
    doc().addSubstitution(2, 0, "3");
    doc().markModified(false);

    EXPECT_FALSE(doc().deletePaper("Paper 9"));
    EXPECT_FALSE(doc().deletePaper("body")) << "the body-paper slot stays";
    ASSERT_TRUE(doc().deletePaper("PAPER 3"));
    EXPECT_TRUE(doc().isModified());
    EXPECT_EQ(doc().paperCount(), 5);
    EXPECT_EQ(doc().bodyPaper(), 4);
    EXPECT_EQ(doc().bodyPaperName(), "Paper 5");
    EXPECT_EQ(doc().paperName(doc().frontCoverPaper() + 1), "Paper 4");
    EXPECT_EQ(doc().statusPagePaper(), 4);
    EXPECT_EQ(doc().substitution(0).paperIndex, 3);
    EXPECT_EQ(doc().paperName(doc().substitution(1).paperIndex), "Paper 6");
    EXPECT_EQ(doc().substitution(2).paperIndex, 2);
}

TEST_F(DocumentTest, SubstitutionListOperations)
{
    EXPECT_TRUE(doc().addSubstitution(3, 0, "1..4"));
    EXPECT_TRUE(doc().addSubstitution(4, 6, "7"));
    EXPECT_TRUE(doc().addSubstitution(5, 11, "9"));
    EXPECT_TRUE(doc().isModified());
    EXPECT_STREQ(doc().substitution(0).pageList, "1..4");
    EXPECT_EQ(doc().substitution(0).paperName[0], '\0');

    doc().markModified(false);
    EXPECT_TRUE(doc().setSubstitutionPages(0, "1..4"));
    EXPECT_FALSE(doc().isModified());
    EXPECT_TRUE(doc().setSubstitutionPages(1, "LAST"));
    EXPECT_TRUE(doc().setSubstitutionPages(1, "last"));
    EXPECT_STREQ(doc().substitution(1).pageList, "LAST") << "a change of case only is no change";
    EXPECT_TRUE(doc().setSubstitutionPaper(2, 6));
    EXPECT_EQ(doc().substitution(2).paperIndex, 6);
    EXPECT_FALSE(doc().setSubstitutionPaper(3, 6));

    EXPECT_EQ(doc().substitutionKindMask(), 90 | 384);
    EXPECT_EQ(doc().substitutionKindMask(1), 384);
    EXPECT_EQ(doc().substitutionKind(2), 11);
    EXPECT_EQ(doc().substitutionKind(3), 0);

    EXPECT_FALSE(doc().moveSubstitutionUp(1));
    EXPECT_FALSE(doc().moveSubstitutionUp(4));
    EXPECT_TRUE(doc().moveSubstitutionUp(3));
    EXPECT_EQ(doc().substitutionKind(1), 11);
    EXPECT_TRUE(doc().moveSubstitutionDown(1));
    EXPECT_EQ(doc().substitutionKind(0), 11);
    EXPECT_TRUE(doc().moveSubstitutionDown(3));
    EXPECT_EQ(doc().substitutionKind(2), 6) << "the last record stays last";
    EXPECT_FALSE(doc().moveSubstitutionDown(4));

    EXPECT_FALSE(doc().removeSubstitution(3));
    EXPECT_FALSE(doc().removeSubstitution(-1));
    EXPECT_TRUE(doc().removeSubstitution(0));
    EXPECT_EQ(doc().substitutionCount(), 2);
    EXPECT_EQ(doc().substitution(5).paperIndex, 0);
}

TEST_F(DocumentTest, NoMoreSubstitutionsThanAFileCanCarry)
{
    for (int i = 0; i < kMaxSubstitutions; ++i) ASSERT_TRUE(doc().addSubstitution(2, 0, "1"));
    EXPECT_FALSE(doc().addSubstitution(2, 0, "1"));
    EXPECT_EQ(doc().substitutionCount(), kMaxSubstitutions);
}

TEST_F(DocumentTest, PapersInUse)
{
    EXPECT_TRUE(doc().isPaperUsed("paper 2"));
    EXPECT_FALSE(doc().isPaperUsed("Paper 3"));
    EXPECT_FALSE(doc().isPaperUsed(""));
    doc().setFrontCover(stored(CoverMode::PrintBothSides));
    doc().setFrontCoverPaper(2);
    EXPECT_FALSE(doc().isPaperUsed("Paper 3")) << "the front cover counts in pamphlet jobs only";
    doc().setSubstitutionsActive(0);
    EXPECT_TRUE(doc().isPaperUsed("Paper 3"));
    doc().addSubstitution(5, 0, "2");
    EXPECT_TRUE(doc().isPaperUsed("Paper 5"));
}

TEST_F(DocumentTest, FivePapersAreTooMany)
{
    doc().addSubstitution(3, 0, "1");
    doc().addSubstitution(4, 0, "2");
    doc().addSubstitution(3, 0, "3");
    doc().addSubstitution(40, 0, "4");  // beyond the catalog: counts as the last entry
    EXPECT_FALSE(doc().tooManyPapers());
    doc().addSubstitution(6, 0, "5");
    EXPECT_FALSE(doc().tooManyPapers()) << "entry 6 was already counted for index 40";
    doc().addSubstitution(5, 0, "6");
    EXPECT_TRUE(doc().tooManyPapers());

    // In pamphlet jobs only the body and the front cover count.
    doc().setSubstitutionsActive(0);
    EXPECT_FALSE(doc().tooManyPapers());
}

TEST_F(DocumentTest, TabsAndControlsFollowModelAndMode)
{
    // Without a user interface the rules still answer.
    EXPECT_TRUE(doc().updateSubstitutionsTab());
    doc().setUiState(&ui);
    auto substitutionsTab = [&](int mode, int modify, int model) {
        doc().setPrintingMode(static_cast<std::int16_t>(mode));
        doc().setModifyPrintFile(static_cast<std::int16_t>(modify));
        doc().setPrinterModel(static_cast<std::int16_t>(model));
        doc().updateSubstitutionsTab();
        return ui.tabs.at(platform::kTabPaperSubstitutions);
    };
    EXPECT_TRUE(substitutionsTab(2, 0, 1));
    EXPECT_FALSE(substitutionsTab(3, 0, 0));
    EXPECT_FALSE(substitutionsTab(1, 2, 0));
    EXPECT_TRUE(substitutionsTab(5, 2, 0));
    EXPECT_FALSE(substitutionsTab(5, 0, 1));

    // Model 1, modify Yes: colour mapping depends on the colour state at load.
    doc().updateColourMappingTab();
    EXPECT_TRUE(ui.tabs.at(platform::kTabColourMapping));
    EXPECT_TRUE(doc().enableForOtherModels(1234));
    EXPECT_TRUE(ui.controls.at(1234));
    doc().setFreeformColorAtLoad(0);
    doc().updateColourMappingTab();
    EXPECT_FALSE(ui.tabs.at(platform::kTabColourMapping));
    doc().setPrinterModel(0);
    EXPECT_FALSE(doc().enableForOtherModels(1234));
    EXPECT_FALSE(ui.controls.at(1234));
}

TEST_F(DocumentTest, ModelChangeDefaults)
{
    doc().setPrinterModel(1);
    doc().record().reserved1074 = 1;
    doc().setCollate(0);
    doc().setPrintPageRange(1);
    doc().setPrintAllPages(0);
    doc().setPageRangeFrom(3);
    doc().setPageRangeTo(9);
    doc().setPrinterLanguage(stored(PrinterLanguage::PDF));
    ASSERT_TRUE(doc().applyModelDefaults());
    EXPECT_EQ(doc().settings().reserved1074, 0);
    EXPECT_EQ(doc().collate(), 1);
    EXPECT_EQ(doc().documentExit(), stored(DocumentExit::Finisher));
    EXPECT_EQ(doc().maxSignatureSize(), 60);
    EXPECT_EQ(doc().printAllPages(), 1);
    EXPECT_EQ(doc().printPageRange(), 0);
    EXPECT_EQ(doc().pageRangeFrom(), 0);
    EXPECT_EQ(doc().pageRangeTo(), 0);
    EXPECT_EQ(doc().printerLanguage(), 0);
}

TEST_F(DocumentTest, CaretsAreRefusedInPamphletJobsOnTheFirstModel)
{
    std::string text = "^3";
    EXPECT_EQ(doc().validatePageList(text, false), 0);
    doc().setPrintingMode(stored(PrintingMode::Pamphlets));
    EXPECT_EQ(doc().validatePageList(text, false), 4);
    doc().setPrinterModel(1);
    EXPECT_EQ(doc().validatePageList(text, false), 0);
}

TEST(DocumentFileName, RefusesCharactersAndLongComponents)
{
    EXPECT_TRUE(JobDocument::isValidFileName("C:\\jobs\\report.ovx"));
    EXPECT_FALSE(JobDocument::isValidFileName("C:\\jobs\\a:b.ovx"));
    EXPECT_FALSE(JobDocument::isValidFileName("a*b.ovx"));
    EXPECT_FALSE(JobDocument::isValidFileName("a|b"));
    EXPECT_FALSE(JobDocument::isValidFileName("a\tb"));
    EXPECT_TRUE(JobDocument::isValidFileName("C:\\" + std::string(260, 'n') + ".ovx"));
    EXPECT_FALSE(JobDocument::isValidFileName("C:\\" + std::string(261, 'n') + ".ovx"));
}

TEST_F(DocumentTest, AdministrationPasswordComesFromTheConfigurationFile)
{
    const auto& s = test::shippedStrings();
    profile.writeString(dir.file(s.load(IDS_CONFIG_FILE_NAME)), s.load(IDS_CONFIG_ADMIN_SECTION),
                        s.load(IDS_CONFIG_PASSWORD_KEY), "s3cret");
    EXPECT_EQ(doc().adminPassword(), "s3cret");
    EXPECT_TRUE(doc().setAdminPassword("other"));
    rebuild();
    EXPECT_EQ(doc().adminPassword(), "other");
}

TEST_F(DocumentTest, APasswordOfFullLengthReadsBackWholeWithItsBlanksAndQuotes)
{
    // Blanks at the ends and a quote at either end: what an INI value loses first.
    const std::string password = " \"" + std::string(256, 'p') + "\" ";
    ASSERT_EQ(password.size(), JobDocument::kMaxPasswordChars);
    EXPECT_TRUE(doc().setAdminPassword(password));
    EXPECT_EQ(doc().adminPassword(), password);
    rebuild();
    EXPECT_EQ(doc().adminPassword(), password);

    // Longer than the edits take: the stored password is the part that can be typed.
    EXPECT_TRUE(doc().setAdminPassword(password + "x"));
    rebuild();
    EXPECT_EQ(doc().adminPassword(), password);

    // A password written into the file by hand, without quotes, reads as it did.
    const auto& s = test::shippedStrings();
    profile.writeString(dir.file(s.load(IDS_CONFIG_FILE_NAME)), s.load(IDS_CONFIG_ADMIN_SECTION),
                        s.load(IDS_CONFIG_PASSWORD_KEY), std::string(261, 'h'));
    rebuild();
    EXPECT_EQ(doc().adminPassword(), std::string(260, 'h'));
}

} // namespace
} // namespace orvox
