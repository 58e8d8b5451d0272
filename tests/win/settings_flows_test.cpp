// The settings-file flows of the main window as an operator and a host meet
// them: a file that failed to load is never overwritten by a plain save,
// Open and Save As check the pages as a print request does, pamphlet covers,
// and the caption of the start's message boxes.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "dialog_watcher.h"
#include "platform/win32/win32_platform.h"
#include "settings/job_settings.h"
#include "ui_host.h"

namespace orvox::test {
namespace {

constexpr unsigned kFileOpen = 0xE101;
constexpr unsigned kFileSaveAs = 0xE104;

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class SettingsFlowsTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        path_ = (std::filesystem::temp_directory_path() /
                 ("orvox-flows-" + std::to_string(GetCurrentProcessId()) + ".ovx"))
                    .string();
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
        UiHost::TearDown();
    }

    HWND pageWith(int controlId) const
    {
        for (HWND page = GetWindow(tabControl(), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
            if (GetDlgItem(page, controlId)) return page;
        return nullptr;
    }
    static void command(HWND page, int id, int code)
    {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static void choose(HWND page, int id, int index)
    {
        SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        command(page, id, CBN_SELCHANGE);
    }
    static void click(HWND page, int id, bool on)
    {
        CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
        command(page, id, BN_CLICKED);
    }

    bool boxShown(unsigned id) const
    {
        for (const auto& box : hookLog().boxes)
            if (box.text.find(resourceString(id)) != std::string::npos) return true;
        return false;
    }

    // A menu command as the host routes it, then the messages it causes.
    void menuCommand(unsigned id, const DialogWatcher& dialogs)
    {
        const std::size_t boxes = hookLog().boxes.size();
        const std::size_t seen = dialogs.seen().size();
        ASSERT_EQ(orvox.SendMessage(WM_COMMAND, id, 0), 0);
        pumpUntil([&] { return hookLog().boxes.size() > boxes || dialogs.seen().size() > seen; }, 3000);
        pumpUntil([] { return false; }, 100);
    }

    // A settings file of a later version: the signature and marker are right, the version is not.
    std::string laterVersionFile() const
    {
        std::string bytes = resourceString(1088);
        bytes += std::string("\x1a\x00\x06\x00", 4);
        bytes += std::string(7240, '\x01');
        std::ofstream(path_, std::ios::binary) << bytes;
        return bytes;
    }

    std::string path_;
};

TEST_F(SettingsFlowsTest, AFileThatFailedToLoadSurvivesCtrlSAndTheYesOfTheExitQuestion)
{
    ASSERT_EQ(createMain(), 0);
    // The title hook too, now that the library runs.
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 6);
    const std::string original = laterVersionFile();

    HWND setup1 = pageWith(1152);
    ASSERT_NE(setup1, nullptr);
    click(setup1, 1092, false);  // an unsaved change before the open
    ASSERT_EQ(orvox.OpenSettings(path_.c_str()), 25);
    ASSERT_FALSE(hookLog().titles.empty());
    const std::string name = std::filesystem::path(path_).filename().string();
    EXPECT_EQ(hookLog().titles.back().substr(0, name.size()), name) << "the document is named after the file";
    EXPECT_EQ(hookLog().titles.back().back(), '0') << "and is not modified, whatever the result";

    // The operator changes something and presses Ctrl+S: Save As is offered, the file stays.
    pressCtrl('3');
    click(setup1, 1092, true);
    click(setup1, 1092, false);
    EXPECT_EQ(hookLog().titles.back().back(), '1');
    {
        DialogWatcher dialogs;
        pressCtrl('S');
        EXPECT_EQ(dialogs.fileDialogs(), 1) << "Ctrl+S asks for a name";
        EXPECT_EQ(fileBytes(path_), original);

        hookLog().answer = IDYES;
        const std::size_t asked = hookLog().boxes.size();
        EXPECT_EQ(orvox.Exit(0), 23) << "the Save As was cancelled, so the exit is too";
        ASSERT_GT(hookLog().boxes.size(), asked);
        EXPECT_NE(hookLog().boxes[asked].text.find(name), std::string::npos);
        EXPECT_EQ(dialogs.fileDialogs(), 2);
        EXPECT_EQ(fileBytes(path_), original);
    }
    hookLog().answer = IDOK;
}

TEST_F(SettingsFlowsTest, OpenAndSaveAsCheckThePagesAsPrintingDoes)
{
    ASSERT_EQ(createMain(), 0);
    pressCtrl('3');
    HWND setup1 = pageWith(1152);
    ASSERT_NE(setup1, nullptr);
    // Pages 5 to 2 on model 0: a print request refuses that range with message 197.
    click(setup1, 1060, true);
    SetDlgItemTextA(setup1, 1084, "5");
    SetDlgItemTextA(setup1, 1085, "2");

    DialogWatcher dialogs;
    hookLog().answer = IDNO;  // the save question of Open
    menuCommand(kFileSaveAs, dialogs);
    EXPECT_TRUE(boxShown(197));
    EXPECT_EQ(dialogs.fileDialogs(), 0) << "no file is chosen for settings that cannot be printed";
    hookLog().boxes.clear();
    menuCommand(kFileOpen, dialogs);
    EXPECT_TRUE(boxShown(197));
    EXPECT_EQ(dialogs.fileDialogs(), 0);

    SetDlgItemTextA(setup1, 1085, "9");
    hookLog().boxes.clear();
    menuCommand(kFileSaveAs, dialogs);
    EXPECT_FALSE(boxShown(197));
    EXPECT_EQ(dialogs.fileDialogs(), 1);
    menuCommand(kFileOpen, dialogs);
    EXPECT_EQ(dialogs.fileDialogs(), 2);
    hookLog().answer = IDOK;
}

TEST_F(SettingsFlowsTest, PamphletsWithdrawTheOneSidedPrintedCoversAndKeepTheInsertedOne)
{
    ASSERT_EQ(createMain(), 0);
    pressCtrl('3');
    HWND setup1 = pageWith(1152);
    ASSERT_NE(setup1, nullptr);
    constexpr int kFrontCover = 1024;
    choose(setup1, 1152, 5);  // pamphlets
    choose(setup1, kFrontCover, 1);
    EXPECT_NE(selected(setup1, kFrontCover), 1) << "print side 1 is withdrawn";
    choose(setup1, kFrontCover, 2);
    EXPECT_NE(selected(setup1, kFrontCover), 2) << "print side 2 is withdrawn";
    choose(setup1, kFrontCover, 3);
    EXPECT_EQ(selected(setup1, kFrontCover), 3) << "both sides printed stays";
    choose(setup1, kFrontCover, 4);
    EXPECT_EQ(selected(setup1, kFrontCover), 4) << "the pre-printed cover is inserted";

    ASSERT_EQ(orvox.SaveSettings(path_.c_str()), 0);
    const std::string bytes = fileBytes(path_);
    const std::size_t at = resourceString(1088).size() + 4 + offsetof(JobSettings, frontCover);
    ASSERT_GT(bytes.size(), at + 1);
    EXPECT_EQ(bytes[at], 4);
    pressCtrl('2');
    pressCtrl('3');
    EXPECT_EQ(selected(setup1, kFrontCover), 4);

    choose(setup1, 1152, 0);  // one-sided: both printed sides come back
    choose(setup1, kFrontCover, 1);
    EXPECT_EQ(selected(setup1, kFrontCover), 1);
    choose(setup1, kFrontCover, 2);
    EXPECT_EQ(selected(setup1, kFrontCover), 2);
}

TEST_F(SettingsFlowsTest, TheStartsMessageBoxesCarryTheBrandingCaption)
{
    // The library shows its own boxes now; the restriction file is missing, so
    // the start stops with a box. (The help file cannot serve: once a viewer in
    // this process has opened it, it stays open.)
    ASSERT_EQ(orvox.InitMain(nullptr, nullptr), 6);
    FileRestorer restrictions(resourceString(389));
    ASSERT_TRUE(DeleteFileA(restrictions.path().c_str())) << GetLastError();
    FileRestorer branding("OrvoxBr.ini");
    branding.write("[BrandingStrings]\nFormalAppName=Hall 2 Job Setup\n");
    DialogWatcher dialogs;
    EXPECT_NE(createMain(), 0);
    ASSERT_FALSE(dialogs.seen().empty());
    EXPECT_EQ(dialogs.seen().front().caption, "Hall 2 Job Setup");
}

// The temporary folder of the system, else the current folder after the
// system's own words on why; names get a prefix even when none is asked for.
class NoTempFolder : public platform::Win32FileSystem {
protected:
    std::string systemTempFolder() const override
    {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return {};
    }
};

struct ShownMessages : platform::MessageSink {
    int show(const std::string& text, unsigned) override
    {
        texts.push_back(text);
        return IDOK;
    }
    std::vector<std::string> texts;
};

TEST(TemporaryFiles, NamesHaveAPrefixAndTheCurrentFolderStandsInForAMissingTempFolder)
{
    platform::Win32FileSystem files;
    const std::string name = files.uniqueTempFile("");
    ASSERT_FALSE(name.empty());
    const std::string base = name.substr(name.find_last_of('\\') + 1);
    EXPECT_EQ(base.rfind("~TM", 0), 0u) << base;
    DeleteFileA(name.c_str());

    NoTempFolder fallback;
    ShownMessages messages;
    fallback.setMessages(&messages);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    std::string expected = current;
    if (expected.back() != '\\') expected += '\\';
    EXPECT_EQ(fallback.tempFolder(), expected);
    ASSERT_EQ(messages.texts.size(), 1u);
    char system[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_PATH_NOT_FOUND, 0,
                   system, sizeof system, nullptr);
    EXPECT_EQ(messages.texts[0], system);
    const std::string made = fallback.uniqueTempFile("job");
    ASSERT_FALSE(made.empty());
    EXPECT_EQ(made.rfind(expected, 0), 0u) << made;
    DeleteFileA(made.c_str());
}

// Run files are held while their run lives: a sweep by anyone else leaves
// them, while a file of the same form that nobody holds (a killed run's) goes,
// and so does a held one once its run lets go of it. Files of other forms are
// never touched.
TEST(TemporaryFiles, ASweepRemovesOnlyRunFilesThatNoRunHolds)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("orvox-sweep-" + std::to_string(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    char tmp[MAX_PATH] = {}, temp[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", tmp, MAX_PATH);
    GetEnvironmentVariableA("TEMP", temp, MAX_PATH);
    SetEnvironmentVariableA("TMP", (folder.string() + "\\").c_str());
    SetEnvironmentVariableA("TEMP", (folder.string() + "\\").c_str());
    {
        platform::Win32FileSystem live;
        platform::Win32FileSystem next;
        const std::string held = live.newRunFile("OrvoxTest");
        ASSERT_FALSE(held.empty());
        EXPECT_EQ(held.rfind((folder / "OrvoxTest.orvox-run-").string(), 0), 0u) << held;
        // The run writes and reads its own file while holding it.
        {
            std::FILE* f = std::fopen(held.c_str(), "w+b");
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(std::fputs("job", f), 0);
            EXPECT_EQ(std::fclose(f), 0);
        }
        const std::string killed = (folder / "OrvoxSubmit.orvox-run-1f-2a-3.tmp").string();
        const std::string others[] = {(folder / "Orv1A2B.tmp").string(), (folder / "notes.orvox-run-1.txt").string()};
        std::ofstream(killed) << "left by a killed run";
        for (const std::string& other : others) std::ofstream(other) << "another program's";

        EXPECT_EQ(next.removeStaleRunFiles(), 1);
        EXPECT_FALSE(std::filesystem::exists(killed));
        EXPECT_EQ(fileBytes(held), "job");
        EXPECT_TRUE(DeleteFileA(held.c_str()) == FALSE) << "a held run file could be deleted";
        for (const std::string& other : others) EXPECT_TRUE(std::filesystem::exists(other)) << other;

        // Kept for inspection, it stays until a later run sweeps.
        live.releaseRunFile(held, true);
        EXPECT_EQ(fileBytes(held), "job");
        EXPECT_EQ(next.removeStaleRunFiles(), 1);
        EXPECT_FALSE(std::filesystem::exists(held));

        const std::string released = live.newRunFile("");
        ASSERT_FALSE(released.empty());
        live.releaseRunFile(released, false);
        EXPECT_FALSE(std::filesystem::exists(released));
    }
    SetEnvironmentVariableA("TMP", tmp);
    SetEnvironmentVariableA("TEMP", temp);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

} // namespace
} // namespace orvox::test
