// Importing job settings from XML into a real document: what a job text sets,
// what is skipped, and that a refused text changes nothing.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "settings/xml_import.h"

namespace orvox {
namespace {

class RecordingTargets : public platform::XmlTargets {
public:
    void addFileToPrint(const std::string& path) override { files.push_back(path); }
    void clearFilesToPrint() override
    {
        files.clear();
        ++clears;
    }
    void selectPrinter(const std::string& name) override { printers.push_back(name); }
    void showPrinterModel(int model) override { models.push_back(model); }
    std::vector<std::string> files;
    std::vector<std::string> printers;
    std::vector<int> models;
    int clears = 0;
};

using Substitutions = std::vector<std::pair<int, std::string>>;

class XmlImportTest : public test::DocumentTest {
protected:
    XmlImportTest() { doc().setUiState(&ui); }

    int import(const std::string& xml, platform::XmlTargets* pages)
    {
        line = -7;
        return importXmlSettings(doc(), xml, line, pages);
    }
    // A root holding `body`.
    int importSettings(const std::string& body)
    {
        return import("<PRINTER_SETTINGS>" + body + "</PRINTER_SETTINGS>", &targets);
    }
    static std::string items(const Substitutions& list)
    {
        std::string xml = "<PAPER_SUBSTITUTIONS>";
        for (const auto& [paper, pages] : list) {
            xml += "<PAPER_SUBSTITUTION_ITEM>\n<PAGE_RANGE>" + pages + "</PAGE_RANGE><PAPER>" + std::to_string(paper) +
                   "</PAPER></PAPER_SUBSTITUTION_ITEM>";
        }
        return xml + "</PAPER_SUBSTITUTIONS>";
    }
    Substitutions substitutionList()
    {
        Substitutions list;
        for (const PaperSubstitution& s : doc().substitutions()) list.emplace_back(s.paperIndex, s.pageList);
        return list;
    }

    RecordingTargets targets;
    int line = -7;
};

TEST_F(XmlImportTest, AJobTextSetsTheDocumentAndThePages)
{
    doc().addSubstitution(5, 0, "2");
    doc().markModified(false);
    const int result = import(R"(<printer_settings>
  <PRINTER>\\server\Hall 2 Press</PRINTER>
  <PRINTER_MODEL>id_printermodel_other</PRINTER_MODEL>
  <PRINTER_LANGUAGE>ID_FILE_TYPE_PDF</PRINTER_LANGUAGE>
  <BODY_PAPER>3</BODY_PAPER>
  <PRINTING_MODE>ID_TWO_SIDED_FLIP_SHORT</PRINTING_MODE>
  <DOCUMENT_EXIT>ID_OUTPUT_DEVICE_STAPLER</DOCUMENT_EXIT>
  <TRIM_EDGES>On</TRIM_EDGES>
  <OFFSET_STACKING>ID_STACK_MODE_NO_OFFSET</OFFSET_STACKING>
  <STAPLING>ID_STAPLE_MODE_BOTH</STAPLING>
  <PROOF_SET>ON
    <ACTION>ID_PROOFSET_CANCEL</ACTION>
  </PROOF_SET>
  <CHAPTER_PAGES>1, 5..9 last</CHAPTER_PAGES>
  <PAPER_SUBSTITUTIONS>
    <PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>1</PAGE_RANGE><PAPER>2</PAPER></PAPER_SUBSTITUTION_ITEM>
    <PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>10..12 ^14</PAGE_RANGE><PAPER>0</PAPER></PAPER_SUBSTITUTION_ITEM>
    <PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>Last</PAGE_RANGE><PAPER>40</PAPER></PAPER_SUBSTITUTION_ITEM>
  </PAPER_SUBSTITUTIONS>
  <FILES_TO_PRINT><FILE>	c:\jobs\report.ps  </FILE><FILE>c:\jobs\cover.pdf</FILE></FILES_TO_PRINT>
  <MODIFY_PRINT_FILE>ID_MODIFY_FILE_CUS</MODIFY_PRINT_FILE>
  <FILES_TO_PRINT><FILE>c:\jobs\appendix.pcl</FILE></FILES_TO_PRINT>
  <PRINT_SERVER_OPTIONS>
    <PRINT>OFF</PRINT>
    <SAVE_AS>ON<SAVE_AS_STRING>d:\out\job 7.prn</SAVE_AS_STRING></SAVE_AS>
    <SPECIFIC_PRINTER>ON<SPECIFIC_PRINTER_STRING>Hall2</SPECIFIC_PRINTER_STRING></SPECIFIC_PRINTER>
  </PRINT_SERVER_OPTIONS>
</printer_settings>
)",
                              &targets);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(line, 0);

    const JobDocument& d = doc();
    const std::vector<int> numbers = {d.printerModel(), d.printerLanguage(), d.bodyPaper(),    d.printingMode(),
                                      d.documentExit(), d.trimEdges(),       d.stackingMode(), d.staplingMode(),
                                      d.proofSet(),     d.proofSetAction(),  d.modifyPrintFile(), d.printToPrinter(),
                                      d.saveAsFile(),   d.useSpecificPrinter()};
    EXPECT_EQ(numbers, (std::vector<int>{1, 2, 4, 2, 5, 1, 1, 3, 1, 2, 1, 0, 1, 1}));
    EXPECT_EQ(d.bodyPaperName(), "Paper 4");
    EXPECT_EQ(d.chapterPages(), "1, 5..9 LAST");
    EXPECT_EQ(d.saveAsPath(), "D:\\OUT\\JOB 7.PRN");
    EXPECT_EQ(d.specificPrinterName(), "HALL2");
    // Added after the one already there; paper numbers skip the body-paper
    // slot, 0 is that slot, and numbers past the catalog take its last paper.
    EXPECT_EQ(substitutionList(), (Substitutions{{5, "2"}, {3, "1"}, {1, "10..12 ^14"}, {6, "last"}}));

    EXPECT_EQ(targets.printers, std::vector<std::string>{"\\\\SERVER\\HALL 2 PRESS"});
    EXPECT_EQ(targets.models, std::vector<int>{1});
    EXPECT_EQ(targets.files,
              (std::vector<std::string>{"C:\\JOBS\\REPORT.PS", "C:\\JOBS\\COVER.PDF", "C:\\JOBS\\APPENDIX.PCL"}));
    EXPECT_TRUE(d.isModified());
    EXPECT_EQ(ui.refreshes, 1);
    EXPECT_EQ(ui.modelsFollowed, 1) << "the named model brings its restrictions to the pages";
}

TEST_F(XmlImportTest, OnlyANamedModelMakesThePagesFollowIt)
{
    ASSERT_EQ(import("<PRINTER_SETTINGS><COLLATE>OFF</COLLATE></PRINTER_SETTINGS>", &targets), 0);
    EXPECT_EQ(ui.refreshes, 1);
    EXPECT_EQ(ui.modelsFollowed, 0);
    // The same model again still re-applies it: the pages may show another state.
    ASSERT_EQ(import("<PRINTER_SETTINGS><PRINTER_MODEL>ID_PRINTERMODEL_SELVO</PRINTER_MODEL></PRINTER_SETTINGS>",
                     &targets),
              0);
    EXPECT_EQ(ui.modelsFollowed, 1);
    EXPECT_EQ(doc().printerModel(), 0);
}

TEST_F(XmlImportTest, ARefusedTextChangesNothing)
{
    const std::string good = "<PRINTER_SETTINGS>\n<COLLATE>OFF</COLLATE>\n<BODY_PAPER>4</BODY_PAPER>\n"
                             "<FILES_TO_PRINT><FILE>A.PS</FILE></FILES_TO_PRINT>\n<PRINTER>P</PRINTER>\n" +
                             items({{2, "1"}}) + "\n";
    struct Case {
        std::string tail;
        int code;
        int line;
    };
    const Case cases[] = {
        {"<STAPLING>ID_STAPLE_MODE_TOP</STAPLING>\n", 39, 9},
        {"<COPIES>3</COPIES>\n</PRINTER_SETTINGS>", 40, 8},
        {"<PROOF_SET>ON<WAIT_TIME>05</WAIT_TIME></PROOF_SET>\n</PRINTER_SETTINGS>", 41, 8},
        {"<WAIT_TIME>5</WAIT_TIME>\n</PRINTER_SETTINGS>", 42, 1},
        {"<PAPER_SUBSTITUTIONS>\n<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>3</PAGE_RANGE>"
         "</PAPER_SUBSTITUTION_ITEM></PAPER_SUBSTITUTIONS></PRINTER_SETTINGS>",
         42, 9},
    };
    doc().setCollate(1);
    doc().markModified(false);
    const JobSettingsBytes before = toBytes(doc().settings());
    for (const Case& c : cases) {
        EXPECT_EQ(import(good + c.tail, &targets), c.code) << c.tail;
        EXPECT_EQ(line, c.line) << c.tail;
    }
    EXPECT_EQ(toBytes(doc().settings()), before);
    EXPECT_EQ(doc().substitutionCount(), 0);
    EXPECT_TRUE(targets.files.empty() && targets.printers.empty());
    EXPECT_FALSE(doc().isModified());
    EXPECT_EQ(ui.refreshes, 0);

    EXPECT_EQ(import(good + "</PRINTER_SETTINGS>", &targets), 0);
    EXPECT_EQ(doc().collate(), 0);
    EXPECT_EQ(doc().substitutionCount(), 1);

    int missingLine = -7;
    EXPECT_EQ(importXmlSettings(doc(), static_cast<const char*>(nullptr), missingLine, &targets), 38);
    EXPECT_EQ(missingLine, 0);
}

TEST_F(XmlImportTest, BoundsNumbersAndSkipsWhatCannotBeStoredWhole)
{
    std::string manyPages;
    while (manyPages.size() < 300) manyPages += "7 ";
    std::string manyChapters;
    while (manyChapters.size() < 1100) manyChapters += "9 ";
    ASSERT_EQ(importSettings("<BODY_PAPER>0</BODY_PAPER><PROOF_SET>ON<WAIT_TIME>0</WAIT_TIME></PROOF_SET>"
                             "<CHAPTER_PAGES>4</CHAPTER_PAGES><CHAPTER_PAGES>" + manyChapters + "</CHAPTER_PAGES>" +
                             items({{2, "x3"}, {2, manyPages}, {3, "8"}}) +
                             "<PRINT_SERVER_OPTIONS><SAVE_AS>ON<SAVE_AS_STRING>" + std::string(32, 'a') +
                             "</SAVE_AS_STRING></SAVE_AS><SPECIFIC_PRINTER>ON<SPECIFIC_PRINTER_STRING>" +
                             std::string(31, 'b') + "</SPECIFIC_PRINTER_STRING></SPECIFIC_PRINTER>"
                             "</PRINT_SERVER_OPTIONS>"),
              0);
    EXPECT_EQ(doc().bodyPaper(), 2);
    EXPECT_EQ(doc().proofWaitTime(), 1);
    EXPECT_EQ(doc().chapterPages(), "4");
    EXPECT_EQ(substitutionList(), (Substitutions{{4, "8"}}));
    EXPECT_EQ(doc().saveAsPath(), "");
    EXPECT_EQ(doc().specificPrinterName(), std::string(31, 'B'));

    ASSERT_EQ(importSettings("<BODY_PAPER>99</BODY_PAPER><PROOF_SET>ON<WAIT_TIME>75</WAIT_TIME></PROOF_SET>"), 0);
    EXPECT_EQ(doc().bodyPaper(), 6);
    EXPECT_EQ(doc().proofWaitTime(), 60);
}

TEST_F(XmlImportTest, ElementsTakeEffectInDocumentOrder)
{
    // Carets are not allowed in pamphlet jobs on model 0, so the model set
    // before a substitution decides whether its page list is taken.
    doc().setPrinterModel(0);
    ASSERT_EQ(importSettings("<PRINTING_MODE>ID_PAMPHLETS</PRINTING_MODE>" + items({{1, "^3"}}) +
                             "<PRINTER_MODEL>ID_PRINTERMODEL_OTHER</PRINTER_MODEL>" + items({{1, "^4"}})),
              0);
    EXPECT_EQ(substitutionList(), (Substitutions{{2, "^4"}}));
}

TEST_F(XmlImportTest, AFullSubstitutionListStopsTheImportAtThatPaper)
{
    for (int i = 0; i < kMaxSubstitutions - 1; ++i) doc().addSubstitution(2, 0, "1");
    doc().setCollate(1);
    // Without pages the import still works on the document alone.
    EXPECT_EQ(import("<PRINTER_SETTINGS>" + items({{1, "5"}, {1, "6"}}) + "<COLLATE>OFF</COLLATE></PRINTER_SETTINGS>",
                     nullptr),
              43);
    EXPECT_EQ(line, 3);
    EXPECT_EQ(doc().substitutionCount(), kMaxSubstitutions);
    EXPECT_EQ(doc().substitution(kMaxSubstitutions - 1).pageList, std::string("5"));
    EXPECT_EQ(doc().collate(), 1);
}

// "REPLACE_FILES" ON, first in a "FILES_TO_PRINT", empties the list before that
// element's files; anywhere else it is refused, and nothing is applied.
TEST_F(XmlImportTest, ReplaceFilesEmptiesTheListOnlyWhereItStandsFirst)
{
    auto files = [](const std::string& replace, const std::vector<std::string>& names) {
        std::string xml = "<FILES_TO_PRINT>" + replace;
        for (const std::string& name : names) xml += "<FILE>" + name + "</FILE>";
        return xml + "</FILES_TO_PRINT>";
    };
    const std::string on = "<REPLACE_FILES>ON</REPLACE_FILES>";
    ASSERT_EQ(importSettings(files("", {"A.PS", "B.PS"})), 0);
    ASSERT_EQ(importSettings(files(on, {"C.PS"})), 0);
    EXPECT_EQ(targets.files, (std::vector<std::string>{"C.PS"}));
    // OFF, in any case, adds as a list without it does.
    ASSERT_EQ(importSettings(files("<REPLACE_FILES>off</REPLACE_FILES>", {"D.PS"})), 0);
    EXPECT_EQ(targets.files, (std::vector<std::string>{"C.PS", "D.PS"}));
    EXPECT_EQ(targets.clears, 1);

    // In document order: a later list that replaces drops an earlier one's files
    // of the same text; settings around it still apply.
    ASSERT_EQ(importSettings(files("", {"E.PS"}) + "<COLLATE>ON</COLLATE>" + files(on, {"F.PS", "G.PS"})), 0);
    EXPECT_EQ(targets.files, (std::vector<std::string>{"F.PS", "G.PS"}));
    EXPECT_EQ(doc().collate(), 1);
    // With no file after it, the list ends empty.
    ASSERT_EQ(importSettings(files("<replace_files>On</replace_files>", {})), 0);
    EXPECT_TRUE(targets.files.empty());
    EXPECT_EQ(targets.clears, 3);

    // Refused whole, with the line: after a file, twice, outside a file list,
    // or with a value that is neither ON nor OFF.
    ASSERT_EQ(importSettings(files("", {"H.PS"})), 0);
    doc().setCollate(0);
    const std::vector<std::pair<std::string, int>> refused = {
        {files("", {"I.PS"}) + "\n" + files("<FILE>J.PS</FILE>" + on, {}), 42},
        {files(on + on, {"I.PS"}), 42},
        {on, 42},
        {files("<REPLACE_FILES>YES</REPLACE_FILES>", {"I.PS"}), 41},
    };
    for (const auto& [body, code] : refused) {
        EXPECT_EQ(importSettings("<COLLATE>ON</COLLATE>" + body), code) << body;
        EXPECT_GE(line, 1) << body;
    }
    EXPECT_EQ(targets.files, (std::vector<std::string>{"H.PS"}));
    EXPECT_EQ(targets.clears, 3);
    EXPECT_EQ(doc().collate(), 0);
}

// The pages hear once, after the last file, that the import is over: also when
// an element stops it part way, and never for a text that is refused whole.
class FinishRecordingTargets : public RecordingTargets {
public:
    void addFileToPrint(const std::string& path) override
    {
        RecordingTargets::addFileToPrint(path);
        events.push_back("file");
    }
    void importFinished() override { events.push_back("finished"); }
    std::vector<std::string> events;
};

TEST_F(XmlImportTest, ThePagesAreToldOnceThatTheImportIsOver)
{
    FinishRecordingTargets pages;
    const std::string files = "<FILES_TO_PRINT><FILE>A.PS</FILE><FILE>B.TIF</FILE></FILES_TO_PRINT>";
    ASSERT_EQ(import("<PRINTER_SETTINGS>" + files + "<COLLATE>ON</COLLATE></PRINTER_SETTINGS>", &pages), 0);
    EXPECT_EQ(pages.events, (std::vector<std::string>{"file", "file", "finished"}));

    pages.events.clear();
    for (int i = 0; i < kMaxSubstitutions; ++i) doc().addSubstitution(2, 0, "1");
    EXPECT_EQ(import("<PRINTER_SETTINGS>" + files + items({{1, "5"}}) + files + "</PRINTER_SETTINGS>", &pages), 43);
    EXPECT_EQ(pages.events, (std::vector<std::string>{"file", "file", "finished"}));

    pages.events.clear();
    EXPECT_NE(import("<PRINTER_SETTINGS>" + files, &pages), 0);
    EXPECT_TRUE(pages.events.empty());
}

} // namespace
} // namespace orvox
