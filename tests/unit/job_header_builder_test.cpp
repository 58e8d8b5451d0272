// Job headers written from a document: the segments a printer reads, in their
// order, for each output kind, printer model and modify-file choice.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "platform/machine.h"
#include "pjl_header_check.h"
#include "print/job_header_builder.h"
#include "print/pdf_job_header.h"

namespace orvox {
namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::stringstream ss(text);
    for (std::string line; std::getline(ss, line);) lines.push_back(line);
    return lines;
}

int countOf(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

// Every expected line is present, in this order (other lines may lie between).
void expectInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& expected)
{
    auto at = lines.begin();
    for (const std::string& e : expected) {
        const auto found = std::find(at, lines.end(), e);
        ASSERT_NE(found, lines.end()) << "missing or out of order: " << e << "\nin:\n" << ::testing::PrintToString(lines);
        at = found + 1;
    }
}

class FakeMachine : public platform::MachineInfo {
public:
    std::string localMachineValue(const std::string& key, const std::string& valueName) const override
    {
        return key == "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion" && valueName == "ProductName" ? "Test System"
                                                                                                      : "";
    }
    bool isNtVersion4OrLater() const override { return true; }
};

class HeaderTest : public test::DocumentTest {
protected:
    HeaderTest()
    {
        doc().setCopyCount(3);
        doc().setCollate(1);
    }
    std::string build(int kind = kOutputPostScript)
    {
        result = builder.writeJobHeader("C:\\jobs\\report.ps", headerPath,
                                        {doc().record(), doc().catalog(), doc().substitutions(), &ui}, kind);
        return readFile(headerPath);
    }
    std::vector<std::string> buildLines(int kind = kOutputPostScript) { return linesOf(build(kind)); }
    // A job of printer model 1 with finishing, covers, substitutions and chapters.
    void makeRealisticModel1Job()
    {
        doc().setPrinterModel(1);
        doc().setDocumentExit(stored(DocumentExit::Finisher));
        doc().setPrintingMode(stored(PrintingMode::TwoSidedFlipLong));
        doc().setStaplingMode(stored(StaplingMode::Top));
        doc().setFrontCover(stored(CoverMode::PrintSide1));
        doc().setFrontCoverPaper(4);
        doc().setDeliverTo("Room 4");
        doc().setPrintPageRange(1);
        doc().setPageRangeFrom(2);
        doc().setPageRangeTo(9);
        doc().setSubstitutionsActive(1);
        doc().setChapterPages("1,5");
        doc().addSubstitution(3, 0, "2..5 ^7");
    }

    std::string headerPath = dir.file("job.hdr");
    FakeMachine machine;
    JobHeaderBuilder builder{test::shippedStrings(), messages, &machine};
    std::int16_t result = -1;
};

TEST_F(HeaderTest, ARealisticJobGetsEveryCommandInItsPlace)
{
    makeRealisticModel1Job();
    const std::string header = build();
    ASSERT_EQ(result, kHeaderOk);
    // Byte for byte: a stray or doubled line would pass a check of the line order.
    EXPECT_EQ(header,
              "\x1B%-12345X@PJL"
              "\n@PJL COMMENT orvox-ticket=1"
              "\n@PJL SET JOBNAME=\"report.ps\""
              "\n@PJL SET QTY=3"
              "\n@PJL COMMENT staple=top"
              "\n@PJL COMMENT fold=none"
              "\n@PJL SET DUPLEX=ON\n@PJL SET BINDING=LONGEDGE"
              "\n@PJL COMMENT collate=on"
              "\n@PJL SET JOBOFFSET=ON"
              "\n@PJL COMMENT media=(Paper%202) 842 1191 120 (Blue) (Plain)\n@PJL SET PAPER=A3\n@PJL SET MEDIATYPE=PLAIN"
              "\n@PJL COMMENT media=(Paper%203) 595 842 120 (Blue) (Plain)"  // substitution paper
              "\n@PJL COMMENT media=(Paper%205) 842 1191 120 (Blue) (Plain)"  // front cover paper
              "\n@PJL COMMENT deliver-to=(Room%204)"
              "\n@PJL COMMENT page-range=2 9"
              "\n@PJL COMMENT media-mismatch=auto-substitute"
              "\n@PJL COMMENT body-media=(Paper%202) no-verify"
              "\n@PJL COMMENT cover=(Paper%205) front print-outside"
              "\n@PJL COMMENT chapters="
              "\n@PJL\tCOMMENT\t+=1 5  "                                    // single pages: one line
              "\n@PJL COMMENT page-media=(Paper%203) duplex\n@PJL\tCOMMENT\t+=  2  4  "  // every other page
              "\n@PJL COMMENT inserts=(Paper%203) \n@PJL\tCOMMENT\t+=6  "              // a sheet before page 7
              "\n@PJL COMMENT status-page=none"
              "\n@PJL COMMENT colour-map="
              "\n@PJL COMMENT route-printer=() routed"
              "\n@PJL COMMENT data-format=postscript"
              "\n@PJL COMMENT header-page=off "
              "\n@PJL SET OUTBIN=OPTIONALOUTBIN2\n@PJL COMMENT exit=finisher"
              "\n");
    EXPECT_EQ(test::pjlHeaderError(header), "");
}

// The example at the start of the job-header documentation is this job's header:
// the same lines, in the same order, none left out or added (the documentation
// does not show the blanks at line ends).
TEST_F(HeaderTest, TheDocumentedExampleIsTheHeaderWritten)
{
    const std::string doc = readFile(test::sourceDir() + "/docs/job-header.md");
    const std::size_t shape = doc.find("## Shape\n\n```\n");
    ASSERT_NE(shape, std::string::npos);
    const std::size_t from = doc.find('\n', doc.find("```", shape)) + 1;
    std::vector<std::string> documented = linesOf(doc.substr(from, doc.find("```", from) - from));
    ASSERT_FALSE(documented.empty());
    EXPECT_NE(documented.back().find("the print file starts here"), std::string::npos);
    documented.pop_back();
    auto replaceAll = [](std::string text, const std::string& what, const std::string& with) {
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    };
    for (std::string& line : documented) line = replaceAll(replaceAll(line, "<ESC>", "\x1B"), "<TAB>", "\t");

    makeRealisticModel1Job();
    std::vector<std::string> written = linesOf(build());
    for (std::string& line : written) line.erase(line.find_last_not_of(' ') + 1);
    EXPECT_EQ(written, documented);
}

TEST_F(HeaderTest, APageListIsWrittenOneLinePerRunWithoutEmptyContinuations)
{
    // Single pages first, then a range, then single pages again: each run is
    // written once, on a line of its own or after the line before it.
    doc().setChapterPages("1 3 5..7 9,last");
    const std::string header = build();
    const std::size_t from = header.find("\n@PJL COMMENT chapters=");
    ASSERT_NE(from, std::string::npos);
    const std::size_t to = header.find("\n@PJL COMMENT", from + 1);
    EXPECT_EQ(header.substr(from, to - from),
              "\n@PJL COMMENT chapters="
              "\n@PJL\tCOMMENT\t+=1 3   5  6  7 "
              "\n@PJL\tCOMMENT\t+=9 lastpage  ");
    doc().setChapterPages("4..5 8");
    const std::string rangeFirst = build();
    EXPECT_NE(rangeFirst.find("\n@PJL COMMENT chapters=\n@PJL\tCOMMENT\t+=  4  5  \n@PJL\tCOMMENT\t+=8  \n@PJL COMMENT "),
              std::string::npos)
        << rangeFirst;
    EXPECT_EQ(test::pjlHeaderError(rangeFirst), "");
}

#ifndef _WIN32
// The header in front of real print data must leave it printable.
TEST_F(HeaderTest, PostScriptAndPdfInterpretersAcceptTheJob)
{
    if (std::system("command -v gs >/dev/null 2>&1 && command -v qpdf >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "ghostscript or qpdf missing";
    }
    makeRealisticModel1Job();
    const std::string ps = "%!PS\n/Helvetica findfont 12 scalefont setfont 72 72 moveto (Orvox) show showpage\n";
    writeFile(dir.file("job.ps"), build(kOutputPostScript) + ps);
    EXPECT_EQ(std::system(("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=nullpage " + dir.file("job.ps")).c_str()), 0);

    writeFile(dir.file("page.ps"), ps);
    ASSERT_EQ(std::system(("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile=" + dir.file("page.pdf") +
                           " " + dir.file("page.ps"))
                              .c_str()),
              0);
    // As the spooler sends it: a header too long to stand before the PDF goes partly after it.
    const std::string header = build(kOutputPdf);
    const std::string pdf = readFile(dir.file("page.pdf"));
    const auto parts = splitHeaderAroundPdf(header, 0);
    writeFile(dir.file("job.pdf"), parts ? parts->front + pdf + parts->back : header + pdf);
    EXPECT_EQ(std::system(("qpdf --check " + dir.file("job.pdf") + " >/dev/null").c_str()), 0);
    // Data before the PDF header is allowed; the interpreter says so on its output.
    EXPECT_EQ(std::system(("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=nullpage " + dir.file("job.pdf") + " >/dev/null").c_str()), 0);
}
#endif

TEST_F(HeaderTest, PrinterModel0RepeatsCopiesAndFinishingAndAddsItsOwnSegments)
{
    doc().setPrinterModel(0);
    doc().setProofSet(1);
    doc().setEmailAddress("op@example.org");
    doc().setSubstitutionsActive(0);
    doc().setMaxSignatureSize(90);
    doc().record().reserved0262 = 1;
    doc().setPrintToPrinter(1);
    const auto lines = buildLines();
    EXPECT_EQ(countOf(lines, "@PJL SET QTY=3"), 2);
    EXPECT_EQ(countOf(lines, "@PJL COMMENT collate=on"), 2);
    expectInOrder(lines, {"@PJL COMMENT device-class=production-0", "@PJL SET QTY=3",
                          "@PJL SET JOBNAME=\"report.ps\"", "@PJL SET QTY=3",
                          "@PJL COMMENT notify-email=(op@example.org)", "@PJL SET HOLD=PROOF",
                          "@PJL COMMENT proof-set=hold", "@PJL COMMENT signature-sheets=23",
                          "@PJL COMMENT client-system= Test%20System",
                          "@PJL COMMENT route-printer=() routed"});

    doc().setMaxSignatureSize(88);
    doc().setPrinterModel(1);
    doc().setProofWaitTime(5);
    doc().setProofSetAction(stored(ProofSetAction::Cancel));
    const auto model1 = buildLines();
    EXPECT_EQ(countOf(model1, "@PJL SET QTY=3"), 1);
    EXPECT_EQ(countOf(model1, "@PJL COMMENT signature-sheets=22"), 1);
    EXPECT_EQ(countOf(model1, "@PJL COMMENT proof-set=300 cancel"), 1);
    EXPECT_EQ(countOf(model1, "@PJL SET HOLD=PROOF"), 0);
    EXPECT_EQ(countOf(model1, "@PJL COMMENT client-system= Test%20System"), 0);
}

TEST_F(HeaderTest, PclJobsEndTheJobControlPartByEnteringPcl)
{
    doc().setCustomCommands("%%Own: 1");
    const std::string header = build(kOutputPcl);
    const auto lines = linesOf(header);
    ASSERT_GT(lines.size(), 4u);
    EXPECT_EQ(lines.front(), "\x1B%-12345X@PJL");
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i].rfind("@PJL ", 0), 0u) << lines[i];
    // A custom line that is no printer command is kept as a comment.
    EXPECT_EQ(countOf(lines, "@PJL COMMENT custom=(%25%25Own:%201)"), 1);
    EXPECT_EQ(lines.back(), "@PJL ENTER LANGUAGE=PCL");
    EXPECT_EQ(header.substr(header.size() - 2), "L\n");
    EXPECT_EQ(test::pjlHeaderError(header), "");
    // PostScript and PDF data follow the job-control part without a language switch.
    EXPECT_EQ(build(kOutputPostScript).find("ENTER"), std::string::npos);
    EXPECT_EQ(build(kOutputPdf).find("ENTER"), std::string::npos);
}

TEST_F(HeaderTest, TheThreeModifyFileChoices)
{
    const std::string script = dir.file("script.ps");
    writeFile(script, "/setup true def\n");
    doc().setCustomCommands("%%Own: 1\n");
    doc().setScriptFilePath(script);

    doc().setModifyPrintFile(stored(ModifyPrintFile::Yes));
    const std::string full = build();
    // The custom line and the script close the full header, each on its own line.
    EXPECT_TRUE(full.ends_with("\n@PJL COMMENT custom=(%25%25Own:%201)\n/setup true def\n")) << full;

    doc().setModifyPrintFile(stored(ModifyPrintFile::Custom));
    EXPECT_EQ(build(), "%%Own: 1\n/setup true def");
    EXPECT_EQ(result, kHeaderOk);
    doc().setCustomCommands("");
    doc().setScriptFilePath("");
    writeFile(headerPath, "old");
    EXPECT_EQ(build(), "");

    doc().setModifyPrintFile(stored(ModifyPrintFile::No));
    writeFile(headerPath, "untouched");
    EXPECT_EQ(build(), "untouched");
    EXPECT_EQ(result, kHeaderOk);
}

TEST_F(HeaderTest, UserTextsAreFixedUpInTheHeaderOnlyAndAccountsKeepHyphens)
{
    // Model 0 with the print-server group writes every user text the fix-up touches.
    doc().setPrinterModel(0);
    doc().record().reserved0262 = 1;
    doc().setPrintToPrinter(1);
    doc().setUseSpecificPrinter(1);
    doc().setSaveAsFile(1);
    doc().setDeliverTo("A-B`C");
    doc().setOperatorMessage("Call `Ann` - \x91quote\x92");
    doc().setChargeNumber("12-34");
    doc().setEmailAddress("ops-desk@example.com");
    doc().setSpecificPrinterName("Hall-2");
    doc().setSaveAsPath("C:\\jobs\\run-1.ps");
    const JobSettings before = doc().record();
    const bool modifiedBefore = doc().isModified();

    std::string path;
    ASSERT_TRUE(builder.buildJobHeader(doc(), "C:\\jobs\\report.ps", path, false, [&] { return headerPath; }));
    const std::string first = readFile(headerPath);
    ASSERT_TRUE(builder.buildJobHeader(doc(), "C:\\jobs\\report.ps", path, false, [&] { return headerPath; }));
    // The same settings give the same job, however often they are printed.
    EXPECT_EQ(readFile(headerPath), first);
    // The document keeps what the operator typed, byte for byte, and is not marked changed.
    EXPECT_EQ(std::memcmp(&before, &doc().record(), sizeof before), 0);
    EXPECT_EQ(doc().deliverTo(), "A-B`C");
    EXPECT_EQ(doc().isModified(), modifiedBefore);

    const auto lines = linesOf(first);
    EXPECT_EQ(countOf(lines, "@PJL COMMENT deliver-to=(A%ADB%91C)"), 1);
    EXPECT_EQ(countOf(lines, "@PJL COMMENT operator-message=(Call%20%91Ann%91%20%AD%20`quote')"), 1);
    EXPECT_EQ(countOf(lines, "@PJL COMMENT account=(12-34)"), 1);
    EXPECT_EQ(countOf(lines, "@PJL COMMENT notify-email=(ops%ADdesk@example.com)"), 1);
    EXPECT_EQ(countOf(lines, "@PJL COMMENT route-printer=(Hall%AD2) routed"), 1);
    EXPECT_EQ(countOf(lines, "@PJL COMMENT save-as=continue (C:\\jobs\\run%AD1.ps)"), 1);
}

TEST_F(HeaderTest, AScriptLosesOnlyTheLineEndOfAShortLastChunk)
{
    const std::string script = dir.file("script.ps");
    doc().setModifyPrintFile(stored(ModifyPrintFile::Custom));
    doc().setScriptFilePath(script);
    const std::string exact = std::string(254, 'x') + "\n";
    writeFile(script, exact);
    EXPECT_EQ(build(), exact);
    writeFile(script, "123456789\n");
    EXPECT_EQ(build(), "123456789");
    writeFile(script, "");
    EXPECT_EQ(build(), "");

    std::remove(script.c_str());
    build();
    EXPECT_EQ(result, kHeaderScriptMissing);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, test::shippedStrings().load(IDS_SCRIPT_FILE_OPEN_FAILED));
}

TEST_F(HeaderTest, CoversOnOneOrTwoPapersAndInsertedCovers)
{
    doc().setSubstitutionsActive(1);
    doc().setFrontCover(stored(CoverMode::PrintBothSides));
    doc().setBackCover(stored(CoverMode::PrintBothSides));
    doc().setFrontCoverPaper(4);
    doc().setBackCoverPaper(4);
    EXPECT_EQ(countOf(buildLines(), "@PJL COMMENT cover=(Paper%205) both print-both"), 1);

    // Two papers: one cover line with both, the same in every output kind.
    doc().setBackCoverPaper(2);
    const std::string both = "@PJL COMMENT cover=(Paper%205) front print-both (Paper%203) back print-both";
    EXPECT_EQ(countOf(buildLines(), both), 1);
    EXPECT_EQ(countOf(linesOf(build(kOutputPcl)), both), 1);

    // A pre-printed front cover of a pamphlet job is inserted even without the substitutions tab.
    doc().setSubstitutionsActive(0);
    doc().setFrontCover(stored(CoverMode::PrePrintedBlank));
    ui.tabs[platform::kTabPaperSubstitutions] = false;
    const auto lines = buildLines();
    EXPECT_EQ(countOf(lines, "@PJL COMMENT inserts=(Paper%205) 0"), 1);
    ASSERT_EQ(builder.inserts().size(), 1u);
    // A disabled cover combo counts as no cover.
    ui.controls[IDC_COMBO_FRONT_COVER] = false;
    EXPECT_EQ(countOf(buildLines(), "@PJL COMMENT inserts=(Paper%205) 0"), 0);
}

TEST_F(HeaderTest, ASubstitutionPaperIsAnnouncedOnlyWhileTheSubstitutionsTabIsAvailable)
{
    doc().addSubstitution(6, 0, "3");
    const std::string media = "@PJL COMMENT media=(Paper%206) 595 842 120 (Blue) (Plain)";
    const auto withTab = buildLines();
    EXPECT_EQ(countOf(withTab, media), 1);
    const auto exceptions = test::readTicket(build()).all("page-media");
    ASSERT_EQ(exceptions.size(), 1u);
    EXPECT_EQ(test::TicketReading::texts(test::TicketReading::fields(exceptions[0])),
              (std::vector<std::string>{"Paper 6", "simplex", "3"}));
    ui.tabs[platform::kTabPaperSubstitutions] = false;
    const auto lines = buildLines();
    EXPECT_EQ(countOf(lines, media), 0);
    EXPECT_EQ(test::readTicket(build()).all("page-media").size(), 0u);
    doc().setChapterPages("4");
    // Chapters do not depend on the tab.
    EXPECT_EQ(test::TicketReading::texts(test::readTicket(build()).fieldsOf("chapters")),
              (std::vector<std::string>{"4"}));
}

TEST_F(HeaderTest, FailuresAreReportedAndAModelWithoutTemplatesWritesNothing)
{
    doc().setPrinterModel(5);
    writeFile(headerPath, "kept");
    EXPECT_EQ(build(), "kept");
    EXPECT_EQ(result, kHeaderOk);

    doc().setPrinterModel(1);
    headerPath = dir.file("missing-folder/job.hdr");
    build();
    EXPECT_EQ(result, kHeaderNotWritten);
#ifndef _WIN32
    // A full disk shows at the latest when the buffered rest is written out.
    EXPECT_EQ(builder.writeJobHeader("a.ps", "/dev/full",
                                     {doc().record(), doc().catalog(), doc().substitutions(), &ui}, 0),
              kHeaderWriteFailed);
#endif
}

TEST_F(HeaderTest, TheDocumentEntryNamesTheFileAndSwitchesPdfToPostScriptForOtherModels)
{
    doc().setPrinterModel(1);
    doc().setPrinterLanguage(stored(PrinterLanguage::PDF));
    std::string path;
    ASSERT_TRUE(builder.buildJobHeader(doc(), "C:\\in\\scan.tif", path, true, [&] { return headerPath; }));
    EXPECT_EQ(path, headerPath);
    EXPECT_EQ(doc().printerLanguage(), stored(PrinterLanguage::PostScript));
    EXPECT_EQ(countOf(linesOf(readFile(path)), "@PJL COMMENT data-format=pdf-from-tiff"), 1);

    doc().setPrinterModel(0);
    doc().setPrinterLanguage(stored(PrinterLanguage::PDF));
    ASSERT_TRUE(builder.buildJobHeader(doc(), "scan.pdf", path, false, [&] { return headerPath; }));
    EXPECT_EQ(countOf(linesOf(readFile(path)), "@PJL COMMENT data-format=pdf"), 1);
    EXPECT_FALSE(builder.buildJobHeader(doc(), "scan.pdf", path, false, [] { return std::string(); }));
}

} // namespace
} // namespace orvox
