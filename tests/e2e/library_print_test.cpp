// The whole way a host prints: load Orvox.dll, describe the job as XML (file
// and printer queue), call Orvo_Print, and find header and file at the printer.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
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
    WNDCLASSA wc{};
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvoxE2eHost";
    RegisterClassA(&wc);
    HWND host = CreateWindowA("OrvoxE2eHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 900, 700, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    ASSERT_EQ(orvox.InitMain(answerEverything, nullptr), 0);
    ASSERT_EQ(orvox.CreateMain(host, 0, "e2e"), 0);

    int line = -1;
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

} // namespace
} // namespace orvox::e2e
