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

    HWND pageWith(int controlId) const
    {
        for (HWND page = GetWindow(tabControl(), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
            if (GetDlgItem(page, controlId)) return page;
        return nullptr;
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

} // namespace
} // namespace orvox::test
