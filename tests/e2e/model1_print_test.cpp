// Jobs for printer model 1 through the library to the capture printer: every
// printer language and printing mode, the colour mapping set on its page and
// the questions the run asks about colours and papers, and the remove-Ctrl-D
// switch set on the Custom options page.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "orvox_binding.h"

namespace orvox::e2e {
namespace {

struct Box {
    std::string text;
    unsigned type;
};
std::vector<Box> g_boxes;
int g_answer = IDOK;

int scriptedAnswer(const char* text, unsigned type, int* show)
{
    g_boxes.push_back({text ? text : "", type});
    *show = 0;
    if ((type & MB_TYPEMASK) == MB_YESNO || (type & MB_TYPEMASK) == MB_YESNOCANCEL) return IDYES;
    return g_answer;
}

std::string resourceText(unsigned id)
{
    static HMODULE module = LoadLibraryExA("orvoxRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char buffer[2048] = {};
    const int n = LoadStringA(module, id, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? n : 0);
}

const std::string kPostScript = "%!PS-Adobe-3.0\n/Helvetica findfont 24 scalefont setfont\n"
                                "72 720 moveto (Model 1) show showpage\n%%EOF\n";
const std::string kPcl = "\x1b" "E\x1b&l26A\x1b&l0O\x1b(s0p12h10v0s0b3T Model 1 in PCL\f\x1b" "E";
const std::string kPdf = "%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj\n"
                         "2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj\n"
                         "3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 595 842]>>endobj\n"
                         "trailer<</Root 1 0 R>>\n%%EOF\n";

class Model1PrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        queue = envOrEmpty("ORVOX_QUEUE");
        ASSERT_FALSE(queue.empty());
        ASSERT_TRUE(capture.configured());
        ASSERT_EQ(orvox.load("Orvox.dll"), 0);
        host = createHostWindow("OrvoxModel1Host");
        g_boxes.clear();
        g_answer = IDOK;
        ASSERT_EQ(orvox.InitMain(scriptedAnswer, nullptr), 0);
        ASSERT_EQ(orvox.CreateMain(host, 0, "e2e"), 0);
        ASSERT_EQ(orvox.GetWindowMain(&main), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(orvox.Exit(1), 0);
        DestroyWindow(host);
        std::error_code ec;
        for (const auto& file : files) std::filesystem::remove(file, ec);
    }

    std::string file(const std::string& name, const std::string& bytes)
    {
        const auto path = std::filesystem::temp_directory_path() / ("orvox-m1-" + name);
        std::ofstream(path, std::ios::binary) << bytes;
        files.push_back(path);
        return path.string();
    }
    // The operator empties the Files page's list: all rows selected, Remove.
    void clearFileList() const
    {
        HWND page = openPage('2', 1003);
        ASSERT_NE(page, nullptr);
        SendDlgItemMessageA(page, 1000, LB_SETSEL, TRUE, -1);
        SendMessageA(GetDlgItem(page, 1003), BM_CLICK, 0, 0);
        ASSERT_EQ(SendDlgItemMessageA(page, 1000, LB_GETCOUNT, 0, 0), 0);
    }
    // An XML job for model 1 on the test's queue with `path` as its only file;
    // `extra` goes inside PRINTER_SETTINGS.
    void loadJob(const std::string& path, const std::string& extra = {})
    {
        ASSERT_EQ(orvox.NewSettings(), 0);
        clearFileList();
        int line = -1;
        const std::string xml = "<PRINTER_SETTINGS><PRINTER>" + queue +
                                "</PRINTER><PRINTER_MODEL>ID_PRINTERMODEL_OTHER</PRINTER_MODEL>" + extra +
                                "<FILES_TO_PRINT><FILE>" + path + "</FILE></FILES_TO_PRINT></PRINTER_SETTINGS>";
        ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0) << line;
    }
    int print()
    {
        g_boxes.clear();
        return orvox.Print();
    }
    std::string said() const
    {
        std::string text;
        for (const auto& box : g_boxes) text += box.text + "\n";
        return text;
    }
    bool asked(unsigned id) const
    {
        for (const auto& box : g_boxes)
            if (box.text == resourceText(id)) return true;
        return false;
    }

    // The page of the tab at `position` (Ctrl+1..7), when that tab can be selected.
    HWND openPage(char digit, int probeId) const
    {
        HWND tabs = GetDlgItem(main, 57616);
        SendMessageA(tabs, WM_KEYDOWN, VK_CONTROL, 0);
        SendMessageA(tabs, WM_KEYDOWN, static_cast<WPARAM>(digit), 0);
        SendMessageA(tabs, WM_KEYUP, static_cast<WPARAM>(digit), 0);
        for (HWND child = GetWindow(tabs, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, probeId) && (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)) return child;
        return nullptr;
    }
    static void choose(HWND page, int id, int index)
    {
        HWND combo = GetDlgItem(page, id);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    // Red, green, blue, ... mapped to printer colours `items` on the Colour mapping page.
    void mapColours(std::initializer_list<int> items)
    {
        static constexpr int kCombos[] = {1000, 1002, 1003, 1004, 1005, 1010, 1007, 1008};
        HWND page = openPage('7', 1121);
        ASSERT_NE(page, nullptr) << "the colour tab is offered on model 1";
        int k = 0;
        for (int item : items) choose(page, kCombos[k++], item);
    }
    // " Red Highlight1 ": the header's words for a colour slot and a printer colour.
    static std::string mapping(int slot, int colour)
    {
        return " " + resourceText(2250 + 39 + static_cast<unsigned>(slot)) + " " +
               resourceText(2250 + 87 + static_cast<unsigned>(colour)) + " ";
    }

    test::OrvoxBinding orvox;
    CaptureFolder capture;
    std::string queue;
    HWND host = nullptr;
    HWND main = nullptr;
    std::vector<std::filesystem::path> files;
};

TEST_F(Model1PrintTest, EveryLanguageAndPrintingModeReachesThePrinter)
{
    const struct {
        const char* keyword;
        std::string bytes;
        const char* name;
    } languages[] = {{"ID_FILE_TYPE_PS", kPostScript, "job.ps"},
                     {"ID_FILE_TYPE_PCL", kPcl, "job.pcl"},
                     {"ID_FILE_TYPE_PDF", kPdf, "job.pdf"}};
    const char* modes[] = {"ID_ONE_SIDED", "ID_TWO_SIDED_FLIP_LONG", "ID_TWO_SIDED_FLIP_SHORT"};
    for (const auto& language : languages) {
        const std::string path = file(language.name, language.bytes);
        std::vector<std::string> headers;
        for (const char* mode : modes) {
            SCOPED_TRACE(std::string(language.keyword) + " " + mode);
            loadJob(path, std::string("<PRINTER_LANGUAGE>") + language.keyword + "</PRINTER_LANGUAGE><PRINTING_MODE>" +
                              mode + "</PRINTING_MODE>");
            ASSERT_EQ(print(), 0) << said();
            const auto jobs = capture.waitForNewJobs(1);
            ASSERT_EQ(jobs.size(), 1u);
            EXPECT_TRUE(capture.waitForNewJobs(1, std::chrono::milliseconds(500)).empty()) << "one file, one job";
            const std::string& job = jobs[0];
            ASSERT_GT(job.size(), language.bytes.size());
            EXPECT_EQ(job.substr(job.size() - language.bytes.size()), language.bytes) << "the file follows its header";
            const std::string header = job.substr(0, job.size() - language.bytes.size());
            EXPECT_EQ(header.rfind("\x1b%-12345X", 0), 0u);
            headers.push_back(header);
        }
        EXPECT_NE(headers[0], headers[1]) << "one-sided and long edge differ in the header";
        EXPECT_NE(headers[1], headers[2]) << "long and short edge differ in the header";
        EXPECT_NE(headers[0], headers[2]);
    }
}

TEST_F(Model1PrintTest, ColoursSetOnThePageReachTheHeaderAndMoreThanThreeAreQuestioned)
{
    const std::string path = file("colours.ps", kPostScript);
    loadJob(path);
    mapColours({1, 2, 3});
    ASSERT_EQ(print(), 0) << said();
    EXPECT_FALSE(asked(11)) << "three highlight colours need no question";
    auto jobs = capture.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].find(mapping(0, 1)), std::string::npos) << "red as highlight colour 1";
    EXPECT_NE(jobs[0].find(mapping(2, 3)), std::string::npos) << "blue as highlight colour 3";

    mapColours({1, 2, 3, 4});
    g_answer = IDCANCEL;
    EXPECT_EQ(print(), 20);
    EXPECT_TRUE(asked(11)) << said();
    EXPECT_TRUE(capture.waitForNewJobs(1, std::chrono::milliseconds(1500)).empty()) << "nothing was sent";

    g_answer = IDOK;
    ASSERT_EQ(print(), 0) << said();
    EXPECT_TRUE(asked(11));
    jobs = capture.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].find(mapping(3, 4)), std::string::npos) << "cyan as highlight colour 4";
}

TEST_F(Model1PrintTest, AStoredColourThatIsNoPrinterColourDoesNotRefuseTheJob)
{
    const std::string path = file("odd-colour.ps", kPostScript);
    loadJob(path);
    mapColours({1, 2});
    // The same job from a settings file whose red holds no printer colour.
    const auto settings = std::filesystem::temp_directory_path() / "orvox-m1-odd-colour.ovx";
    files.push_back(settings);
    ASSERT_EQ(orvox.SaveSettings(settings.string().c_str()), 0);
    std::string bytes;
    {
        std::ifstream in(settings, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::size_t red = resourceText(1088).size() + 4 + 6916;  // colorMapping[0] in the record
    ASSERT_GT(bytes.size(), red + 2);
    bytes[red] = 9;
    bytes[red + 1] = 0;
    std::ofstream(settings, std::ios::binary | std::ios::trunc) << bytes;
    ASSERT_EQ(orvox.OpenSettings(settings.string().c_str()), 0);

    HWND page = openPage('7', 1121);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(page, 1000, CB_GETCURSEL, 0, 0), CB_ERR) << "red shows no printer colour";
    EXPECT_EQ(SendDlgItemMessageA(page, 1002, CB_GETCURSEL, 0, 0), 2);
    ASSERT_EQ(print(), 0) << said();
    EXPECT_FALSE(asked(86)) << said();
    EXPECT_FALSE(asked(11)) << "a colour without selection counts no highlight colours";
    const auto jobs = capture.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].find(mapping(1, 2)), std::string::npos) << "green as highlight colour 2";
}

TEST_F(Model1PrintTest, FivePapersAreQuestionedAndCancelRefusesWith20)
{
    const std::string path = file("papers.ps", kPostScript);
    std::string substitutions = "<PAPER_SUBSTITUTIONS>";
    for (int paper = 2; paper <= 4; ++paper)
        substitutions += "<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>" + std::to_string(paper) + "</PAGE_RANGE><PAPER>" +
                         std::to_string(paper) + "</PAPER></PAPER_SUBSTITUTION_ITEM>";
    loadJob(path, substitutions + "</PAPER_SUBSTITUTIONS>");
    ASSERT_EQ(print(), 0) << said();
    EXPECT_FALSE(asked(213)) << "four papers with the body paper";
    ASSERT_EQ(capture.waitForNewJobs(1).size(), 1u);

    substitutions += "<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>9</PAGE_RANGE><PAPER>5</PAPER></PAPER_SUBSTITUTION_ITEM>";
    loadJob(path, substitutions + "</PAPER_SUBSTITUTIONS>");
    g_answer = IDCANCEL;
    EXPECT_EQ(print(), 20);
    ASSERT_TRUE(asked(213)) << said();
    for (const auto& box : g_boxes) {
        if (box.text == resourceText(213)) {
            EXPECT_EQ(box.type, static_cast<unsigned>(MB_OKCANCEL | MB_ICONQUESTION));
        }
    }
    EXPECT_TRUE(capture.waitForNewJobs(1, std::chrono::milliseconds(1500)).empty()) << "nothing was sent";

    g_answer = IDOK;
    EXPECT_EQ(print(), 0) << said();
    EXPECT_EQ(capture.waitForNewJobs(1).size(), 1u);
}

TEST_F(Model1PrintTest, CtrlDRemovalSwitchedOnThePageHoldsForTheNextSettings)
{
    const std::string body = "%!PS-Adobe-3.0\nshowpage\n";
    const std::string path = file("ctrl-d.ps", "\x04\x04\x04" + body + "\x04\x04");
    HWND page = openPage('5', 1120);
    ASSERT_NE(page, nullptr);
    SendMessageA(GetDlgItem(page, 1120), BM_CLICK, 0, 0);
    ASSERT_EQ(IsDlgButtonChecked(page, 1120), BST_CHECKED);
    ASSERT_EQ(orvox.NewSettings(), 0);

    loadJob(path);
    ASSERT_EQ(print(), 0) << said();
    auto jobs = capture.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    ASSERT_GE(jobs[0].size(), body.size());
    EXPECT_EQ(jobs[0].substr(jobs[0].size() - body.size()), body);
    EXPECT_EQ(jobs[0].find("\x04\x04"), std::string::npos) << "no Ctrl-D left around the file";

    // Switched off again, the file goes out as it is.
    SendMessageA(GetDlgItem(openPage('5', 1120), 1120), BM_CLICK, 0, 0);
    ASSERT_EQ(print(), 0) << said();
    jobs = capture.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    const std::string raw = "\x04\x04\x04" + body + "\x04\x04";
    ASSERT_GE(jobs[0].size(), raw.size());
    EXPECT_EQ(jobs[0].substr(jobs[0].size() - raw.size()), raw);
}

} // namespace
} // namespace orvox::e2e
