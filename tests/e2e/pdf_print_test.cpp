// PDF jobs with a production-sized job header, printed through the library to
// the capture printer: a PDF file and a batch of TIFF files made into one PDF.
// The header is longer than the 1024 bytes within which a reader of the whole
// job looks for the PDF header, so it arrives in two parts around the data;
// Ghostscript must run what the printer received whole and draw the same
// pages as the PDF alone, and the two parts must read back into the settings.
#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../unit/pjl_header_check.h"
#include "e2e_support.h"
#include "orvox_binding.h"

namespace orvox::e2e {
namespace {

const std::string kPdfJobUel = "\x1B%-12345X";

std::vector<std::string> g_pdfJobBoxes;

int answerPdfJob(const char* text, unsigned type, int* show)
{
    g_pdfJobBoxes.push_back(text ? text : "");
    *show = 0;
    return (type & MB_TYPEMASK) == MB_YESNO || (type & MB_TYPEMASK) == MB_YESNOCANCEL ? IDYES : IDOK;
}

// A received job cut where the printer switches language: the job-control part
// before the PDF, the PDF, and the job-control part after it (may be empty).
struct ReceivedPdfJob {
    std::string front, pdf, back;
};

ReceivedPdfJob cutReceivedPdfJob(const std::string& job)
{
    ReceivedPdfJob r;
    const std::size_t pdf = job.find("%PDF-");
    if (pdf == std::string::npos) return r;
    const std::size_t back = job.find(kPdfJobUel + "@PJL", pdf);
    r.front = job.substr(0, pdf);
    r.pdf = job.substr(pdf, back == std::string::npos ? std::string::npos : back - pdf);
    if (back != std::string::npos) r.back = job.substr(back);
    return r;
}

void chooseItem(HWND page, int comboId, int item)
{
    HWND combo = GetDlgItem(page, comboId);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

class PdfPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(queue.empty());
        ASSERT_TRUE(capture.configured());
        std::filesystem::create_directories(dosDir);
    }
    void TearDown() override
    {
        if (started) {
            EXPECT_EQ(orvox.Exit(1), 0);
        }
        if (host) DestroyWindow(host);
        std::error_code ec;
        if (!::testing::Test::HasFailure()) std::filesystem::remove_all(dosDir, ec);
    }

    void start()
    {
        ASSERT_EQ(orvox.load("Orvox.dll"), 0);
        host = createHostWindow("OrvoxE2ePdfHost");
        ASSERT_EQ(orvox.InitMain(answerPdfJob, nullptr), 0);
        ASSERT_EQ(orvox.CreateMain(host, 0, "e2e"), 0);
        started = true;
    }

    // A production job of printer model 0: two-sided, stacker with offset,
    // chapters, page exceptions and inserts from the XML, covers and the
    // operator's texts typed on the job-setup pages.
    void describeProductionJob(const std::string& language, const std::vector<std::string>& files)
    {
        std::string xml = "<PRINTER_SETTINGS><PRINTER_MODEL>ID_PRINTERMODEL_SELVO</PRINTER_MODEL>"
                          "<PRINTER_LANGUAGE>" + language + "</PRINTER_LANGUAGE>"
                          "<PRINTING_MODE>ID_TWO_SIDED_FLIP_LONG</PRINTING_MODE>"
                          "<DOCUMENT_EXIT>ID_OUTPUT_DEVICE_STACKER</DOCUMENT_EXIT>"
                          "<OFFSET_STACKING>ID_STACK_MODE_OFFSET</OFFSET_STACKING>"
                          "<CHAPTER_PAGES>1 3</CHAPTER_PAGES><PAPER_SUBSTITUTIONS>"
                          "<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>2..4</PAGE_RANGE><PAPER>2</PAPER></PAPER_SUBSTITUTION_ITEM>"
                          "<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>^2 ^4</PAGE_RANGE><PAPER>3</PAPER></PAPER_SUBSTITUTION_ITEM>"
                          "</PAPER_SUBSTITUTIONS><PRINTER>" + queue + "</PRINTER><FILES_TO_PRINT>";
        for (const auto& file : files) xml += "<FILE>" + dosDir + "\\" + file + "</FILE>";
        xml += "</FILES_TO_PRINT></PRINTER_SETTINGS>";
        int line = -1;
        ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0) << line;

        HWND main = nullptr;
        ASSERT_EQ(orvox.GetWindowMain(&main), 0);
        HWND tabs = GetDlgItem(main, 57616);
        constexpr int kPrintingMode = 1152, kFrontCover = 1024, kFrontCoverPaper = 1025;
        HWND setup1 = showPageWith(tabs, kPrintingMode);
        ASSERT_NE(setup1, nullptr);
        chooseItem(setup1, kFrontCover, 1);  // printed on side 1
        chooseItem(setup1, kFrontCoverPaper, 2);
        constexpr int kOperatorMessage = 1040, kDeliverTo = 1041, kChargeNumber = 1074, kEmail = 1075;
        HWND setup2 = showPageWith(tabs, kOperatorMessage);
        ASSERT_NE(setup2, nullptr);
        SetDlgItemTextA(setup2, kOperatorMessage, operatorMessage.c_str());
        SetDlgItemTextA(setup2, kDeliverTo, deliverTo.c_str());
        SetDlgItemTextA(setup2, kChargeNumber, "CC 4711 / print room");
        SetDlgItemTextA(setup2, kEmail, "print.room.operators@production.example.org");
    }

    std::string printOneJob()
    {
        g_pdfJobBoxes.clear();
        const int printed = orvox.Print();
        std::string said;
        for (const auto& box : g_pdfJobBoxes) said += box + "\n";
        EXPECT_EQ(printed, 0) << said;
        if (printed != 0) return {};
        const auto jobs = capture.waitForNewJobs(1);
        EXPECT_EQ(jobs.size(), 1u);
        return jobs.empty() ? std::string() : jobs[0];
    }

    // The job-control parts are job-control lines and read back into the job's settings.
    void expectProductionHeader(const ReceivedPdfJob& r, const std::string& dataFormat)
    {
        ASSERT_FALSE(r.pdf.empty());
        EXPECT_LE(r.front.size() + 5, 1024u) << "the PDF header lies beyond the first 1024 bytes";
        ASSERT_FALSE(r.back.empty()) << "the header was short enough not to need its second part";
        EXPECT_GT(r.front.size() + r.back.size(), 1024u);
        ASSERT_TRUE(r.back.ends_with(kPdfJobUel));
        const std::string back = r.back.substr(0, r.back.size() - kPdfJobUel.size());
        EXPECT_EQ(test::pjlHeaderError(r.front), "") << r.front;
        EXPECT_EQ(test::pjlHeaderError(back), "") << back;
        const test::TicketReading front = test::readTicket(r.front);
        test::TicketReading all = front;
        const test::TicketReading rest = test::readTicket(back);
        all.entries.insert(all.entries.end(), rest.entries.begin(), rest.entries.end());
        EXPECT_EQ(front.error + rest.error, "");
        // The printer acts on what stands before the data.
        EXPECT_EQ(front.variables.count("DUPLEX") ? front.variables.at("DUPLEX") : "", "ON") << r.front;
        EXPECT_EQ(front.variables.count("BINDING") ? front.variables.at("BINDING") : "", "LONGEDGE");
        EXPECT_EQ(front.variables.count("OUTBIN") ? front.variables.at("OUTBIN") : "", "OPTIONALOUTBIN1");
        EXPECT_EQ(front.variables.count("JOBOFFSET") ? front.variables.at("JOBOFFSET") : "", "ON");
        EXPECT_EQ(front.variables.count("PAPER") ? front.variables.at("PAPER") : "", "A4");
        EXPECT_EQ(front.variables.count("MEDIATYPE") ? front.variables.at("MEDIATYPE") : "", "PLAIN");
        EXPECT_TRUE(rest.variables.empty());
        using test::TicketReading;
        EXPECT_EQ(TicketReading::texts(all.fieldsOf("chapters")), (std::vector<std::string>{"1", "3"}));
        EXPECT_EQ(TicketReading::texts(all.fieldsOf("page-media")),
                  (std::vector<std::string>{"A4 Recycled 80", "duplex", "2", "4"}))
            << "two-sided: the front of each sheet";
        const auto inserts = TicketReading::texts(all.fieldsOf("inserts"));
        ASSERT_GE(inserts.size(), 3u);
        EXPECT_EQ(std::vector<std::string>(inserts.begin() + 1, inserts.begin() + 3),
                  (std::vector<std::string>{"1", "3"}));
        const auto cover = all.fieldsOf("cover");
        ASSERT_GE(cover.size(), 3u);
        EXPECT_EQ(cover[1].text, "front");
        EXPECT_EQ(cover[2].text, "print-side-1");
        // Hyphens of the operator's texts travel as soft hyphens (the character fix-up).
        std::string message = operatorMessage;
        for (char& c : message) {
            if (c == '-') c = '\xAD';
        }
        // The message is longer than its line holds once its blanks are escaped: it is cut, never garbled.
        const std::string sent = all.fieldsOf("operator-message").at(0).text;
        EXPECT_GT(sent.size(), 100u);
        EXPECT_EQ(message.rfind(sent, 0), 0u) << sent;
        EXPECT_EQ(all.fieldsOf("account").at(0).text, "CC 4711 / print room");
        EXPECT_EQ(all.first("data-format"), dataFormat);
    }

    std::string writeReceived(const std::string& job, const ReceivedPdfJob& r)
    {
        std::ofstream(dosDir + "\\received.bin", std::ios::binary) << job;
        std::ofstream(dosDir + "\\data.pdf", std::ios::binary) << r.pdf;
        return sameRendering(linuxDir, "received.bin", "data.pdf");
    }

    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    const std::string linuxDir = "/tmp/orvox-e2e-pdf-" + std::to_string(GetCurrentProcessId());
    const std::string dosDir = toWindowsPath(linuxDir).string();
    const std::string operatorMessage =
        "Use the heavy stock from shelf 4 for the covers; insert the tab sheets before chapters 1 and 3; "
        "call extension 2210 when the job is finished - do not leave it in the stacker overnight.";
    const std::string deliverTo = "Accounts payable, building C, second floor, room 2.17 (attention: M. Weber)";
    test::OrvoxBinding orvox;
    HWND host = nullptr;
    bool started = false;
};

TEST_F(PdfPrintTest, APdfFileWithAProductionHeaderIsDrawnLikeTheFileAlone)
{
    // Four pages of text, made by Ghostscript itself.
    const std::string make =
        "cd " + linuxDir + " && gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -o job.pdf -c '"
        "/Helvetica findfont 28 scalefont setfont 1 1 4 { 72 700 moveto (Page ) show 3 string cvs show "
        "72 72 moveto 300 0 rlineto stroke showpage } for'";
    ASSERT_EQ(runOnLinux(make, linuxDir + "/made", dosDir + "\\made"), "0\n");
    start();
    describeProductionJob("ID_FILE_TYPE_PDF", {"job.pdf"});
    const std::string job = printOneJob();
    ASSERT_FALSE(job.empty());
    const ReceivedPdfJob r = cutReceivedPdfJob(job);
    expectProductionHeader(r, "pdf");
    // The PDF reaches the printer byte for byte, and Ghostscript draws the received
    // job as it draws the file alone.
    EXPECT_EQ(r.pdf, readBytes(dosDir + "\\job.pdf"));
    EXPECT_EQ(writeReceived(job, r), "0\n") << "Ghostscript did not run the received job whole, or drew other pages";
    EXPECT_EQ(sameRendering(linuxDir, "received.bin", "job.pdf"), "0\n");
}

TEST_F(PdfPrintTest, ATiffBatchWithAProductionHeaderIsDrawnLikeItsPdfAlone)
{
    // Two bilevel TIFF pages, made by Ghostscript; the branding switch that makes
    // TIFF files a batch is set beside the library for this test only.
    const std::string make =
        "cd " + linuxDir + " && gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=tiffg4 -r200 -o scan%d.tif -c '"
        "/Helvetica findfont 40 scalefont setfont 1 1 2 { 72 600 moveto (Scan ) show 3 string cvs show "
        "showpage } for'";
    ASSERT_EQ(runOnLinux(make, linuxDir + "/made", dosDir + "\\made"), "0\n");
    const TiffConversionBranding branding;
    ASSERT_TRUE(branding.written()) << "a branding file of someone else's";
    start();
    describeProductionJob("ID_FILE_TYPE_PS", {"scan1.tif", "scan2.tif"});
    const std::string job = printOneJob();
    ASSERT_FALSE(job.empty());
    const ReceivedPdfJob r = cutReceivedPdfJob(job);
    expectProductionHeader(r, "pdf-from-tiff");
    EXPECT_EQ(writeReceived(job, r), "0\n") << "Ghostscript did not run the received job whole, or drew other pages";
    // One page per TIFF page.
    const std::string count = "cd " + linuxDir + " && test $(ls alone-*.png | wc -l) -eq 2";
    EXPECT_EQ(runOnLinux(count, linuxDir + "/count", dosDir + "\\count"), "0\n");
}

} // namespace
} // namespace orvox::e2e
