// Settings and catalog exports through the real library: new documents, the
// catalog text, settings files written and read back, files of older versions
// and damaged files, and the questions that reach the host's message hook.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "host_fixture.h"

namespace orvox::test {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void put16(std::string& b, std::size_t at, int v)
{
    b[at] = static_cast<char>(v & 0xFF);
    b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

int get16(const std::string& b, std::size_t at)
{
    return static_cast<std::int16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

int get32(const std::string& b, std::size_t at)
{
    return (get16(b, at) & 0xFFFF) | (get16(b, at + 2) << 16);
}

class SettingsExportsTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        folder = fs::temp_directory_path() / ("orvox-settings-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder);
        startAll();
        signature = resourceString(1088);
        ASSERT_FALSE(signature.empty());
    }
    void TearDown() override
    {
        HostTest::TearDown();
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    std::string path(const char* name) const { return (folder / name).string(); }
    std::size_t recordStart() const { return signature.size() + 4; }

    std::string catalogText()
    {
        int size = 0;
        EXPECT_EQ(orvox.GetSizeOfPaperCatalog(&size), 0);
        std::string text(static_cast<std::size_t>(size) + 4, '#');
        EXPECT_EQ(orvox.GetPaperCatalog(text.data()), 0);
        EXPECT_EQ(text[static_cast<std::size_t>(size) - 1], '\0');
        EXPECT_EQ(text[static_cast<std::size_t>(size)], '#') << "wrote past the announced size";
        text.resize(std::strlen(text.c_str()));
        EXPECT_EQ(text.size() + 1, static_cast<std::size_t>(size));
        return text;
    }

    fs::path folder;
    std::string signature;
};

TEST_F(SettingsExportsTest, CatalogTextListsTheCatalogFilesPapersInOrder)
{
    const std::string text = catalogText();
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string ini = (fs::path(exe).parent_path() / "OrvoxPaper.ini").string();
    const std::string section = resourceString(514);
    const int count = GetPrivateProfileIntA(section.c_str(), resourceString(513).c_str(), -1, ini.c_str());
    ASSERT_GT(count, 2);
    std::size_t from = 0;
    for (int i = 0; i < count; ++i) {
        char line[512] = {};
        GetPrivateProfileStringA(section.c_str(), ("PaperDef" + std::to_string(i)).c_str(), "", line, sizeof line,
                                 ini.c_str());
        // The paper's name starts a line of the text, after the previous paper's.
        const std::string name = std::string(line).substr(0, std::string(line).find(','));
        const std::size_t at = text.find("\n" + name + ",", from);
        ASSERT_NE(at, std::string::npos) << name;
        from = at + 1;
    }
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(orvox.GetSizeOfPaperCatalog(nullptr), 4);
    EXPECT_EQ(orvox.GetPaperCatalog(nullptr), 4);
}

TEST_F(SettingsExportsTest, SavedFileHasTheCurrentLayoutAndReadsBackUnchanged)
{
    ASSERT_EQ(orvox.NewSettings(), 0);
    const std::string first = path("first.ovx");
    const std::string second = path("second.ovx");
    ASSERT_EQ(orvox.SaveSettings(first.c_str()), 0);
    const std::string bytes = readBytes(first);
    ASSERT_GT(bytes.size(), recordStart() + 7240 + 1536 + 2 + 4 - 1);
    EXPECT_EQ(bytes.substr(0, signature.size()), signature);
    EXPECT_EQ(get16(bytes, signature.size()), 26);
    EXPECT_EQ(get16(bytes, signature.size() + 2), 5);
    EXPECT_EQ(get16(bytes, recordStart() + 798), 6) << "model 0 is stored as 6";

    hookLog().titles.clear();
    ASSERT_EQ(orvox.OpenSettings(first.c_str()), 0);
    ASSERT_FALSE(hookLog().titles.empty());
    EXPECT_EQ(hookLog().titles.back().substr(0, 10), "first.ovx|");
    ASSERT_EQ(orvox.SaveSettings(second.c_str()), 0);
    EXPECT_EQ(readBytes(second), bytes);
}

TEST_F(SettingsExportsTest, VersionOneFileIsUpgradedAndTheHostIsTold)
{
    // A version 1 file: the 6968-byte record and nothing after it.
    std::string file = signature;
    file.append(4 + 6968, '\0');
    put16(file, signature.size(), 26);
    put16(file, signature.size() + 2, 1);
    const std::size_t r = recordStart();
    put16(file, r + 798, 6);    // printer model 0
    put16(file, r + 2400, 1);   // old exit 1
    put16(file, r + 1064, 3);   // copies, as older files kept them
    put16(file, r + 1072, 1);   // collate
    const std::string v1 = path("old.ovx");
    writeBytes(v1, file);

    hookLog().boxes.clear();
    ASSERT_EQ(orvox.OpenSettings(v1.c_str()), 0);
    bool converted = false;
    for (const auto& box : hookLog().boxes) converted = converted || box.text == resourceString(57627);
    EXPECT_TRUE(converted) << "the conversion message goes through the host's hook";

    const std::string resaved = path("new.ovx");
    ASSERT_EQ(orvox.SaveSettings(resaved.c_str()), 0);
    const std::string bytes = readBytes(resaved);
    ASSERT_GT(bytes.size(), r + 7240);
    EXPECT_EQ(get16(bytes, signature.size() + 2), 5);
    EXPECT_EQ(get16(bytes, r + 798), 7) << "model 0 of an old file becomes model 1";
    EXPECT_EQ(get16(bytes, r + 2400), 4) << "old exit 1 is exit 4 now";
    EXPECT_EQ(get32(bytes, r + 7232), 3) << "copies move to the new field";
    EXPECT_EQ(get16(bytes, r + 1064), 0);
    EXPECT_EQ(get16(bytes, r + 262), 1);
}

TEST_F(SettingsExportsTest, DamagedFilesGiveTheirCodesAndTheDocumentStaysUsable)
{
    const std::string good = path("good.ovx");
    ASSERT_EQ(orvox.SaveSettings(good.c_str()), 0);
    const std::string bytes = readBytes(good);

    EXPECT_EQ(orvox.OpenSettings(path("missing.ovx").c_str()), 17);

    std::string wrongSignature = bytes;
    wrongSignature[0] ^= 0x20;
    writeBytes(folder / "sig.ovx", wrongSignature);
    hookLog().boxes.clear();
    EXPECT_EQ(orvox.OpenSettings(path("sig.ovx").c_str()), 24);
    ASSERT_EQ(hookLog().boxes.size(), 1u);
    EXPECT_EQ(hookLog().boxes[0].text.rfind(resourceString(1163), 0), 0u);
    EXPECT_TRUE(hookLog().boxes[0].type & MB_ICONSTOP);

    std::string wrongMarker = bytes;
    put16(wrongMarker, signature.size(), 27);
    writeBytes(folder / "marker.ovx", wrongMarker);
    EXPECT_EQ(orvox.OpenSettings(path("marker.ovx").c_str()), 24);

    for (int version : {0, 6, -1}) {
        std::string wrongVersion = bytes;
        put16(wrongVersion, signature.size() + 2, version);
        writeBytes(folder / "version.ovx", wrongVersion);
        EXPECT_EQ(orvox.OpenSettings(path("version.ovx").c_str()), 25) << version;
    }

    // Cut anywhere, a file never brings the library down.
    for (std::size_t n : {std::size_t{0}, std::size_t{3}, recordStart(), recordStart() + 100, bytes.size() - 3}) {
        writeBytes(folder / "cut.ovx", bytes.substr(0, n));
        const int rc = orvox.OpenSettings(path("cut.ovx").c_str());
        EXPECT_TRUE(rc == 0 || rc == 24 || rc == 25) << n << ": " << rc;
    }
    EXPECT_EQ(orvox.OpenSettings(nullptr), 4);
    EXPECT_EQ(orvox.SaveSettings(nullptr), 4);

    ASSERT_EQ(orvox.OpenSettings(good.c_str()), 0);
    const std::string again = path("again.ovx");
    ASSERT_EQ(orvox.SaveSettings(again.c_str()), 0);
    EXPECT_EQ(readBytes(again), bytes);
}

TEST_F(SettingsExportsTest, SavingWhereNoFileCanBeMadeGivesSixteen)
{
    EXPECT_EQ(orvox.SaveSettings(path("no-such-folder\\x.ovx").c_str()), 16);
}

TEST_F(SettingsExportsTest, ExitOfAnUnchangedDocumentAsksNothing)
{
    ASSERT_EQ(orvox.NewSettings(), 0);
    hookLog().boxes.clear();
    EXPECT_EQ(orvox.Exit(0), 0);
    EXPECT_TRUE(hookLog().boxes.empty());
}

} // namespace
} // namespace orvox::test

namespace orvox::test {
namespace {

TEST_F(SettingsExportsTest, XmlTextIsAppliedOrRefusedWithItsLine)
{
    int line = -1;
    ASSERT_EQ(orvox.OpenXMLSettings("<PRINTER_SETTINGS>\n<PRINTING_MODE>ID_TWO_SIDED_FLIP_SHORT</PRINTING_MODE>\n"
                                    "<COLLATE>OFF</COLLATE>\n</PRINTER_SETTINGS>",
                                    &line),
              0);
    EXPECT_EQ(line, 0);
    const std::string saved = path("xml.ovx");
    ASSERT_EQ(orvox.SaveSettings(saved.c_str()), 0);
    const std::string bytes = readBytes(saved);
    EXPECT_EQ(get16(bytes, recordStart() + 1068), 2) << "printing mode";
    EXPECT_EQ(get16(bytes, recordStart() + 1072), 0) << "collate";

    line = -1;
    EXPECT_EQ(orvox.OpenXMLSettings("<PRINTER_SETTINGS>\n\n<NO_SUCH_TAG>1</NO_SUCH_TAG>\n</PRINTER_SETTINGS>", &line),
              40);
    EXPECT_EQ(line, 3);
    line = -1;
    EXPECT_EQ(orvox.OpenXMLSettings(nullptr, &line), 38);
    EXPECT_EQ(line, 0);
    EXPECT_EQ(orvox.OpenXMLSettings("<PRINTER_SETTINGS/>", nullptr), 4);
}

} // namespace
} // namespace orvox::test

namespace orvox::test {
namespace {

TEST_F(SettingsExportsTest, ExitAsksToSaveAChangedDocumentAndCancelKeepsItAlive)
{
    ASSERT_EQ(orvox.NewSettings(), 0);
    int line = 0;
    ASSERT_EQ(orvox.OpenXMLSettings("<PRINTER_SETTINGS><COLLATE>OFF</COLLATE></PRINTER_SETTINGS>", &line), 0);
    ASSERT_FALSE(hookLog().titles.empty());
    EXPECT_EQ(hookLog().titles.back().back(), '1') << "the host is told the document changed";

    hookLog().boxes.clear();
    hookLog().answer = IDCANCEL;
    EXPECT_EQ(orvox.Exit(0), 23);
    ASSERT_EQ(hookLog().boxes.size(), 1u);
    EXPECT_EQ(hookLog().boxes[0].text, resourceString(412) + " " + resourceString(207) + " ?");
    EXPECT_EQ(hookLog().boxes[0].type & MB_TYPEMASK, static_cast<unsigned>(MB_YESNOCANCEL));
    HWND main = nullptr;
    EXPECT_EQ(orvox.GetWindowMain(&main), 0) << "a cancelled exit leaves everything as it was";

    hookLog().answer = IDNO;
    EXPECT_EQ(orvox.Exit(0), 0);
    EXPECT_FALSE(IsWindow(main));
}

} // namespace
} // namespace orvox::test
