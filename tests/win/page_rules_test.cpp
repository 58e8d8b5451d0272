// Rules of the Printers and Files pages that keep what the operator sees and
// what the document holds in step: the TIFF language without TIFF files, a
// printer found unusable, the add-printer button, and the texts of the pages.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ui_host.h"

namespace orvox::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLanguageOffset = 802;  // printerLanguage in the settings record
constexpr int kTiffLanguage = 3;

BOOL CALLBACK cancelDialog(HWND window, LPARAM)
{
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (IsWindowVisible(window) && std::string(cls) == "#32770") PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

void CALLBACK closeDialogs(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), cancelDialog, 0); }

class PageRulesTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        folder_ = fs::temp_directory_path() / ("orvox-rules-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
        std::ofstream(folder_ / "page.ps") << "%!\n";
        std::ofstream(folder_ / "scan.tif") << "II*\n";
    }
    void TearDown() override
    {
        UiHost::TearDown();
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }

    std::string path(const char* name) const { return (folder_ / name).string(); }
    std::size_t recordStart() const { return resourceString(1088).size() + 4; }

    std::string readBytes(const std::string& file) const
    {
        std::ifstream in(file, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    int languageIn(const std::string& file) const
    {
        const std::string bytes = readBytes(file);
        const std::size_t at = recordStart() + kLanguageOffset;
        if (bytes.size() < at + 2) return -1;
        return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
    }
    // A settings file asking for the TIFF language.
    std::string tiffSettingsFile()
    {
        const std::string file = path("tiff.ovx");
        EXPECT_EQ(orvox.SaveSettings(file.c_str()), 0);
        std::string bytes = readBytes(file);
        bytes[recordStart() + kLanguageOffset] = static_cast<char>(kTiffLanguage);
        bytes[recordStart() + kLanguageOffset + 1] = 0;
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
        return file;
    }
    void addFileByXml(const std::string& file)
    {
        int line = 0;
        ASSERT_EQ(orvox.OpenXMLSettings(("<PRINTER_SETTINGS><FILES_TO_PRINT><FILE>" + file +
                                         "</FILE></FILES_TO_PRINT></PRINTER_SETTINGS>").c_str(),
                                        &line),
                  0);
    }

    fs::path folder_;
};

TEST_F(PageRulesTest, TiffLanguageFromAFileFallsBackWithoutTiffFilesAndStaysWithThem)
{
    // Started again with a title hook, to see the modified state the host is told.
    const int ended = orvox.Exit(1);
    ASSERT_TRUE(ended == 0 || ended == 5) << ended;
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 0);
    ASSERT_EQ(createMain(), 0);
    HWND files = pageWith(1066);
    ASSERT_NE(files, nullptr);
    HWND language = GetDlgItem(files, 1066);
    const std::string tiff = tiffSettingsFile();
    ASSERT_EQ(languageIn(tiff), kTiffLanguage);

    // Nothing to convert: the combo and the document both say PostScript, and
    // opening the file did not make the document modified.
    hookLog().titles.clear();
    ASSERT_EQ(orvox.OpenSettings(tiff.c_str()), 0);
    EXPECT_EQ(SendMessageA(language, CB_GETCURSEL, 0, 0), 0);
    ASSERT_FALSE(hookLog().titles.empty());
    EXPECT_EQ(hookLog().titles.back().back(), '0') << hookLog().titles.back();
    const std::string saved = path("saved.ovx");
    ASSERT_EQ(orvox.SaveSettings(saved.c_str()), 0);
    EXPECT_EQ(languageIn(saved), 0) << "the document agrees with the combo";
    EXPECT_EQ(languageIn(tiff), kTiffLanguage) << "the file itself is left as it was";

    // With a TIFF file listed the same settings keep their language, shown in the combo.
    addFileByXml(path("scan.tif"));
    ASSERT_EQ(orvox.OpenSettings(tiff.c_str()), 0);
    EXPECT_EQ(SendMessageA(language, CB_GETCURSEL, 0, 0), kTiffLanguage);
    ASSERT_EQ(orvox.SaveSettings(saved.c_str()), 0);
    EXPECT_EQ(languageIn(saved), kTiffLanguage);
}

TEST_F(PageRulesTest, AnUnusablePrinterLeavesNoPrinterSelectedSoPrintingIsRefused)
{
    ASSERT_EQ(createMain(), 0);
    HWND printers = pageWith(1038);
    ASSERT_NE(printers, nullptr);
    HWND list = GetDlgItem(printers, 1038);
    ASSERT_GT(SendMessageA(list, LB_GETCOUNT, 0, 0), 0) << "the test needs an installed queue";
    ASSERT_GE(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    HWND files = pageWith(1000);
    ASSERT_NE(files, nullptr);
    addFileByXml(path("page.ps"));

    hookLog().boxes.clear();
    SendMessageA(printers, WM_USER + 22, 0, 0);
    ASSERT_EQ(hookLog().boxes.size(), 1u);
    EXPECT_EQ(hookLog().boxes[0].text, resourceString(206));
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);

    hookLog().boxes.clear();
    EXPECT_EQ(orvox.Print(), 19);
    ASSERT_FALSE(hookLog().boxes.empty());
    EXPECT_EQ(hookLog().boxes[0].text, resourceString(186));
    EXPECT_EQ(currentCaption(), resourceString(433)) << "the operator is taken to the printers";
}

TEST_F(PageRulesTest, AddNetworkPrinterAlwaysAnswersTheOperator)
{
    ASSERT_EQ(createMain(), 0);
    HWND printers = pageWith(1098);
    ASSERT_NE(printers, nullptr);
    HWND list = GetDlgItem(printers, 1038);
    const auto rows = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (rows > 1) {
        SendMessageA(list, LB_SETCURSEL, 1, 0);
        SendMessageA(printers, WM_COMMAND, MAKEWPARAM(1038, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    const auto selected = SendMessageA(list, LB_GETCURSEL, 0, 0);

    // Whether the system shows its connect dialog is the system's business; a
    // button that does nothing at all is not an answer. A dialog shown is
    // closed by the watcher below as soon as it appears.
    hookLog().boxes.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, closeDialogs);
    SendMessageA(printers, WM_COMMAND, MAKEWPARAM(1098, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(printers, 1098)));
    KillTimer(nullptr, timer);
    const bool told = !hookLog().boxes.empty();
    if (told) {
        EXPECT_EQ(hookLog().boxes[0].text, resourceString(440));
    }
    // Under Wine the system has no such dialog: the message is the answer there.
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        EXPECT_TRUE(told);
    }
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), selected) << "the selection is kept";
}

TEST_F(PageRulesTest, PrintersPageNamesTheServerOnceAndTheSignatureTextReadsNaturally)
{
    ASSERT_EQ(createMain(), 0);
    HWND printers = pageWith(1038);
    ASSERT_NE(printers, nullptr);
    char frame[128] = {}, server[128] = {};
    GetDlgItemTextA(printers, 2605, frame, sizeof frame);
    GetDlgItemTextA(printers, 2609, server, sizeof server);
    ASSERT_NE(std::string(server), "");
    auto lower = [](std::string s) {
        for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        return s;
    };
    EXPECT_EQ(lower(frame).find(lower(server)), std::string::npos) << "frame '" << frame << "' repeats '" << server << "'";

    HWND setup2 = pageWith(1094);
    ASSERT_NE(setup2, nullptr);
    HWND pages = GetDlgItem(setup2, 1015);
    const std::string before = resourceString(202);
    for (const auto& [typed, sheets] : {std::pair{"4", "1 sheet)"}, std::pair{"3", "1 sheet)"}, std::pair{"8", "2 sheets)"},
                                       std::pair{"60", "15 sheets)"}}) {
        SetWindowTextA(pages, typed);
        char shown[128] = {};
        GetDlgItemTextA(setup2, 1035, shown, sizeof shown);
        EXPECT_EQ(std::string(shown), before + sheets) << typed;
    }
}

} // namespace
} // namespace orvox::test
