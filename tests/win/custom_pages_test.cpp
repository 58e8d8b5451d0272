// The Custom options and Colour mapping pages through the library: controls
// driven as the operator would, values read back from a saved settings file,
// the remove-Ctrl-D switch across new settings, and the printer models'
// restriction lists on both pages.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "settings/job_settings.h"
#include "ui_host.h"

namespace orvox::test {
namespace {

constexpr int kCommands = 1016, kScriptPath = 1056, kClear = 1057, kPreview = 1089, kValidate = 1058,
              kRemoveCtrlD = 1120;
constexpr int kColourCombos[8] = {1000, 1002, 1003, 1004, 1005, 1010, 1007, 1008};
constexpr int kColourReset = 1001, kColourHelp = 1121;  // the Files page has a 1001 too

class CustomPagesTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        CreateDirectoryA(kScriptFolder, nullptr);
    }
    void TearDown() override
    {
        UiHost::TearDown();
        std::error_code ec;
        std::filesystem::remove_all(kScriptFolder, ec);
    }

    HWND openPage(char ctrlDigit, int probeId)
    {
        pressCtrl(ctrlDigit);
        for (HWND child = GetWindow(tabControl(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, probeId) && (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE)) return child;
        return nullptr;
    }
    // The operator's way to another model: chosen on the Printers page and confirmed.
    void chooseModel1OnPrintersPage()
    {
        HWND printers = openPage('1', 1065);
        ASSERT_NE(printers, nullptr);
        HWND models = GetDlgItem(printers, 1065);
        SendMessageA(models, CB_SETCURSEL, 1, 0);
        SendMessageA(printers, WM_COMMAND, MAKEWPARAM(1065, CBN_SELCHANGE), reinterpret_cast<LPARAM>(models));
        SendMessageA(printers, WM_COMMAND, MAKEWPARAM(1065, CBN_KILLFOCUS), reinterpret_cast<LPARAM>(models));
        ASSERT_EQ(SendMessageA(models, CB_GETCURSEL, 0, 0), 1);
    }
    HWND customPage() { return openPage('5', kRemoveCtrlD); }
    HWND colourPage() { return openPage('7', kColourHelp); }

    static void choose(HWND page, int id, int index)
    {
        HWND combo = GetDlgItem(page, id);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    static void click(HWND page, int id)
    {
        SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
    }
    static std::string text(HWND page, int id)
    {
        char buffer[4096] = {};
        GetDlgItemTextA(page, id, buffer, sizeof(buffer));
        return buffer;
    }
    static void typeChars(HWND page, int id, const std::string& chars)
    {
        for (char c : chars) SendMessageA(GetDlgItem(page, id), WM_CHAR, static_cast<unsigned char>(c), 1);
    }
    // Selects everything in the edit, deletes it and types `chars`.
    static void retype(HWND page, int id, const std::string& chars)
    {
        SendDlgItemMessageA(page, id, EM_SETSEL, 0, -1);
        SendDlgItemMessageA(page, id, WM_CHAR, VK_BACK, 1);
        typeChars(page, id, chars);
    }
    static bool hasVerticalScrollBar(HWND page, int id)
    {
        return (GetWindowLongA(GetDlgItem(page, id), GWL_STYLE) & WS_VSCROLL) != 0;
    }

    std::string scriptFile(const std::string& name, const std::string& bytes) const
    {
        const std::string path = std::string(kScriptFolder) + "\\" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string savedRecord(const std::string& name = "saved.ojs")
    {
        const std::string file = std::string(kScriptFolder) + "\\" + name;
        EXPECT_EQ(orvox.SaveSettings(file.c_str()), 0);
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::size_t start = resourceString(1088).size() + 4;
        return bytes.size() > start ? bytes.substr(start) : std::string();
    }
    static int field16(const std::string& record, std::size_t offset)
    {
        if (record.size() < offset + 2) return -1;
        return static_cast<std::int16_t>(static_cast<unsigned char>(record[offset]) |
                                         static_cast<unsigned char>(record[offset + 1]) << 8);
    }
    static std::string fieldText(const std::string& record, std::size_t offset)
    {
        if (record.size() < offset + 256) return "<short record>";
        return std::string(record.c_str() + offset);
    }
    static std::size_t colourOffset(int k) { return offsetof(JobSettings, colorMapping) + 4 * static_cast<std::size_t>(k); }

    static constexpr const char* kScriptFolder = "C:\\orvox-cs";
};

// --- Custom options -------------------------------------------------------------------

TEST_F(CustomPagesTest, CommandsAndScriptPathKeepTheirLimitsAndTheScrollBarFollowsTheLines)
{
    ASSERT_EQ(createMain(), 0);
    HWND page = customPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(currentCaption(), resourceString(436));

    typeChars(page, kScriptPath, std::string(40, 'p'));
    EXPECT_EQ(text(page, kScriptPath), std::string(31, 'p')) << "a path types up to 31 characters";
    typeChars(page, kCommands, std::string(300, 'c'));
    EXPECT_EQ(text(page, kCommands).size(), 255u);

    // A multi-line edit reports typing, not text set from outside: the operator types.
    retype(page, kCommands, "@PJL SET COPIES=2");
    EXPECT_FALSE(hasVerticalScrollBar(page, kCommands)) << "one line needs no scroll bar";
    typeChars(page, kCommands, "\r@PJL SET PUNCH=ON");
    EXPECT_TRUE(hasVerticalScrollBar(page, kCommands));
    const std::string record = savedRecord();
    EXPECT_EQ(fieldText(record, offsetof(JobSettings, customCommands)), "@PJL SET COPIES=2\r\n@PJL SET PUNCH=ON");
    EXPECT_EQ(fieldText(record, offsetof(JobSettings, scriptFilePath)), std::string(31, 'p'));

    retype(page, kCommands, "");
    EXPECT_FALSE(hasVerticalScrollBar(page, kCommands));
    EXPECT_EQ(fieldText(savedRecord(), offsetof(JobSettings, customCommands)), "");

    // Commands from a settings file show with their scroll bar.
    typeChars(page, kCommands, "@PJL A\r@PJL B\r@PJL C");
    savedRecord("commands.ojs");
    ASSERT_EQ(orvox.NewSettings(), 0);
    EXPECT_FALSE(hasVerticalScrollBar(page, kCommands));
    ASSERT_EQ(orvox.OpenSettings((std::string(kScriptFolder) + "\\commands.ojs").c_str()), 0);
    EXPECT_EQ(text(page, kCommands), "@PJL A\r\n@PJL B\r\n@PJL C");
    EXPECT_TRUE(hasVerticalScrollBar(page, kCommands));

    // New settings empty both edits.
    ASSERT_EQ(orvox.NewSettings(), 0);
    EXPECT_EQ(text(page, kCommands), "");
    EXPECT_EQ(text(page, kScriptPath), "");
    EXPECT_FALSE(enabled(page, kClear));
}

TEST_F(CustomPagesTest, ScriptPreviewShowsTheFileStartAndKeepsItWhenAPathCannotBeOpened)
{
    ASSERT_EQ(createMain(), 0);
    HWND page = customPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(text(page, kPreview), resourceString(208));
    EXPECT_FALSE(enabled(page, kClear));

    std::string script;
    for (int i = 0; script.size() < 5000; ++i) script += "/Line" + std::to_string(i) + " 0 def\r\n";
    const std::string scriptPath = scriptFile("job.ps", script);
    // The kilobyte ends inside a line end, which the preview completes.
    std::string start = script.substr(0, 1024);
    ASSERT_EQ(start.back(), '\r');
    start += '\n';
    SetDlgItemTextA(page, kScriptPath, scriptPath.c_str());
    EXPECT_EQ(text(page, kPreview), start);
    EXPECT_TRUE(enabled(page, kClear));

    // While a path is typed the last readable file stays in view.
    SetDlgItemTextA(page, kScriptPath, (std::string(kScriptFolder) + "\\jo").c_str());
    EXPECT_EQ(text(page, kPreview), start);
    SetDlgItemTextA(page, kScriptPath, "CON");
    EXPECT_EQ(text(page, kPreview), start) << "a device is never read";

    // Several megabytes of binary data with zero bytes: the first kilobyte, all of it visible.
    std::string binary(4 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < binary.size(); i += 3) binary[i] = 'B';
    SetDlgItemTextA(page, kScriptPath, scriptFile("big.bin", binary).c_str());
    const std::string shown = text(page, kPreview);
    EXPECT_EQ(shown.size(), 1024u);
    EXPECT_EQ(shown.substr(0, 6), "B..B..");

    SetDlgItemTextA(page, kScriptPath, scriptFile("empty.ps", "").c_str());
    EXPECT_EQ(text(page, kPreview), resourceString(209));

    click(page, kClear);
    EXPECT_EQ(text(page, kScriptPath), "");
    EXPECT_EQ(text(page, kPreview), resourceString(208));
    EXPECT_FALSE(enabled(page, kClear));
    EXPECT_EQ(GetFocus(), GetDlgItem(page, kScriptPath));
    EXPECT_EQ(fieldText(savedRecord(), offsetof(JobSettings, scriptFilePath)), "");

    // A settings file brings its script path, and the preview of that file.
    SetDlgItemTextA(page, kScriptPath, scriptPath.c_str());
    savedRecord("with-script.ojs");
    ASSERT_EQ(orvox.NewSettings(), 0);
    EXPECT_EQ(text(page, kPreview), resourceString(208));
    ASSERT_EQ(orvox.OpenSettings((std::string(kScriptFolder) + "\\with-script.ojs").c_str()), 0);
    EXPECT_EQ(text(page, kScriptPath), scriptPath);
    EXPECT_EQ(text(page, kPreview), start);
}

TEST_F(CustomPagesTest, RemoveCtrlDIsAProcessSwitchThatOutlivesSettingsFilesAndTheWindow)
{
    ASSERT_EQ(createMain(), 0);
    HWND page = customPage();
    ASSERT_NE(page, nullptr);
    ASSERT_FALSE(checked(page, kRemoveCtrlD));
    click(page, kRemoveCtrlD);
    ASSERT_TRUE(checked(page, kRemoveCtrlD));

    ASSERT_EQ(orvox.NewSettings(), 0);
    EXPECT_TRUE(checked(page, kRemoveCtrlD));
    useModel1();
    EXPECT_TRUE(checked(customPage(), kRemoveCtrlD));
    savedRecord("ctrl-d.ojs");
    ASSERT_EQ(orvox.OpenSettings((std::string(kScriptFolder) + "\\ctrl-d.ojs").c_str()), 0);
    EXPECT_TRUE(checked(customPage(), kRemoveCtrlD));

    // A new window in the same process shows the switch as it stands.
    ASSERT_EQ(orvox.Exit(1), 0);
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    ASSERT_EQ(createMain(), 0);
    page = customPage();
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(checked(page, kRemoveCtrlD));
    click(page, kRemoveCtrlD);
    EXPECT_FALSE(checked(page, kRemoveCtrlD));
    ASSERT_EQ(orvox.NewSettings(), 0);
    EXPECT_FALSE(checked(page, kRemoveCtrlD)) << "switched off stays off";
}

TEST_F(CustomPagesTest, ValidateBoxIsStoredAndOfferedWhereTheModelsFileEnablesIt)
{
    {
        ASSERT_EQ(createMain(), 0);
        HWND page = customPage();
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(enabled(page, kValidate)) << "the shipped models offer validation";
        click(page, kValidate);
        EXPECT_EQ(field16(savedRecord(), offsetof(JobSettings, validateFile)), 1);
        click(page, kValidate);
        EXPECT_EQ(field16(savedRecord(), offsetof(JobSettings, validateFile)), 0);
        ASSERT_EQ(orvox.Exit(1), 0);
    }

    FileRestorer models(resourceString(389));
    models.write("WPrinterID=IDS_PRINTER_SELVO\n"
                 "WCtrlID=1058\nWTabID=160\nType=1\nState=0\n"
                 "WPrinterID=IDS_PRINTER_OTHER\n"
                 "WCtrlID=1058\nWTabID=160\nType=1\nState=1\n"
                 "WCtrlID=1000\nWTabID=105\nType=0\nState=1\nDisabledItems=4\n");
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    ASSERT_EQ(createMain(), 0);
    HWND page = customPage();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(enabled(page, kValidate)) << "model 0 withdraws validation here";
    chooseModel1OnPrintersPage();
    EXPECT_TRUE(enabled(customPage(), kValidate));

    // The same file takes the fourth highlight colour away from red on model 1.
    HWND colours = colourPage();
    ASSERT_NE(colours, nullptr);
    choose(colours, kColourCombos[0], 4);
    EXPECT_EQ(selected(colours, kColourCombos[0]), 0) << "a withdrawn colour cannot be chosen";
    choose(colours, kColourCombos[1], 4);
    EXPECT_EQ(selected(colours, kColourCombos[1]), 4) << "green keeps all six";
}

// --- Colour mapping -------------------------------------------------------------------

TEST_F(CustomPagesTest, ColourTabIsOfferedOnModel1AndEveryComboListsTheSixPrinterColours)
{
    ASSERT_EQ(createMain(), 0);
    EXPECT_EQ(colourPage(), nullptr) << "model 0 has no colour mapping";
    useModel1();
    HWND page = colourPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(currentCaption(), resourceString(438));
    for (int id : kColourCombos) {
        HWND combo = GetDlgItem(page, id);
        ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 6) << id;
        for (int i = 0; i < 6; ++i) {
            char item[128] = {};
            SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
            EXPECT_EQ(std::string(item), resourceString(3 + static_cast<unsigned>(i))) << id << " item " << i;
        }
        EXPECT_EQ(selected(page, id), 0);
    }
}

TEST_F(CustomPagesTest, EveryColourChangeIsStoredAndResetPutsAllOnOneColour)
{
    ASSERT_EQ(createMain(), 0);
    useModel1();
    HWND page = colourPage();
    ASSERT_NE(page, nullptr);
    for (int k = 0; k < 8; ++k) choose(page, kColourCombos[k], (k + 1) % 6);
    std::string record = savedRecord();
    for (int k = 0; k < 8; ++k) EXPECT_EQ(field16(record, colourOffset(k)), (k + 1) % 6) << "colour " << k;

    // Leaving and coming back shows what was stored.
    pressCtrl('2');
    page = colourPage();
    ASSERT_NE(page, nullptr);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(selected(page, kColourCombos[k]), (k + 1) % 6);

    click(page, kColourReset);
    const int resetItem = std::stoi(resourceString(57631));
    record = savedRecord();
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(selected(page, kColourCombos[k]), resetItem);
        EXPECT_EQ(field16(record, colourOffset(k)), resetItem) << "colour " << k;
    }
}

TEST_F(CustomPagesTest, AStoredValueThatIsNoPrinterColourShowsNoSelectionAndIsKept)
{
    ASSERT_EQ(createMain(), 0);
    useModel1();
    std::string bytes;
    {
        savedRecord("bad.ojs");
        std::ifstream in(std::string(kScriptFolder) + "\\bad.ojs", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::size_t at = resourceString(1088).size() + 4 + colourOffset(2);
    ASSERT_GT(bytes.size(), at + 2);
    bytes[at] = 9;
    bytes[at + 1] = 0;
    std::ofstream(std::string(kScriptFolder) + "\\bad.ojs", std::ios::binary) << bytes;
    ASSERT_EQ(orvox.OpenSettings((std::string(kScriptFolder) + "\\bad.ojs").c_str()), 0);

    HWND page = colourPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(selected(page, kColourCombos[2]), -1) << "blue shows no colour";
    choose(page, kColourCombos[0], 3);
    std::string record = savedRecord();
    EXPECT_EQ(field16(record, colourOffset(0)), 3);
    EXPECT_EQ(field16(record, colourOffset(2)), 9) << "the unknown value is not replaced behind the operator's back";
    choose(page, kColourCombos[2], 5);
    EXPECT_EQ(field16(savedRecord(), colourOffset(2)), 5);
}

} // namespace
} // namespace orvox::test
