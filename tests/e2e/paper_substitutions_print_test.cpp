// Paper substitutions made by the operator on the page reach the printer: a
// page exception and an insert added with the page's controls appear in the
// job header the capture printer receives.
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

// The line after the one holding `at`, without its trailing blanks.
std::string lineAfter(const std::string& job, std::size_t at)
{
    const auto begin = job.find('\n', at);
    if (begin == std::string::npos) return {};
    const auto end = job.find('\n', begin + 1);
    std::string line = job.substr(begin + 1, end == std::string::npos ? std::string::npos : end - begin - 1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    return line;
}

// A text as the job header's comment lines carry it: every byte outside the
// printable range, and the grammar's own '%', '(', ')' and '"', as %XX.
std::string headerText(const std::string& text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : text) {
        if (c < 0x21 || c > 0x7E || c == '%' || c == '(' || c == ')' || c == '"') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

std::vector<std::string> g_said;

int answerOk(const char* text, unsigned /*type*/, int* show)
{
    g_said.push_back(text ? text : "");
    *show = 0;
    return IDOK;
}

HWND substitutionsPage(HWND main)
{
    HWND tabs = GetDlgItem(main, 57616);
    SendMessageA(tabs, WM_KEYDOWN, VK_CONTROL, 0);
    SendMessageA(tabs, WM_KEYDOWN, '6', 0);
    SendMessageA(tabs, WM_KEYUP, '6', 0);
    for (HWND child = GetWindow(tabs, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, 1009)) return child;
    return nullptr;
}

void addRow(HWND page, int paperItem, const char* pages)
{
    HWND combo = GetDlgItem(page, 1036);
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(paperItem), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1036, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    SetDlgItemTextA(page, 1031, pages);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1006, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1006)));
}

std::string paperName(HWND page, int item)
{
    char name[300] = {};
    SendDlgItemMessageA(page, 1036, CB_GETLBTEXT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(name));
    return name;
}

TEST(PaperSubstitutionsPrint, ExceptionsAndInsertsAddedOnThePageReachTheHeader)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());

    const std::filesystem::path file = std::filesystem::temp_directory_path() / "orvox-e2e-subst.ps";
    std::ofstream(file, std::ios::binary) << "%!PS-Adobe-3.0\nshowpage\nshowpage\nshowpage\n%%EOF\n";

    test::OrvoxBinding orvox;
    ASSERT_EQ(orvox.load("Orvox.dll"), 0);
    HWND host = createHostWindow("OrvoxE2eSubstHost");
    ASSERT_EQ(orvox.InitMain(answerOk, nullptr), 0);
    ASSERT_EQ(orvox.CreateMain(host, 0, "e2e"), 0);
    HWND main = nullptr;
    ASSERT_EQ(orvox.GetWindowMain(&main), 0);

    int line = -1;
    const std::string xml = "<PRINTER_SETTINGS><PRINTER>" + queue + "</PRINTER><FILES_TO_PRINT><FILE>" +
                            file.string() + "</FILE></FILES_TO_PRINT></PRINTER_SETTINGS>";
    ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0) << line;

    HWND page = substitutionsPage(main);
    ASSERT_NE(page, nullptr);
    addRow(page, 2, "2..3");
    addRow(page, 3, "^2");
    ASSERT_EQ(SendDlgItemMessageA(page, 1009, LB_GETCOUNT, 0, 0), 3) << "two rows and the blank one";
    const std::string exceptionPaper = paperName(page, 2);
    const std::string insertPaper = paperName(page, 3);

    g_said.clear();
    const int printed = orvox.Print();
    std::string said;
    for (const auto& text : g_said) said += text + "\n";
    EXPECT_EQ(printed, 0) << said;
    if (printed == 0) {
        const auto jobs = capture.waitForNewJobs(1);
        ASSERT_EQ(jobs.size(), 1u);
        const std::string& job = jobs[0];
        // Pages 2 and 3 on the first paper, one-sided; an insert of the second
        // paper after page 1. Paper names travel encoded in the comment lines.
        const auto exception = job.find("@PJL COMMENT page-media=(" + headerText(exceptionPaper) + ") simplex");
        ASSERT_NE(exception, std::string::npos) << job;
        const std::string exceptionPages = lineAfter(job, exception);
        EXPECT_EQ(exceptionPages.rfind("@PJL\tCOMMENT\t+=", 0), 0u) << job;
        EXPECT_NE(exceptionPages.find(" 2  3"), std::string::npos) << job;
        const auto insert = job.find("@PJL COMMENT inserts=(" + headerText(insertPaper) + ")");
        ASSERT_NE(insert, std::string::npos) << job;
        // The caret before page 2 is an insert after page 1.
        EXPECT_EQ(lineAfter(job, insert), "@PJL\tCOMMENT\t+=1") << job;
        EXPECT_EQ(job.find("page-media=(" + headerText(insertPaper) + ")"), std::string::npos)
            << "a caret list prints no page exception";
    }
    EXPECT_EQ(orvox.Exit(1), 0);
    DestroyWindow(host);
    std::error_code ec;
    std::filesystem::remove(file, ec);
}

} // namespace
} // namespace orvox::e2e
