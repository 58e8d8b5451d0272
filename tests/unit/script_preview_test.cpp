// The script preview of the Custom options page and the colour count of the
// Colour mapping page: the window-free parts, on real files.
#include <array>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "resource.h"
#include "test_support.h"
#include "ui/portable/colour_usage.h"
#include "ui/portable/script_preview.h"

namespace orvox::ui {
namespace {

class ScriptPreviewTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    const platform::StringSource& strings = test::shippedStrings();
    test::ScratchDir dir;
};

TEST_F(ScriptPreviewTest, NoPathAndEmptyFileHaveTextsOfTheirOwnAndAnUnopenableFileKeepsThePreview)
{
    EXPECT_EQ(scriptPreview("", strings), strings.load(IDS_SCRIPT_NO_FILE));
    EXPECT_FALSE(strings.load(IDS_SCRIPT_NO_FILE).empty());
    EXPECT_EQ(scriptPreview(write("empty.ps", ""), strings), strings.load(IDS_SCRIPT_NOTHING_READ));
    EXPECT_FALSE(strings.load(IDS_SCRIPT_NOTHING_READ).empty());
    EXPECT_EQ(scriptPreview(dir.file("missing.ps"), strings), std::nullopt);
}

TEST_F(ScriptPreviewTest, OnlyTheFirst1024BytesAreShown)
{
    std::string script;
    for (int i = 0; script.size() < 5000; ++i) script += "% line " + std::to_string(i) + "\r\n";
    const auto preview = scriptPreview(write("long.ps", script), strings);
    ASSERT_TRUE(preview);
    EXPECT_EQ(*preview, script.substr(0, kScriptPreviewBytes));

    // Several megabytes read no further than the first kilobyte.
    const std::string big(6 * 1024 * 1024, 'x');
    const auto bigPreview = scriptPreview(write("big.bin", big), strings);
    ASSERT_TRUE(bigPreview);
    EXPECT_EQ(bigPreview->size(), kScriptPreviewBytes);
}

TEST_F(ScriptPreviewTest, BinaryBytesBecomeVisibleTextAndLineEndsBecomeCrLf)
{
    const std::string binary("\0\x01PS\x04\nA\rB\r\n\tC\x1b", 14);
    const auto preview = scriptPreview(write("bin.dat", binary), strings);
    ASSERT_TRUE(preview);
    EXPECT_EQ(*preview, "..PS.\r\nA\r\nB\r\n\tC.");
    EXPECT_EQ(previewText(std::string(300, '\0')), std::string(300, '.')) << "a leading zero byte hides nothing";
    EXPECT_EQ(previewText("\xe9t\xe9"), "\xe9t\xe9") << "ANSI letters stay";
    EXPECT_EQ(previewText("a\r"), "a\r\n");
}

TEST_F(ScriptPreviewTest, DeviceNamesAreNeverOpened)
{
    for (const char* path : {"CON", "con", "c:\\work\\PRN", "aux.txt", "NUL", "COM1", "lpt9.ps", "\\\\.\\pipe\\x",
                             "conin$", "d:/x/CON .ps"})
        EXPECT_TRUE(namesDevice(path)) << path;
    for (const char* path : {"console.ps", "COM", "COM10", "LPT0", "c:\\CON\\job.ps", "icon", "a.con"})
        EXPECT_FALSE(namesDevice(path)) << path;
    EXPECT_EQ(scriptPreview("CON", strings), std::nullopt);
}

TEST(ColourUsage, CountsDifferentHighlightColoursOnly)
{
    EXPECT_EQ(highlightColoursInUse(std::array{0, 0, 0, 0, 0, 0, 0, 0}), 0);
    EXPECT_EQ(highlightColoursInUse(std::array{5, 0, 5, 0, 5, 5, 0, 5}), 0) << "black and process are not counted";
    EXPECT_EQ(highlightColoursInUse(std::array{1, 2, 0, 0, 0, 0, 0, 0}), 2);
    EXPECT_EQ(highlightColoursInUse(std::array{1, 2, 1, 2, 2, 1, 0, 5}), 2) << "repeats count once";
    EXPECT_EQ(highlightColoursInUse(std::array{1, 2, 3, 0, 0, 0, 0, 0}), 3);
    EXPECT_EQ(highlightColoursInUse(std::array{4, 3, 2, 1, 0, 0, 0, 0}), 4);
    EXPECT_EQ(highlightColoursInUse(std::array{1, -1, 0, 0, 0, 0, 0, 0}), std::nullopt) << "a combo without selection";
    EXPECT_EQ(highlightColoursInUse(std::array{1, 6, 0, 0, 0, 0, 0, 0}), std::nullopt) << "not a printer colour";
}

} // namespace
} // namespace orvox::ui
