// The whole way a host prints: load Orvox.dll, describe the job as XML (file
// and printer queue), call Orvo_Print, and find header and file at the printer.
#include <windows.h>
#include <commctrl.h>

#include <chrono>
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

std::vector<std::string> g_boxes;

int answerEverything(const char* text, unsigned type, int* show)
{
    g_boxes.push_back(text ? text : "");
    *show = 0;
    return (type & MB_TYPEMASK) == MB_YESNO || (type & MB_TYPEMASK) == MB_YESNOCANCEL ? IDYES : IDOK;
}

TEST(LibraryPrint, AJobDescribedInXmlReachesThePrinter)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());

    const std::filesystem::path file = std::filesystem::temp_directory_path() / "orvox-e2e-page.ps";
    const std::string postscript = "%!PS-Adobe-3.0\n/Helvetica findfont 24 scalefont setfont\n"
                                   "72 720 moveto (Orvox end to end) show showpage\n%%EOF\n";
    {
        std::ofstream out(file, std::ios::binary);
        out << postscript;
    }

    test::OrvoxBinding orvox;
    ASSERT_EQ(orvox.load("Orvox.dll"), 0);
    HWND host = createHostWindow("OrvoxE2eHost");
    ASSERT_EQ(orvox.InitMain(answerEverything, nullptr), 0);
    ASSERT_EQ(orvox.CreateMain(host, 0, "e2e"), 0);

    int line = -1;
    // In capitals: the Printers page shows the printer name and the save-as path so.
    const std::string xml = "<PRINTER_SETTINGS><PRINTER>" + queue + "</PRINTER><FILES_TO_PRINT><FILE>" +
                            file.string() + "</FILE></FILES_TO_PRINT></PRINTER_SETTINGS>";
    ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0) << line;
    g_boxes.clear();
    const int printed = orvox.Print();
    std::string said;
    for (const auto& box : g_boxes) said += box + "\n";
    EXPECT_EQ(printed, 0) << said;

    if (printed == 0) {
        const auto jobs = capture.waitForNewJobs(1);
        ASSERT_EQ(jobs.size(), 1u);
        const std::string& job = jobs[0];
        // The job header in the printer's language comes first, the file after it.
        EXPECT_EQ(job.rfind("\x1b%-12345X", 0), 0u);
        ASSERT_GE(job.size(), postscript.size());
        EXPECT_EQ(job.substr(job.size() - postscript.size()), postscript);
    }
    EXPECT_EQ(orvox.Exit(1), 0);
    DestroyWindow(host);
    std::error_code ec;
    std::filesystem::remove(file, ec);
}

// An operator's job: three copies, two-sided on the long edge, offset
// stacking into the stacker. (Model 0: a model-1 job is refused until the
// colour mapping page reports the colours in use, which it does not yet.) The printer gets them as job-control variables, and the
// PostScript interpreter runs the job as received and draws what the file alone draws.
TEST(LibraryPrint, ThreeCopiesTwoSidedArriveAsJobControlVariablesAndTheJobStillRuns)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());

    // Files on the Linux side too, so that Ghostscript can read them.
    const std::string linuxDir = "/tmp/orvox-e2e-gs-" + std::to_string(GetCurrentProcessId());
    const std::string dosDir = toWindowsPath(linuxDir).string();
    std::filesystem::create_directories(dosDir);
    const std::string postscript = "%!PS-Adobe-3.0\n%%Pages: 2\n/Helvetica findfont 24 scalefont setfont\n"
                                   "72 720 moveto (Front of the sheet) show showpage\n"
                                   "72 720 moveto (Back of the sheet) show showpage\n%%EOF\n";
    {
        std::ofstream out(dosDir + "\\job.ps", std::ios::binary);
        out << postscript;
    }

    test::OrvoxBinding orvox;
    ASSERT_EQ(orvox.load("Orvox.dll"), 0);
    HWND host = createHostWindow("OrvoxE2eHost2");
    ASSERT_EQ(orvox.InitMain(answerEverything, nullptr), 0);
    ASSERT_EQ(orvox.CreateMain(host, 0, "e2e"), 0);

    int line = -1;
    const std::string xml = "<PRINTER_SETTINGS><PRINTING_MODE>ID_TWO_SIDED_FLIP_LONG</PRINTING_MODE>"
                            "<DOCUMENT_EXIT>ID_OUTPUT_DEVICE_STACKER</DOCUMENT_EXIT>"
                            "<OFFSET_STACKING>ID_STACK_MODE_OFFSET</OFFSET_STACKING><PRINTER>" +
                            queue + "</PRINTER><FILES_TO_PRINT><FILE>" + dosDir +
                            "\\job.ps</FILE></FILES_TO_PRINT></PRINTER_SETTINGS>";
    ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0) << line;

    // The operator selects the Job Setup 1 tab and types three copies.
    HWND mainWindow = nullptr;
    ASSERT_EQ(orvox.GetWindowMain(&mainWindow), 0);
    HWND tabs = GetDlgItem(mainWindow, 57616);
    constexpr int kCopiesEdit = 2612;
    constexpr int kSetup1Probe = 1152;  // a control only the Job Setup 1 page has
    HWND setup1 = showPageWith(tabs, kSetup1Probe);
    ASSERT_NE(setup1, nullptr);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(setup1, kCopiesEdit)));
    SetDlgItemTextA(setup1, kCopiesEdit, "3");

    g_boxes.clear();
    const int printed = orvox.Print();
    std::string said;
    for (const auto& box : g_boxes) said += box + "\n";
    EXPECT_EQ(printed, 0) << said;
    if (printed == 0) {
        const auto jobs = capture.waitForNewJobs(1);
        ASSERT_EQ(jobs.size(), 1u);
        const std::string& job = jobs[0];
        ASSERT_GT(job.size(), postscript.size());
        ASSERT_EQ(job.substr(job.size() - postscript.size()), postscript);
        const std::string header = job.substr(0, job.size() - postscript.size());
        EXPECT_EQ(test::pjlHeaderError(header), "") << header;
        const test::TicketReading ticket = test::readTicket(header);
        EXPECT_EQ(ticket.error, "");
        EXPECT_EQ(ticket.variables.count("QTY") ? ticket.variables.at("QTY") : "", "3") << header;
        EXPECT_EQ(ticket.variables.count("DUPLEX") ? ticket.variables.at("DUPLEX") : "", "ON") << header;
        EXPECT_EQ(ticket.variables.count("BINDING") ? ticket.variables.at("BINDING") : "", "LONGEDGE") << header;
        EXPECT_EQ(ticket.variables.count("JOBOFFSET") ? ticket.variables.at("JOBOFFSET") : "", "ON") << header;
        EXPECT_EQ(ticket.variables.count("OUTBIN") ? ticket.variables.at("OUTBIN") : "", "OPTIONALOUTBIN1") << header;
        // The Files page lists names in capitals.
        EXPECT_EQ(ticket.variables.count("JOBNAME") ? ticket.variables.at("JOBNAME") : "", "JOB.PS") << header;

        {
            std::ofstream out(dosDir + "\\received.bin", std::ios::binary);
            out << job;
        }
        EXPECT_EQ(sameRendering(linuxDir, "received.bin", "job.ps"), "0\n")
            << "Ghostscript did not run the received job whole, or drew other pages";
    }
    EXPECT_EQ(orvox.Exit(1), 0);
    DestroyWindow(host);
    std::error_code ec;
    std::filesystem::remove_all(dosDir, ec);
}

// The operator's texts reach the printer in the printer's spelling (hyphens as
// soft hyphens, a grave accent as an opening quote), but printing never changes
// them: a second print of the same settings sends the same bytes, and the pages
// and the saved settings keep what was typed.
TEST(LibraryPrint, PrintingTwiceSendsTheSameJobAndKeepsTheTypedTexts)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orvox-e2e-texts-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "texts.ps";
    const std::filesystem::path saved = folder / "texts.ovx";
    const std::string postscript = "%!PS-Adobe-3.0\n72 720 moveto showpage\n%%EOF\n";
    std::ofstream(file, std::ios::binary) << postscript;

    test::OrvoxBinding orvox;
    ASSERT_EQ(orvox.load("Orvox.dll"), 0);
    HWND host = createHostWindow("OrvoxE2eTextsHost");
    ASSERT_EQ(orvox.InitMain(answerEverything, nullptr), 0);
    ASSERT_EQ(orvox.CreateMain(host, 0, "e2e"), 0);

    int line = -1;
    // In capitals: the Printers page shows the printer name and the save-as path so.
    const std::string xml = "<PRINTER_SETTINGS><PRINTER>" + queue + "</PRINTER><FILES_TO_PRINT><FILE>" +
                            file.string() +
                            "</FILE></FILES_TO_PRINT><PRINT_SERVER_OPTIONS><PRINT>ON</PRINT>"
                            "<SAVE_AS>ON<SAVE_AS_STRING>C:\\OUT\\RUN-1.PRN</SAVE_AS_STRING></SAVE_AS>"
                            "<SPECIFIC_PRINTER>ON<SPECIFIC_PRINTER_STRING>HALL-2</SPECIFIC_PRINTER_STRING>"
                            "</SPECIFIC_PRINTER></PRINT_SERVER_OPTIONS></PRINTER_SETTINGS>";
    ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0) << line;

    HWND mainWindow = nullptr;
    ASSERT_EQ(orvox.GetWindowMain(&mainWindow), 0);
    HWND tabs = GetDlgItem(mainWindow, 57616);
    constexpr int kOperatorMessage = 1040, kDeliverTo = 1041, kChargeNumber = 1074, kEmail = 1075;
    HWND setup2 = showPageWith(tabs, kOperatorMessage);
    ASSERT_NE(setup2, nullptr);
    const std::string deliverTo = "Room-12 Smith-Jones `B`";
    const std::string message = "Call Ann - `urgent`";
    const std::string account = "CC-4711";
    const std::string email = "print-room@example.org";
    SetDlgItemTextA(setup2, kDeliverTo, deliverTo.c_str());
    SetDlgItemTextA(setup2, kOperatorMessage, message.c_str());
    SetDlgItemTextA(setup2, kChargeNumber, account.c_str());
    SetDlgItemTextA(setup2, kEmail, email.c_str());

    std::vector<std::string> headers;
    for (int print = 0; print < 2; ++print) {
        if (print == 1) {
            // The operator looks at another page and comes back: the page shows the document again.
            ASSERT_NE(showPageWith(tabs, 1152), nullptr);  // a control only the Job Setup 1 page has
            ASSERT_EQ(showPageWith(tabs, kOperatorMessage), setup2);
        }
        g_boxes.clear();
        const int printed = orvox.Print();
        std::string said;
        for (const auto& box : g_boxes) said += box + "\n";
        ASSERT_EQ(printed, 0) << said;
        const auto jobs = capture.waitForNewJobs(1);
        ASSERT_EQ(jobs.size(), 1u);
        ASSERT_GT(jobs[0].size(), postscript.size());
        ASSERT_EQ(jobs[0].substr(jobs[0].size() - postscript.size()), postscript);
        headers.push_back(jobs[0].substr(0, jobs[0].size() - postscript.size()));
    }
    EXPECT_EQ(headers[0], headers[1]) << "first difference at byte " << firstDifference(headers[0], headers[1]);
    EXPECT_NE(headers[0].find("deliver-to=(Room%AD12%20Smith%ADJones%20%91B%91)"), std::string::npos) << headers[0];
    EXPECT_NE(headers[0].find("operator-message=(Call%20Ann%20%AD%20%91urgent%91)"), std::string::npos);
    EXPECT_NE(headers[0].find("account=(CC-4711)"), std::string::npos);
    EXPECT_NE(headers[0].find("notify-email=(print%ADroom@example.org)"), std::string::npos);
    EXPECT_NE(headers[0].find("route-printer=(HALL%AD2) routed"), std::string::npos) << headers[0];
    EXPECT_NE(headers[0].find("save-as=continue (C:\\OUT\\RUN%AD1.PRN)"), std::string::npos);

    // The page still shows what was typed, and the saved settings hold it.
    char shown[256] = {};
    GetDlgItemTextA(setup2, kDeliverTo, shown, sizeof shown);
    EXPECT_EQ(std::string(shown), deliverTo);
    ASSERT_EQ(orvox.SaveSettings(saved.string().c_str()), 0);
    const std::string file0 = readBytes(saved);
    for (const std::string& typed : {deliverTo, message, account, email, std::string("HALL-2"),
                                     std::string("C:\\OUT\\RUN-1.PRN")}) {
        EXPECT_NE(file0.find(typed + '\0'), std::string::npos) << "not in the saved settings: " << typed;
    }
    EXPECT_EQ(file0.find('\xAD'), std::string::npos) << "a soft hyphen reached the saved settings";

    EXPECT_EQ(orvox.Exit(1), 0);
    DestroyWindow(host);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

} // namespace
} // namespace orvox::e2e
