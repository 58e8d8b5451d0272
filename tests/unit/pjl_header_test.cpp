// The job header as printers and print servers read it: every line a
// job-control command line, the standard variables a printer acts on, and
// comment lines whose key=value grammar reads back into the settings that
// made them, whatever the user typed into the texts.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "pjl_header_check.h"
#include "print/job_header_builder.h"
#include "print/pdf_job_header.h"

namespace orvox {
namespace {

using test::readTicket;
using test::TicketReading;

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(PjlLineCheck, TellsCommandLinesFromEverythingElse)
{
    for (const char* good :
         {"@PJL", "@PJL COMMENT", "@PJL COMMENT chapters=  1 5 ", "@PJL SET QTY=3", "@PJL SET DUPLEX = ON",
          "@PJL SET JOBNAME=\"A report (1).ps\"", "@PJL SET LPARM:PCL SYMSET=ROMAN8", "@PJL ENTER LANGUAGE = PCL",
          "@PJL JOB NAME=\"x\"", "@PJL\tCOMMENT tab separated"}) {
        EXPECT_EQ(test::pjlLineError(good), "") << good;
    }
    for (const char* bad : {"%%OrvoxCopies: 3", "@pjl SET QTY=3", "@PJLCOMMENT x", "@PJL SET QTY", "@PJL SET QTY=",
                            "@PJL SET JOBNAME=\"a\"b\"", "@PJL COMMENT \x1B%-12345X", "@PJL COMMENT a\rb",
                            "@PJL ENTER LANGUAGE", "@PJL FROBNICATE", "@PJL SET QTY=3 4", " @PJL"}) {
        EXPECT_NE(test::pjlLineError(bad), "") << bad;
    }
    EXPECT_EQ(test::pjlHeaderError("\x1B%-12345X@PJL\n@PJL SET QTY=1\n"), "");
    EXPECT_NE(test::pjlHeaderError("@PJL\n@PJL SET QTY=1\n"), "");          // no universal exit
    EXPECT_NE(test::pjlHeaderError("\x1B%-12345X@PJL\n@PJL SET QTY=1"), "");  // last line not ended
    EXPECT_NE(test::pjlHeaderError("\x1B%-12345X@PJL\n\n@PJL SET QTY=1\n"), "");
    EXPECT_NE(test::pjlHeaderError("\x1B%-12345X@PJL\n@PJL COMMENT " + std::string(250, 'x') + "\n"), "");
}

TEST(TicketReader, ReadsEntriesContinuationsFieldsAndVariables)
{
    const auto r = readTicket("\x1B%-12345X@PJL\n@PJL SET QTY=3\n@PJL SET JOBNAME=\"a b\"\n"
                              "@PJL COMMENT chapters= 1 2\n@PJL COMMENT +=  3\n"
                              "@PJL COMMENT deliver-to=(Room%204%29)\n@PJL COMMENT other text\n");
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.variables.at("QTY"), "3");
    EXPECT_EQ(r.variables.at("JOBNAME"), "a b");
    EXPECT_EQ(TicketReading::texts(r.fieldsOf("chapters")), (std::vector<std::string>{"1", "2", "3"}));
    ASSERT_EQ(r.fieldsOf("deliver-to").size(), 1u);
    EXPECT_EQ(r.fieldsOf("deliver-to")[0], (test::TicketField{"Room 4)", true}));
    EXPECT_NE(readTicket("\x1B%-12345X@PJL\n@PJL COMMENT x=(a b)\n").error, "");
    EXPECT_NE(readTicket("\x1B%-12345X@PJL\n@PJL COMMENT +=1\n").error, "");
}

class PjlHeaderTest : public test::DocumentTest {
protected:
    std::string build(int kind = kOutputPostScript, std::string_view dataName = "C:\\jobs\\report.ps")
    {
        result = builder.writeJobHeader(dataName, headerPath,
                                        {doc().record(), doc().catalog(), doc().substitutions(), &ui}, kind);
        return readFile(headerPath);
    }

    // A production job: covers on two papers, inserts, page exceptions,
    // chapters, separators, status and header pages, finishing and offset.
    void makeProductionJob(std::int16_t model)
    {
        doc().setPrinterModel(model);
        doc().setCopyCount(3);
        doc().setCollate(1);
        doc().setPrintingMode(stored(PrintingMode::TwoSidedFlipLong));
        doc().setDocumentExit(stored(DocumentExit::Stacker));
        doc().setStackingMode(stored(StackingMode::Offset));
        doc().setStaplingMode(stored(StaplingMode::None));
        doc().setSubstitutionsActive(1);
        doc().setFrontCover(stored(CoverMode::PrintSide1));
        doc().setFrontCoverPaper(4);
        doc().setBackCover(stored(CoverMode::PrePrintedBlank));
        doc().setBackCoverPaper(2);
        doc().setChapterPages("1,5 30..175 last");
        doc().addSubstitution(3, 0, "2..5 ^7 12^");
        doc().addSubstitution(5, 0, "9");
        doc().setSeparatorPages(1);
        doc().setSeparatorPaper(5);
        doc().setHeaderPage(1);
        doc().setStatusPageMode(stored(StatusPageMode::Always));
        doc().setDeliverTo("Room 4, \"north\" wing");
        doc().setOperatorMessage("Use the (good) stock: 100%");
        doc().setChargeNumber("CC-17");
        doc().setEmailAddress("ops@example.org");
    }

    std::string headerPath = dir.file("job.hdr");
    JobHeaderBuilder builder{test::shippedStrings(), messages, nullptr};
    std::int16_t result = -1;
};

TEST_F(PjlHeaderTest, EveryLineOfEveryKindAndModelIsAJobControlCommand)
{
    for (std::int16_t model : {0, 1}) {
        for (bool production : {false, true}) {
            rebuild();
            if (production) {
                makeProductionJob(model);
            } else {
                doc().setPrinterModel(model);
            }
            for (int kind : {kOutputPostScript, kOutputPcl, kOutputPdf, kOutputPdfFromTiff}) {
                SCOPED_TRACE("model " + std::to_string(model) + (production ? " production" : " simple") +
                             " kind " + std::to_string(kind));
                const std::string header = build(kind);
                ASSERT_EQ(result, kHeaderOk);
                EXPECT_EQ(test::pjlHeaderError(header), "") << header;
                EXPECT_EQ(readTicket(header).error, "");
                const bool entersPcl = header.size() > 24 && header.ends_with("@PJL ENTER LANGUAGE=PCL\n");
                EXPECT_EQ(entersPcl, kind == kOutputPcl);
            }
        }
    }
}

TEST_F(PjlHeaderTest, CustomModeWritesOnlyTheCustomCommandsAndNoneWritesNothing)
{
    // The operator owns a custom header; a full one keeps the framing.
    doc().setCustomCommands("@PJL SET RESOLUTION=600\n");
    doc().setModifyPrintFile(stored(ModifyPrintFile::Custom));
    EXPECT_EQ(build(), "@PJL SET RESOLUTION=600\n");
    doc().setModifyPrintFile(stored(ModifyPrintFile::Yes));
    const std::string full = build();
    EXPECT_EQ(test::pjlHeaderError(full), "");
    EXPECT_NE(full.find("\n@PJL SET RESOLUTION=600\n"), std::string::npos);
}

TEST_F(PjlHeaderTest, StandardVariablesCarryCopiesSidesOffsetAndExit)
{
    doc().setPrinterModel(1);
    doc().setCopyCount(3);
    doc().setPrintingMode(stored(PrintingMode::TwoSidedFlipLong));
    doc().setStackingMode(stored(StackingMode::Offset));
    doc().setDocumentExit(stored(DocumentExit::TopExit));
    auto r = readTicket(build());
    EXPECT_EQ(r.variables["QTY"], "3");
    EXPECT_EQ(r.variables["DUPLEX"], "ON");
    EXPECT_EQ(r.variables["BINDING"], "LONGEDGE");
    EXPECT_EQ(r.variables["JOBOFFSET"], "ON");
    EXPECT_EQ(r.variables["OUTBIN"], "UPPER");
    EXPECT_EQ(r.variables["JOBNAME"], "report.ps");

    doc().setPrintingMode(stored(PrintingMode::TwoSidedFlipShort));
    doc().setStackingMode(stored(StackingMode::NoOffset));
    doc().setDocumentExit(stored(DocumentExit::SideExit));
    r = readTicket(build());
    EXPECT_EQ(r.variables["BINDING"], "SHORTEDGE");
    EXPECT_EQ(r.variables["JOBOFFSET"], "OFF");
    EXPECT_EQ(r.variables["OUTBIN"], "LOWER");
    EXPECT_EQ(r.first("exit"), "side");

    doc().setPrintingMode(stored(PrintingMode::OneSided));
    EXPECT_EQ(readTicket(build()).variables["DUPLEX"], "OFF");
    // A one-sided body paper is printed one-sided whatever the mode says.
    doc().setPrintingMode(stored(PrintingMode::TwoSidedFlipLong));
    doc().setBodyPaper(4);
    EXPECT_EQ(readTicket(build()).variables["DUPLEX"], "OFF");
}

TEST_F(PjlHeaderTest, AProductionJobReadsBackIntoTheSettingsThatMadeIt)
{
    makeProductionJob(1);
    const std::string header = build();
    ASSERT_EQ(result, kHeaderOk);
    const TicketReading r = readTicket(header);
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.variables.at("QTY"), "3");
    EXPECT_EQ(r.first("collate"), "on");
    EXPECT_EQ(r.first("exit"), "stacker");
    EXPECT_EQ(r.variables.at("JOBOFFSET"), "ON");

    // Covers: a printed front cover and a pre-printed back cover inserted after the last page.
    EXPECT_EQ(TicketReading::texts(r.fieldsOf("cover")), (std::vector<std::string>{"Paper 5", "front", "print-outside"}));
    // Chapters: single pages as typed, ranges page by page, split over continuation lines.
    std::vector<std::string> chapters{"1", "5"};
    for (int p = 30; p <= 175; ++p) chapters.push_back(std::to_string(p));
    chapters.push_back("lastpage");
    EXPECT_EQ(TicketReading::texts(r.fieldsOf("chapters")), chapters);
    EXPECT_GT(r.first("chapters").size(), 255u);  // so the continuation was needed

    // Page exceptions: two-sided, so every other page of a range.
    const auto exceptions = r.all("page-media");
    ASSERT_EQ(exceptions.size(), 2u);
    EXPECT_EQ(TicketReading::texts(TicketReading::fields(exceptions[0])),
              (std::vector<std::string>{"Paper 3", "duplex", "2", "4"}));
    EXPECT_EQ(TicketReading::texts(TicketReading::fields(exceptions[1])),
              (std::vector<std::string>{"Paper 5", "duplex", "9"}));
    // Inserts: after page 6 (before 7) and 12 on paper 3, the back cover after the last page.
    const auto inserts = r.fieldsOf("inserts");
    EXPECT_EQ(TicketReading::texts(inserts), (std::vector<std::string>{"Paper 3", "6", "12", "Paper 3", "lastpage"}));
    ASSERT_EQ(inserts.size(), 5u);
    EXPECT_TRUE(inserts[0].quoted && inserts[3].quoted);
    EXPECT_FALSE(inserts[1].quoted || inserts[4].quoted);

    EXPECT_EQ(TicketReading::texts(r.fieldsOf("separator")), (std::vector<std::string>{"Paper 6"}));
    EXPECT_EQ(TicketReading::texts(r.fieldsOf("status-page")), (std::vector<std::string>{"always", "Paper 2"}));
    EXPECT_EQ(r.fieldsOf("header-page").at(0).text, "on");
    // The user texts, as the record holds them after the build.
    EXPECT_EQ(r.fieldsOf("deliver-to").at(0).text, doc().deliverTo());
    EXPECT_EQ(r.fieldsOf("operator-message").at(0).text, doc().operatorMessage());
    EXPECT_EQ(r.fieldsOf("account").at(0).text, "CC-17");
    // Every paper in use is described once, the body paper first.
    const auto media = r.all("media");
    ASSERT_GE(media.size(), 3u);
    EXPECT_EQ(TicketReading::fields(media[0]).at(0).text, "Paper 2");
}

TEST_F(PjlHeaderTest, AModel0PdfJobReadsBackWholeAlsoFromItsTwoPartsAroundTheData)
{
    makeProductionJob(0);
    doc().setBackCover(stored(CoverMode::PrintSide2));  // printed, on another paper than the front
    doc().setBackCoverPaper(2);
    doc().setProofSet(1);
    doc().setPrintPageRange(1);
    doc().setPageRangeFrom(3);
    doc().setPageRangeTo(40);
    const std::string header = build(kOutputPdf, "C:\\jobs\\report.pdf");
    ASSERT_EQ(result, kHeaderOk);
    ASSERT_GT(header.size(), 1024u);
    const TicketReading whole = readTicket(header);
    ASSERT_EQ(whole.error, "");

    EXPECT_EQ(whole.first("device-class"), "production-0");
    EXPECT_EQ(whole.variables.at("HOLD"), "PROOF");
    EXPECT_EQ(whole.first("proof-set"), "hold");
    EXPECT_EQ(TicketReading::texts(whole.fieldsOf("page-range")), (std::vector<std::string>{"3", "40"}));
    EXPECT_EQ(whole.fieldsOf("notify-email").at(0).text, "ops@example.org");
    EXPECT_EQ(whole.first("data-format"), "pdf");
    // Front and back cover on their own papers: two triples, model 0's side words.
    EXPECT_EQ(TicketReading::texts(whole.fieldsOf("cover")),
              (std::vector<std::string>{"Paper 5", "front", "print-side-1", "Paper 3", "back", "print-side-2"}));
    // Every paper entry: (name) width height weight (colour) (type), the body paper first and set as PAPER.
    const auto media = whole.all("media");
    ASSERT_GE(media.size(), 3u);
    for (const auto& entry : media) EXPECT_EQ(TicketReading::fields(entry).size(), 6u) << entry;
    EXPECT_EQ(TicketReading::texts(TicketReading::fields(media[0])),
              (std::vector<std::string>{"Paper 2", "842", "1191", "120", "Blue", "Plain"}));
    EXPECT_EQ(whole.variables.at("PAPER"), "A3");
    EXPECT_EQ(whole.variables.at("MEDIATYPE"), "PLAIN");

    // What the printer receives around the PDF reads back into the same ticket.
    const auto parts = splitHeaderAroundPdf(header, 0);
    ASSERT_TRUE(parts);
    const TicketReading front = readTicket(parts->front);
    const TicketReading back = readTicket(parts->back.substr(0, parts->back.size() - 9));
    EXPECT_EQ(front.variables, whole.variables);
    auto entries = front.entries;
    entries.insert(entries.end(), back.entries.begin(), back.entries.end());
    EXPECT_EQ(entries, whole.entries);
}

TEST_F(PjlHeaderTest, HostileUserTextsStayInsideTheirOwnLine)
{
    // Every byte a user could put into a text field: quotes, line ends, the
    // universal exit, parentheses, percent signs and the upper half.
    std::string nasty = "a\"b\nc\rd\x1B%-12345X@PJL ENTER LANGUAGE=PCL\n(e) 50% \x7F\x9B\xFF end";
    const std::string longest(255, '\n');  // every byte escaped: three times the field
    doc().setPrinterModel(0);
    doc().setDeliverTo(nasty);
    doc().setOperatorMessage(nasty);
    doc().setChargeNumber(nasty);
    doc().setEmailAddress(nasty);
    doc().record().reserved0262 = 1;
    doc().setPrintToPrinter(1);
    doc().setUseSpecificPrinter(1);
    doc().setSpecificPrinterName(nasty);
    doc().setSaveAsFile(1);
    doc().setSaveAsPath(nasty);
    doc().setCustomCommands("@PJL SET RESOLUTION=600\r\n%!PS injected\n@PJL ENTER LANGUAGE=POSTSCRIPT\nx\x1B" "E\n");
    for (int kind : {kOutputPostScript, kOutputPcl}) {
        const std::string header = build(kind, "C:\\in\\\"quoted\"\x1B name.ps");
        ASSERT_EQ(result, kHeaderOk);
        EXPECT_EQ(test::pjlHeaderError(header), "") << header;
        EXPECT_EQ(header.find('\x1B', 1), std::string::npos);  // only the universal exit at the start
        const TicketReading r = readTicket(header);
        ASSERT_EQ(r.error, "");
        // Each text decodes to what was typed, in the printer's spelling of hyphens.
        const std::string sent = fixedUpCopy(nasty);
        EXPECT_EQ(r.fieldsOf("deliver-to").at(0).text, sent);
        EXPECT_EQ(r.fieldsOf("operator-message").at(0).text, sent);
        EXPECT_EQ(r.fieldsOf("account").at(0).text, fixedUpCopy(nasty, true));
        EXPECT_EQ(r.fieldsOf("notify-email").at(0).text, sent);
        EXPECT_EQ(r.fieldsOf("route-printer").at(0).text, sent);
        EXPECT_EQ(r.fieldsOf("save-as").at(1).text, sent);
        EXPECT_EQ(doc().deliverTo(), nasty);
        // The job name is for a panel: quotes and control bytes are replaced, not encoded.
        EXPECT_EQ(r.variables.at("JOBNAME"), "'quoted'  name.ps");
        // Custom lines: printer commands pass, anything else becomes a comment.
        EXPECT_NE(header.find("\n@PJL SET RESOLUTION=600\n"), std::string::npos);
        const auto custom = r.all("custom");
        ASSERT_EQ(custom.size(), 3u);
        EXPECT_EQ(TicketReading::fields(custom[0]).at(0).text, "%!PS injected");
        EXPECT_EQ(TicketReading::fields(custom[1]).at(0).text, "@PJL ENTER LANGUAGE=POSTSCRIPT");
        EXPECT_EQ(TicketReading::fields(custom[2]).at(0).text, "x E");
    }
    // A text too long for its line once encoded is cut at a whole escape.
    doc().setOperatorMessage(longest);
    const std::string header = build();
    EXPECT_EQ(test::pjlHeaderError(header), "");
    const std::string cut = readTicket(header).fieldsOf("operator-message").at(0).text;
    EXPECT_GT(cut.size(), 50u);
    EXPECT_EQ(cut, std::string(cut.size(), '\n'));
}

TEST_F(PjlHeaderTest, PaperNamesFromTheCatalogAreQuotedToo)
{
    // A catalog edited by hand can name a paper with anything but a comma or a line end.
    std::string catalog = readFile(dir.file(catalogName()));
    const std::string plain = "Paper 3,";
    catalog.replace(catalog.find(plain), plain.size(), "Cover \"A\" (x) 50%\x1B,");
    std::ofstream(dir.file(catalogName()), std::ios::binary) << catalog;
    doc().setPrinterModel(1);
    doc().setSubstitutionsActive(1);
    doc().addSubstitution(3, 0, "4 ^9");
    doc().setFrontCover(stored(CoverMode::PrePrintedBlank));
    doc().setFrontCoverPaper(2);
    const std::string header = build();
    EXPECT_EQ(test::pjlHeaderError(header), "") << header;
    const TicketReading r = readTicket(header);
    ASSERT_EQ(r.error, "");
    const std::string name = "Cover \"A\" (x) 50%\x1B";
    const std::string fixedUp = "Cover \"A\" (x) 50%\x1B";  // nothing in it for the character fix-up
    EXPECT_EQ(TicketReading::fields(r.all("media").at(1)).at(0).text, name);
    EXPECT_EQ(TicketReading::fields(r.first("page-media")).at(0).text, fixedUp);
    EXPECT_EQ(TicketReading::texts(r.fieldsOf("inserts")), (std::vector<std::string>{fixedUp, "8", name, "0"}));
}

} // namespace
} // namespace orvox
