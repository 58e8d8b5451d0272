// The two job-setup pages through the library: controls driven as the user
// would, enabling read back from the windows, values read back from a saved
// settings file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "settings/job_settings.h"
#include "ui_host.h"
#include "window_shot.h"

namespace orvox::test {
namespace {

// Restriction lists that leave the stapling items of both models alone, so
// nothing but the page's own rules decides the saddle-stitch item.
constexpr const char* kModelsWithoutStaplingLists =
    "WPrinterID=IDS_PRINTER_SELVO\r\nWCtrlID=1095\r\nWTabID=2617\r\nType=1\r\nState=1\r\n"
    "WPrinterID=IDS_PRINTER_OTHER\r\nWCtrlID=1095\r\nWTabID=2617\r\nType=1\r\nState=0\r\n";

class JobSetupPageTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        ASSERT_EQ(createMain(), 0);
    }

    HWND openPage(char ctrlDigit, int probeId)
    {
        pressCtrl(ctrlDigit);
        for (HWND child = GetWindow(tabControl(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgItem(child, probeId)) return child;
        return nullptr;
    }
    HWND setup1() { return openPage('3', 1152); }
    // The window again, reading `text` as its restriction file.
    void restartWith(const FileRestorer& models, const char* text)
    {
        ASSERT_EQ(orvox.Exit(1), 0);
        models.write(text);
        ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
        ASSERT_EQ(createMain(), 0);
    }
    HWND setup2() { return openPage('4', 1011); }

    static void choose(HWND page, int id, int index)
    {
        HWND combo = GetDlgItem(page, id);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    static void click(HWND page, int id, bool check)
    {
        CheckDlgButton(page, id, check ? BST_CHECKED : BST_UNCHECKED);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static std::string text(HWND page, int id)
    {
        char buffer[1100] = {};
        GetDlgItemTextA(page, id, buffer, sizeof(buffer));
        return buffer;
    }
    // Typing into an edit: the edit tells its page of the change.
    static void type(HWND page, int id, const char* value) { SetDlgItemTextA(page, id, value); }

    bool boxShown(unsigned id) const
    {
        for (const auto& box : hookLog().boxes)
            if (box.text.find(resourceString(id)) != std::string::npos) return true;
        return false;
    }

    // The record of a settings file saved now.
    std::string savedRecord()
    {
        const auto file = std::filesystem::temp_directory_path() / ("orvox-js-" + std::to_string(GetCurrentProcessId()));
        EXPECT_EQ(orvox.SaveSettings(file.string().c_str()), 0);
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        std::filesystem::remove(file);
        const std::size_t start = resourceString(1088).size() + 4;
        return bytes.size() > start ? bytes.substr(start) : std::string();
    }
    static int field16(const std::string& record, std::size_t offset)
    {
        if (record.size() < offset + 2) return -1;
        return static_cast<std::int16_t>(static_cast<unsigned char>(record[offset]) |
                                         static_cast<unsigned char>(record[offset + 1]) << 8);
    }
    static int field32(const std::string& record, std::size_t offset)
    {
        if (record.size() < offset + 4) return -1;
        return (field16(record, offset) & 0xFFFF) | (field16(record, offset + 2) << 16);
    }
};

TEST_F(JobSetupPageTest, BookletMakerOnModel0SaddleStitchesAndStackerDropsStapling)
{
    HWND page = setup1();
    ASSERT_NE(page, nullptr);
    choose(page, 1017, 0);
    EXPECT_EQ(selected(page, 1019), 5) << "saddle stitch";
    EXPECT_EQ(selected(page, 1020), 2) << "saddle fold";
    EXPECT_TRUE(enabled(page, 1020));
    EXPECT_TRUE(enabled(page, 1095)) << "trim edges belong to the booklet maker";
    EXPECT_FALSE(enabled(page, 1018)) << "no offset stacking out of the booklet maker";

    choose(page, 1017, 4);
    EXPECT_FALSE(enabled(page, 1019));
    EXPECT_EQ(selected(page, 1019), 0);
    EXPECT_EQ(selected(page, 1020), 0) << "the saddle fold went with the saddle stitch";
    EXPECT_FALSE(enabled(page, 1020));
    EXPECT_FALSE(enabled(page, 1095));

    // The stapler exit cannot saddle stitch: the item refuses to be chosen.
    choose(page, 1017, 5);
    EXPECT_TRUE(enabled(page, 1019));
    choose(page, 1019, 5);
    EXPECT_NE(selected(page, 1019), 5);

    const std::string record = savedRecord();
    EXPECT_EQ(field16(record, offsetof(JobSettings, documentExit)), 5);
    EXPECT_EQ(field16(record, offsetof(JobSettings, staplingMode)), selected(page, 1019));
    EXPECT_EQ(field16(record, offsetof(JobSettings, foldMode)), 0);
}

TEST_F(JobSetupPageTest, BookletMakerAfterTheStaplerStillSaddleStitchesAndFolds)
{
    HWND page = setup1();
    ASSERT_NE(page, nullptr);
    choose(page, 1017, 5);  // the stapler greys the saddle stitch
    choose(page, 1017, 0);
    EXPECT_EQ(selected(page, 1019), 5) << "saddle stitch";
    EXPECT_EQ(selected(page, 1020), 2) << "saddle fold";
    const std::string record = savedRecord();
    EXPECT_EQ(field16(record, offsetof(JobSettings, documentExit)), 0);
    EXPECT_EQ(field16(record, offsetof(JobSettings, staplingMode)), 5);
    EXPECT_EQ(field16(record, offsetof(JobSettings, foldMode)), 2);

    // A booklet job whose file holds neither stitch nor fold.
    const auto file = std::filesystem::temp_directory_path() / ("orvox-booklet-" + std::to_string(GetCurrentProcessId()));
    ASSERT_EQ(orvox.SaveSettings(file.string().c_str()), 0);
    std::string bytes;
    {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::size_t start = resourceString(1088).size() + 4;
    ASSERT_GT(bytes.size(), start + offsetof(JobSettings, foldMode) + 2);
    bytes[start + offsetof(JobSettings, staplingMode)] = 0;
    bytes[start + offsetof(JobSettings, foldMode)] = 0;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    // Opened while the page shows the stapler: the booklet maker's stitch and fold.
    choose(page, 1017, 5);
    ASSERT_EQ(orvox.OpenSettings(file.string().c_str()), 0);
    std::filesystem::remove(file);
    page = setup1();
    EXPECT_EQ(selected(page, 1017), 0);
    EXPECT_EQ(selected(page, 1019), 5);
    EXPECT_EQ(selected(page, 1020), 2);
    const std::string reopened = savedRecord();
    EXPECT_EQ(field16(reopened, offsetof(JobSettings, staplingMode)), 5);
    EXPECT_EQ(field16(reopened, offsetof(JobSettings, foldMode)), 2);
}

TEST_F(JobSetupPageTest, StaplerGreyingOfModel0DoesNotFollowTheJobToModel1)
{
    FileRestorer models(resourceString(389));
    restartWith(models, kModelsWithoutStaplingLists);
    HWND page = setup1();
    ASSERT_NE(page, nullptr);
    choose(page, 1017, 5);
    int line = 0;
    ASSERT_EQ(orvox.OpenXMLSettings("<PRINTER_SETTINGS><PRINTER_MODEL>ID_PRINTERMODEL_OTHER</PRINTER_MODEL>"
                                    "<DOCUMENT_EXIT>ID_OUTPUT_DEVICE_FINISHER</DOCUMENT_EXIT>"
                                    "<STAPLING>ID_STAPLE_MODE_SADDLE</STAPLING></PRINTER_SETTINGS>",
                                    &line),
              0);
    page = setup1();
    EXPECT_EQ(selected(page, 1019), 5) << "the finisher of model 1 saddle stitches";
    EXPECT_EQ(selected(page, 1020), 2);
    const std::string record = savedRecord();
    EXPECT_EQ(field16(record, offsetof(JobSettings, staplingMode)), 5);
    EXPECT_EQ(field16(record, offsetof(JobSettings, foldMode)), 2);
}

TEST_F(JobSetupPageTest, AllPagesKeepsTheTypedRangeOnlyALoadEmptiesIt)
{
    HWND page = setup1();
    ASSERT_NE(page, nullptr);
    const auto pick = [page](int id) {
        CheckRadioButton(page, 1059, 1060, id);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    };
    pick(1060);
    ASSERT_TRUE(enabled(page, 1084));
    type(page, 1084, "3");
    type(page, 1085, "7");
    pick(1059);
    EXPECT_FALSE(enabled(page, 1084));
    EXPECT_EQ(text(page, 1084), "3") << "all pages greys the range, it does not erase it";
    EXPECT_EQ(text(page, 1085), "7");
    // With ORVOX_PAGE_SHOT naming a .bmp file, the page with its greyed range is saved there.
    if (const char* shot = std::getenv("ORVOX_PAGE_SHOT"); shot && *shot) {
        ShowWindow(host, SW_SHOW);
        orvox.ShowMain(SW_SHOW, 0, 0);
        RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(saveWindowBitmap(host, shot)) << shot;
    }
    pick(1060);
    EXPECT_EQ(text(page, 1084), "3");
    EXPECT_EQ(text(page, 1085), "7");
    std::string record = savedRecord();
    EXPECT_EQ(field16(record, offsetof(JobSettings, printPageRange)), 1);
    EXPECT_EQ(field32(record, offsetof(JobSettings, pageRangeFrom)), 3);
    EXPECT_EQ(field32(record, offsetof(JobSettings, pageRangeTo)), 7);

    // Loaded with all pages, the greyed range shows nothing.
    pick(1059);
    setup2();
    page = setup1();
    EXPECT_TRUE(checked(page, 1059));
    EXPECT_EQ(text(page, 1084), "");
    EXPECT_EQ(text(page, 1085), "");
}

TEST_F(JobSetupPageTest, TheSavedJobRemembersThePageTheOperatorWasOn)
{
    const auto file = std::filesystem::temp_directory_path() / ("orvox-tab-" + std::to_string(GetCurrentProcessId()));
    const auto currentTabIn = [&file] {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::size_t start = resourceString(1088).size() + 4;
        return bytes.size() > start ? field32(bytes.substr(start), offsetof(JobSettings, currentTab)) : -1;
    };
    const int filesTab = static_cast<int>(SendMessageA(tabControl(), TCM_GETCURSEL, 0, 0));
    ASSERT_EQ(currentCaption(), resourceString(434)) << "the window opens on the Files tab";
    ASSERT_EQ(orvox.SaveSettings(file.string().c_str()), 0);
    EXPECT_EQ(currentTabIn(), filesTab);

    // Saved from Job Setup 1 through the Save command: the pages are saved first.
    ASSERT_EQ(orvox.OpenSettings(file.string().c_str()), 0);
    HWND page = setup1();
    ASSERT_NE(page, nullptr);
    const int setup1Tab = static_cast<int>(SendMessageA(tabControl(), TCM_GETCURSEL, 0, 0));
    ASSERT_NE(setup1Tab, filesTab);
    type(page, 2612, "4");
    ASSERT_EQ(orvox.SendMessage(WM_COMMAND, 0xE103, 0), 0);  // the command arrives as a posted message
    EXPECT_TRUE(pumpUntil([&] { return currentTabIn() == setup1Tab; })) << "holds " << currentTabIn();
    std::filesystem::remove(file);
}

TEST_F(JobSetupPageTest, SaddleStitchAndSaddleFoldFollowEachOtherOnModel1)
{
    useModel1();
    HWND page = setup1();
    ASSERT_NE(page, nullptr);
    choose(page, 1017, 1);  // the finisher folds
    ASSERT_TRUE(enabled(page, 1020));
    choose(page, 1019, 5);
    EXPECT_EQ(selected(page, 1020), 2);
    choose(page, 1019, 1);
    EXPECT_EQ(selected(page, 1020), 0);
    choose(page, 1020, 2);
    EXPECT_EQ(selected(page, 1019), 5);
    // Model 1 does no Z-fold: leaving the saddle fold means no fold.
    choose(page, 1020, 0);
    EXPECT_EQ(selected(page, 1019), 0);

    // The side exit (model 1 has no post-processor) neither stacks nor staples nor folds.
    choose(page, 1017, 3);
    EXPECT_FALSE(enabled(page, 1018));
    EXPECT_EQ(selected(page, 1018), 1);
    EXPECT_FALSE(enabled(page, 1019));
    EXPECT_FALSE(enabled(page, 1020));
    EXPECT_EQ(selected(page, 1020), 0);
    const std::string record = savedRecord();
    EXPECT_EQ(field16(record, offsetof(JobSettings, stackingMode)), 1);
    EXPECT_EQ(field16(record, offsetof(JobSettings, foldMode)), 0);
}

TEST_F(JobSetupPageTest, PamphletsWithdrawCoverChoicesAndOfferTheSignature)
{
    HWND page = setup1();
    ASSERT_NE(page, nullptr);
    choose(page, 1123, 1);
    ASSERT_EQ(selected(page, 1123), 1);
    EXPECT_TRUE(enabled(page, 1119)) << "a back cover needs its paper";

    choose(page, 1152, 5);
    EXPECT_FALSE(enabled(page, 1123));
    EXPECT_EQ(selected(page, 1123), 0) << "model 0 drops the back cover";
    EXPECT_FALSE(enabled(page, 1119));
    EXPECT_EQ(text(page, 1046), resourceString(385));
    choose(page, 1024, 2);
    EXPECT_NE(selected(page, 1024), 2) << "withdrawn for pamphlets";
    EXPECT_TRUE(checked(page, 1092)) << "pamphlets are collated";

    hookLog().boxes.clear();
    click(page, 1092, false);
    EXPECT_TRUE(boxShown(57608));
    EXPECT_TRUE(checked(page, 1092));

    std::string record = savedRecord();
    EXPECT_EQ(field16(record, offsetof(JobSettings, printingMode)), 5);
    EXPECT_EQ(field16(record, offsetof(JobSettings, substitutionsActive)), 0);
    EXPECT_EQ(field16(record, offsetof(JobSettings, backCover)), 0);

    HWND second = setup2();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(enabled(second, 1015)) << "the signature size is for pamphlets";

    page = setup1();
    choose(page, 1152, 1);
    EXPECT_TRUE(enabled(page, 1123));
    EXPECT_EQ(text(page, 1046), resourceString(75));
    record = savedRecord();
    EXPECT_EQ(field16(record, offsetof(JobSettings, substitutionsActive)), 1);
    second = setup2();
    EXPECT_FALSE(enabled(second, 1015));
}

TEST_F(JobSetupPageTest, TypedNumbersAreKeptWithinTheirLimits)
{
    useModel1();
    HWND page = setup1();
    ASSERT_NE(page, nullptr);
    type(page, 2612, "12");
    EXPECT_EQ(field32(savedRecord(), offsetof(JobSettings, copyCount)), 12);

    hookLog().boxes.clear();
    type(page, 2612, "70000");
    EXPECT_TRUE(boxShown(26));
    EXPECT_EQ(text(page, 2612), resourceString(388));
    type(page, 2612, "0");
    EXPECT_TRUE(boxShown(25));
    EXPECT_EQ(text(page, 2612), "1");

    click(page, 1097, true);
    ASSERT_TRUE(enabled(page, 1064)) << "model 1 lets the operator set the proof wait";
    hookLog().boxes.clear();
    type(page, 1064, "61");
    EXPECT_TRUE(boxShown(416));
    EXPECT_EQ(text(page, 1064), "60");
    EXPECT_EQ(field16(savedRecord(), offsetof(JobSettings, proofWaitTime)), 60);

    // A keystroke that breaks the page-list alphabet is undone.
    type(page, 1062, "1,3");
    type(page, 1062, "1,3a");
    EXPECT_EQ(text(page, 1062), "1,3");
    type(page, 1062, "1,123456");
    EXPECT_EQ(text(page, 1062), "1,3");
    const std::string record = savedRecord();
    EXPECT_EQ(std::string(record.c_str() + offsetof(JobSettings, chapterPages)), "1,3");
}

TEST_F(JobSetupPageTest, SeparatorsSwitchedOffByStaplingAreRememberedButNotSent)
{
    HWND first = setup1();
    ASSERT_NE(first, nullptr);
    choose(first, 1017, 1);  // the booklet maker's saddle stitch is gone
    choose(first, 1019, 0);
    click(first, 1092, true);  // uncollated jobs have no separators on model 0
    HWND second = setup2();
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(enabled(second, 1096));
    click(second, 1096, true);
    EXPECT_TRUE(enabled(second, 1014));

    first = setup1();
    choose(first, 1019, 1);
    second = setup2();
    EXPECT_FALSE(enabled(second, 1096)) << "model 0 staples without separators";
    EXPECT_TRUE(checked(second, 1096));
    EXPECT_FALSE(enabled(second, 1014));
    const std::string record = savedRecord();
    EXPECT_EQ(field16(record, offsetof(JobSettings, separatorPages)), 0);

    // Back to no stapling: the remembered choice is there again.
    first = setup1();
    choose(first, 1019, 0);
    second = setup2();
    EXPECT_TRUE(enabled(second, 1096));
    EXPECT_TRUE(checked(second, 1096));
}

TEST_F(JobSetupPageTest, SignatureSizeShowsItsSheetsAndIsLimitedOnLeaving)
{
    useModel1();
    HWND first = setup1();
    ASSERT_NE(first, nullptr);
    choose(first, 1152, 5);
    HWND second = setup2();
    ASSERT_NE(second, nullptr);
    type(second, 1015, "10");
    EXPECT_EQ(text(second, 1035), resourceString(202) + "3" + resourceString(203));
    type(second, 1015, "200");
    SendMessageA(second, WM_COMMAND, MAKEWPARAM(1015, EN_KILLFOCUS), reinterpret_cast<LPARAM>(GetDlgItem(second, 1015)));
    EXPECT_EQ(text(second, 1015), "120");
    type(second, 1015, "2");
    SendMessageA(second, WM_COMMAND, MAKEWPARAM(1015, EN_KILLFOCUS), reinterpret_cast<LPARAM>(GetDlgItem(second, 1015)));
    EXPECT_EQ(text(second, 1015), "4");
    EXPECT_EQ(field16(savedRecord(), offsetof(JobSettings, maxSignatureSize)), 4);
}

} // namespace
} // namespace orvox::test
