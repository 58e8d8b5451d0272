// A job header in front of PDF data: a reader of the whole job must find the
// PDF header within the first 1024 bytes, so a long header goes out in two
// parts around the data. Checked against the splitting rules, against the
// settings the header carries, and against Ghostscript reading the job.
#include <cstdio>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "output_fixture.h"
#include "pjl_header_check.h"
#include "platform/posix/memory_spooler.h"
#include "print/pdf_job_header.h"
#include "print/spooler_output.h"

namespace orvox {
namespace {

using test::readTicket;

const std::string kSplitUel = "\x1B%-12345X";

// A header as the builder writes it: the opening, variables, comment entries
// with continuations, and an output bin set near the end.
std::string longSplitHeader(int mediaLines)
{
    std::string h = kSplitUel + "@PJL\n@PJL COMMENT orvox-ticket=1\n@PJL SET JOBNAME=\"report.pdf\"\n@PJL SET QTY=3\n";
    for (int i = 0; i < mediaLines; ++i)
        h += "@PJL COMMENT media=(Paper%20" + std::to_string(i) + ") 595 842 80 (Blue) (Plain)\n";
    h += "@PJL COMMENT chapters=\n@PJL\tCOMMENT\t+=1 5 9\n@PJL\tCOMMENT\t+=12 lastpage\n";
    h += "@PJL COMMENT data-format=pdf\n@PJL SET OUTBIN=OPTIONALOUTBIN1\n@PJL COMMENT exit=stacker\n";
    return h;
}

// The back part without the universal exit that ends it, read as a header.
std::string backPartAsHeader(const std::string& back)
{
    EXPECT_TRUE(back.ends_with(kSplitUel));
    return back.substr(0, back.size() - kSplitUel.size());
}

TEST(PdfJobHeader, FindsThePdfHeaderAsAReaderOfTheWholeJobDoes)
{
    EXPECT_EQ(pdfHeaderOffset("%PDF-1.7\n%\xE2\xE3\n1 0 obj"), 0u);
    EXPECT_EQ(pdfHeaderOffset("\r\n  %PDF-1.4\n"), 4u);
    EXPECT_EQ(pdfHeaderOffset("%!PS-Adobe-3.0\n% embeds %PDF-1.4 somewhere\n"), std::nullopt);
    EXPECT_EQ(pdfHeaderOffset("%!PS-Adobe-3.0\nshowpage\n"), std::nullopt);
    EXPECT_EQ(pdfHeaderOffset("\r\n%!\n(%PDF-1.4) show\n"), std::nullopt);
    EXPECT_EQ(pdfHeaderOffset(std::string(1019, ' ') + "%PDF-"), 1019u);
    EXPECT_EQ(pdfHeaderOffset(std::string(1020, ' ') + "%PDF-"), std::nullopt);  // beyond the window
    EXPECT_EQ(pdfHeaderOffset(""), std::nullopt);
}

TEST(PdfJobHeader, AHeaderThatFitsIsLeftAsItIs)
{
    const std::string h = longSplitHeader(2);
    EXPECT_EQ(splitHeaderAroundPdf(h, 0), std::nullopt);
    // Exactly at the edge: the PDF header ends with byte 1024.
    std::string edge = kSplitUel + "@PJL\n@PJL COMMENT x=";
    edge += std::string(kPdfHeaderWindow - 5 - edge.size() - 1, 'y') + "\n";
    ASSERT_EQ(edge.size(), kPdfHeaderWindow - 5);
    EXPECT_EQ(splitHeaderAroundPdf(edge, 0), std::nullopt);
    EXPECT_NE(splitHeaderAroundPdf(edge, 1), std::nullopt);
    // A custom-only header (no universal exit) is the operator's own.
    EXPECT_EQ(splitHeaderAroundPdf(std::string(3000, 'x'), 0), std::nullopt);
}

TEST(PdfJobHeader, ALongHeaderKeepsItsVariablesInFrontAndItsEntriesInOrder)
{
    const std::string h = longSplitHeader(30);
    ASSERT_GT(h.size(), kPdfHeaderWindow);
    const auto parts = splitHeaderAroundPdf(h, 9);
    ASSERT_TRUE(parts);
    EXPECT_LE(parts->front.size() + 9 + 5, kPdfHeaderWindow);
    EXPECT_EQ(test::pjlHeaderError(parts->front), "") << parts->front;
    EXPECT_EQ(test::pjlHeaderError(backPartAsHeader(parts->back)), "") << parts->back;

    // The printer acts on the variables before the data: all of them are in front,
    // the output bin written near the end too.
    const auto whole = readTicket(h);
    const auto front = readTicket(parts->front);
    const auto back = readTicket(backPartAsHeader(parts->back));
    EXPECT_EQ(front.variables, whole.variables);
    EXPECT_TRUE(back.variables.empty());
    // Front entries then back entries are the header's entries, continuations included.
    auto entries = front.entries;
    entries.insert(entries.end(), back.entries.begin(), back.entries.end());
    EXPECT_EQ(entries, whole.entries);
    EXPECT_EQ(back.first("chapters"), whole.first("chapters"));
    EXPECT_FALSE(back.entries.empty());
    // Nothing lost, nothing added but the framing of the back part.
    EXPECT_EQ(parts->front.size() + parts->back.size(), h.size() + kSplitUel.size() + 5 + kSplitUel.size());
}

TEST(PdfJobHeader, ALastLineWithoutItsLineFeedIsEndedInEitherPart)
{
    for (const std::string last : {"@PJL SET OUTBIN=UPPER", "@PJL COMMENT exit=top"}) {
        // The variable just fills the front part once its line feed is counted.
        std::string h = kSplitUel + "@PJL\n@PJL COMMENT x=" + std::string(kPdfHeaderWindow - 50, 'y') + "\n";
        h += "@PJL SET QTY=" + std::string(kPdfHeaderWindow - 5 - 14 - last.size() - 1 - 14, '1') + "\n" + last;
        const auto parts = splitHeaderAroundPdf(h, 0);
        ASSERT_TRUE(parts) << last;
        EXPECT_LE(parts->front.size() + 5, kPdfHeaderWindow) << last;
        EXPECT_EQ(parts->front.back(), '\n');
        EXPECT_EQ(parts->front.size() + parts->back.size(), h.size() + 1 + 2 * kSplitUel.size() + 5) << last;
    }
}

TEST(PdfJobHeader, VariablesThatDoNotFitInFrontLeaveTheHeaderWhole)
{
    std::string h = kSplitUel + "@PJL\n";
    for (int i = 0; i < 40; ++i) h += "@PJL SET RESOLUTION=600\n";
    EXPECT_EQ(splitHeaderAroundPdf(h, 0), std::nullopt);
}

class PdfSpoolTest : public ::testing::Test {
protected:
    PdfSpoolTest()
    {
        spooler.addQueue("Queue");
        printer = spooler.open("Queue", nullptr);
    }
    test::OutputServices env;
    platform::MemorySpooler spooler;
    std::unique_ptr<platform::Printer> printer;
    SpoolerOutput output{env.services, "ovx"};
    std::string jobFile = env.work.file("job.zjt");
    std::string dataFile = env.work.file("print.pdf");
};

TEST_F(PdfSpoolTest, PdfDataIsFramedByTheTwoPartsPostScriptGetsTheHeaderWhole)
{
    const std::string header = longSplitHeader(30);
    test::writeBytes(jobFile, header);
    const std::string pdf = "%PDF-1.4\n" + std::string(5000, 'p') + "\n%%EOF\n";
    test::writeBytes(dataFile, pdf);
    ASSERT_TRUE(output.send(jobFile, dataFile, *printer, 0));
    const auto parts = splitHeaderAroundPdf(header, 0);
    ASSERT_TRUE(parts);
    EXPECT_EQ(spooler.documents.at(0).bytes, parts->front + pdf + parts->back);
    for (std::size_t size : spooler.documents.at(0).writeSizes) EXPECT_LE(size, kSpoolWriteSize);

    const std::string postscript = "%!PS-Adobe-3.0\nshowpage\n";
    test::writeBytes(dataFile, postscript);
    ASSERT_TRUE(output.send(jobFile, dataFile, *printer, 0));
    EXPECT_EQ(spooler.documents.at(1).bytes, header + postscript);
    // "No" sends the file alone, PDF or not.
    test::writeBytes(dataFile, pdf);
    ASSERT_TRUE(output.send(jobFile, dataFile, *printer, 2));
    EXPECT_EQ(spooler.documents.at(2).bytes, pdf);
}

#ifndef _WIN32
// Ghostscript, the interpreter a print server feeds jobs to, reading a job file:
// what it printed per page, or the error it gave.
std::string ghostscriptPages(const std::string& path)
{
    const std::string command = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=inkcov -o - '" + path + "' 2>&1";
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[512];
        while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, p)) out.append(buffer, got);
        pclose(p);
    }
    // The one warning any header before a PDF earns.
    const std::string garbage = "   **** Warning: File has some garbage before %PDF- .\n";
    if (const auto at = out.find(garbage); at != std::string::npos) out.erase(at, garbage.size());
    return out;
}

TEST(PdfJobHeaderGhostscript, ReadsEveryPageOfAJobWithALongHeaderSplitAroundThePdf)
{
    if (std::system("gs --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "Ghostscript is not installed";
    test::ScratchDir dir;
    const std::string pdfPath = dir.file("alone.pdf");
    const std::string make = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -o '" + pdfPath +
                             "' -c '/Helvetica findfont 20 scalefont setfont 72 700 moveto (one) show showpage "
                             "72 500 moveto (two two) show showpage' >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0);
    std::ifstream in(pdfPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string pdf = ss.str();
    const std::string alone = ghostscriptPages(pdfPath);
    ASSERT_NE(alone.find("CMYK OK"), std::string::npos) << alone;

    auto render = [&](const std::string& job) {
        const std::string path = dir.file("job.bin");
        test::writeBytes(path, job);
        return ghostscriptPages(path);
    };
    // A header that just fits, one byte more sent as it is, and the same split.
    std::string fits = kSplitUel + "@PJL\n@PJL COMMENT x=";
    fits += std::string(kPdfHeaderWindow - 5 - fits.size() - 1, 'y') + "\n";
    EXPECT_EQ(render(fits + pdf), alone);
    const std::string tooLong = fits + "@PJL COMMENT z=1\n";
    EXPECT_NE(render(tooLong + pdf), alone) << "the window is wider than thought: the split is not needed";
    const auto parts = splitHeaderAroundPdf(tooLong, 0);
    ASSERT_TRUE(parts);
    EXPECT_EQ(render(parts->front + pdf + parts->back), alone);
    // A production-sized header of several kilobytes.
    const auto big = splitHeaderAroundPdf(longSplitHeader(80), 0);
    ASSERT_TRUE(big);
    EXPECT_EQ(render(big->front + pdf + big->back), alone);
}
#endif

} // namespace
} // namespace orvox
