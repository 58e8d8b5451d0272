// The Printers and Files pages through the library: the spooler's queues, the
// files to print from XML, dropped files and the folder browser, and the rules
// that keep a job going somewhere.
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "ui_host.h"

namespace orvox::test {
namespace {

class PrinterFilePagesTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "orvox_pages_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
        CreateDirectoryA((folder_ + "sub").c_str(), nullptr);
        for (const char* name : {"a.ps", "b.PDF", "README", "scan.tif"}) std::ofstream(folder_ + name) << "%!\n";
    }
    void TearDown() override
    {
        for (const char* name : {"a.ps", "b.PDF", "README", "scan.tif"}) DeleteFileA((folder_ + name).c_str());
        RemoveDirectoryA((folder_ + "sub").c_str());
        RemoveDirectoryA(folder_.c_str());
        UiHost::TearDown();
    }

    // The page of the tab control that holds `controlId`.
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
    static void click(HWND page, int id) { command(page, id, BN_CLICKED); }
    static void setCheck(HWND page, int id, bool on)
    {
        CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
        click(page, id);
    }
    static std::vector<std::string> listBoxTexts(HWND box)
    {
        std::vector<std::string> texts;
        const auto count = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[MAX_PATH * 2] = {};
            SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            texts.emplace_back(text);
        }
        return texts;
    }
    static std::string upper(std::string text)
    {
        for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        return text;
    }
    int importXml(const std::string& body)
    {
        int line = 0;
        return orvox.OpenXMLSettings(("<PRINTER_SETTINGS>" + body + "</PRINTER_SETTINGS>").c_str(), &line);
    }

    std::string folder_;
};

TEST_F(PrinterFilePagesTest, TheTestQueueIsListedAndXmlSelectsItByNameIgnoringCase)
{
    const char* queue = std::getenv("ORVOX_QUEUE");
    ASSERT_TRUE(queue && *queue) << "ORVOX_QUEUE is not set; run through tools/e2e-env.sh";
    ASSERT_EQ(createMain(), 0);
    HWND printers = pageWith(1038);
    ASSERT_NE(printers, nullptr);
    HWND list = GetDlgItem(printers, 1038);

    int queueRow = -1;
    const auto rows = listBoxTexts(list);
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].rfind(std::string(queue) + " on ", 0) == 0) queueRow = static_cast<int>(i);
    ASSERT_GE(queueRow, 0) << "rows: " << rows.size();

    // Away from the queue first, so the import has something to change.
    const int other = queueRow == 0 && rows.size() > 1 ? 1 : 0;
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(other), 0);
    command(printers, 1038, LBN_SELCHANGE);
    ASSERT_EQ(importXml("<PRINTER>" + upper(queue) + "</PRINTER>"), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), queueRow);

    // An unknown queue leaves no printer selected, and the operator is told which name was not found:
    // a job described for another machine must not print on the queue that happened to be selected.
    hookLog().boxes.clear();
    ASSERT_EQ(importXml("<PRINTER>no such queue</PRINTER>"), 0) << "the import itself succeeds";
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
    ASSERT_EQ(hookLog().boxes.size(), 1u);
    EXPECT_NE(hookLog().boxes[0].text.find("NO SUCH QUEUE"), std::string::npos) << hookLog().boxes[0].text;
    ASSERT_EQ(importXml("<FILES_TO_PRINT><FILE>" + folder_ + "a.ps</FILE></FILES_TO_PRINT>"), 0);
    hookLog().boxes.clear();
    EXPECT_EQ(orvox.Print(), 19);
    ASSERT_FALSE(hookLog().boxes.empty());
    EXPECT_EQ(hookLog().boxes[0].text, resourceString(186));

    // A known name selects again.
    ASSERT_EQ(importXml("<PRINTER>" + std::string(queue) + "</PRINTER>"), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), queueRow);
}

TEST_F(PrinterFilePagesTest, XmlFilesArriveInOrderOnceEachAndAMissingFileIsReported)
{
    ASSERT_EQ(createMain(), 0);
    HWND files = pageWith(1000);
    ASSERT_NE(files, nullptr);
    const std::string a = folder_ + "a.ps", b = folder_ + "b.PDF", missing = folder_ + "gone.ps";
    hookLog().boxes.clear();
    ASSERT_EQ(importXml("<FILES_TO_PRINT><FILE>" + b + "</FILE><FILE>" + a + "</FILE><FILE>" + missing +
                        "</FILE><FILE>" + folder_ + "A.PS</FILE></FILES_TO_PRINT>"),
              0);
    // The XML text reaches the library upper-cased; the file system ignores case.
    EXPECT_EQ(listBoxTexts(GetDlgItem(files, 1000)), (std::vector<std::string>{upper(b), upper(a)}));
    ASSERT_EQ(hookLog().boxes.size(), 1u);
    EXPECT_EQ(hookLog().boxes[0].text, resourceString(410) + "\n" + upper(missing));
    // The repeated file is the only selected entry.
    EXPECT_EQ(SendMessageA(GetDlgItem(files, 1000), LB_GETSELCOUNT, 0, 0), 1);
    EXPECT_GT(SendMessageA(GetDlgItem(files, 1000), LB_GETSEL, 1, 0), 0);
    char label[128] = {};
    GetDlgItemTextA(files, 2612, label, sizeof(label));
    EXPECT_EQ(std::string(label), resourceString(61223) + " [2]:");

    // Delete on the list removes the selection; the entry now at its place is selected.
    HWND box = GetDlgItem(files, 1000);
    SendMessageA(box, LB_SETSEL, FALSE, -1);
    SendMessageA(box, LB_SETSEL, TRUE, 0);
    SendMessageA(box, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(listBoxTexts(box), std::vector<std::string>{upper(a)});
    EXPECT_GT(SendMessageA(box, LB_GETSEL, 0, 0), 0);
}

TEST_F(PrinterFilePagesTest, DroppedFilesAreListedAndRemovingTheLastDisablesRemove)
{
    ASSERT_EQ(createMain(), 0);
    HWND files = pageWith(1000);
    ASSERT_NE(files, nullptr);
    const std::string dropped = folder_ + "scan.tif";
    // A drop as the shell builds it: the header, then zero-terminated names and a final zero.
    const std::size_t size = sizeof(DROPFILES) + dropped.size() + 2;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    ASSERT_NE(memory, nullptr);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), dropped.c_str(), dropped.size());
    GlobalUnlock(memory);
    SendMessageA(main_, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);  // the window frees it

    HWND box = GetDlgItem(files, 1000);
    EXPECT_EQ(listBoxTexts(box), std::vector<std::string>{dropped});
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(files, 1003)));
    click(files, 1003);
    EXPECT_EQ(SendMessageA(box, LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(files, 1003)));
}

TEST_F(PrinterFilePagesTest, TheBrowserOpensTheSavedFolderFiltersByTypeAndRemembersBoth)
{
    FileRestorer config("Orvox.ini");
    WritePrivateProfileStringA("Browser", "LastFolder", folder_.c_str(), config.path().c_str());
    WritePrivateProfileStringA("Browser", "TypeFilter", "3", config.path().c_str());
    ASSERT_EQ(createMain(), 0);
    HWND files = pageWith(2642);
    ASSERT_NE(files, nullptr);
    HWND list = GetDlgItem(files, 2642);
    EXPECT_EQ(listViewTexts(list), (std::vector<std::string>{"sub", "b.PDF"}));

    HWND types = GetDlgItem(files, 1093);
    SendMessageA(types, CB_SETCURSEL, 0, 0);
    command(files, 1093, CBN_SELCHANGE);
    EXPECT_EQ(listViewTexts(list), (std::vector<std::string>{"sub", "a.ps"}));
    EXPECT_EQ(GetPrivateProfileIntA("Browser", "TypeFilter", -1, config.path().c_str()), 0u);

    // A typed sub-folder name opens the folder instead of adding a file.
    SetDlgItemTextA(files, 1156, "sub");
    click(files, 1001);
    EXPECT_EQ(SendMessageA(GetDlgItem(files, 1000), LB_GETCOUNT, 0, 0), 0);
    char saved[MAX_PATH] = {};
    GetPrivateProfileStringA("Browser", "LastFolder", "", saved, MAX_PATH, config.path().c_str());
    // Kept as the names the operator sees, from the desktop down.
    const std::string folderName = folder_.substr(folder_.find_last_of('\\', folder_.size() - 2) + 1);
    const std::string tail = "\\" + folderName + "sub\\";
    ASSERT_GT(std::string(saved).size(), tail.size());
    EXPECT_EQ(std::string(saved).substr(std::string(saved).size() - tail.size()), tail);

    // A bare file name means the file in the folder on show.
    std::ofstream(folder_ + "sub\\c.ps") << "%!\n";
    SetDlgItemTextA(files, 1156, "c.ps");
    SendMessageA(GetDlgItem(files, 1156), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(listBoxTexts(GetDlgItem(files, 1000)).size(), 1u);
    DeleteFileA((folder_ + "sub\\c.ps").c_str());
}

TEST_F(PrinterFilePagesTest, SendingFilesUnchangedClosesTheJobTabs)
{
    ASSERT_EQ(createMain(), 0);
    HWND files = pageWith(1083);
    ASSERT_NE(files, nullptr);
    HWND modify = GetDlgItem(files, 1083);
    SendMessageA(modify, CB_SETCURSEL, 2, 0);
    command(files, 1083, CBN_SELCHANGE);
    pressCtrl('3');
    pressCtrl('5');
    EXPECT_EQ(currentCaption(), resourceString(434)) << "no job tab can be opened";

    SendMessageA(modify, CB_SETCURSEL, 1, 0);
    command(files, 1083, CBN_SELCHANGE);
    pressCtrl('3');
    EXPECT_EQ(currentCaption(), resourceString(434));
    pressCtrl('5');
    EXPECT_EQ(currentCaption(), resourceString(436)) << "custom commands stay available";
}

TEST_F(PrinterFilePagesTest, AJobAlwaysGoesToThePrinterOrAFile)
{
    ASSERT_EQ(createMain(), 0);
    HWND printers = pageWith(1068);
    ASSERT_NE(printers, nullptr);
    setCheck(printers, 1068, false);
    EXPECT_EQ(IsDlgButtonChecked(printers, 1068), static_cast<UINT>(BST_CHECKED)) << "print cannot go off alone";

    setCheck(printers, 1070, true);
    setCheck(printers, 1068, false);
    EXPECT_EQ(IsDlgButtonChecked(printers, 1068), static_cast<UINT>(BST_UNCHECKED));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(printers, 1071))) << "no specific printer without printing";
    setCheck(printers, 1070, false);
    EXPECT_EQ(IsDlgButtonChecked(printers, 1068), static_cast<UINT>(BST_CHECKED)) << "clearing save-as turns printing back on";
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(printers, 1071)));
}

TEST_F(PrinterFilePagesTest, AKeyboardModelChangeWaitsAndCancelRestoresTheModel)
{
    ASSERT_EQ(createMain(), 0);
    HWND printers = pageWith(1065);
    ASSERT_NE(printers, nullptr);
    HWND models = GetDlgItem(printers, 1065);
    ASSERT_EQ(SendMessageA(models, CB_GETCOUNT, 0, 0), 2);
    ASSERT_EQ(SendMessageA(models, CB_GETCURSEL, 0, 0), 0);

    hookLog().boxes.clear();
    SendMessageA(models, CB_SETCURSEL, 1, 0);
    command(printers, 1065, CBN_SELCHANGE);
    EXPECT_TRUE(hookLog().boxes.empty()) << "nothing is asked while the operator moves through the list";
    hookLog().answer = IDCANCEL;
    command(printers, 1065, CBN_KILLFOCUS);
    ASSERT_EQ(hookLog().boxes.size(), 1u);
    char caption[128] = {};
    SendMessageA(models, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(caption));
    EXPECT_EQ(hookLog().boxes[0].text, resourceString(393) + caption + resourceString(396));
    EXPECT_EQ(SendMessageA(models, CB_GETCURSEL, 0, 0), 0);

    hookLog().answer = IDOK;
    SendMessageA(models, CB_SETCURSEL, 1, 0);
    command(printers, 1065, CBN_SELCHANGE);
    command(printers, 1065, CBN_KILLFOCUS);
    EXPECT_EQ(hookLog().boxes.size(), 2u);
    EXPECT_EQ(SendMessageA(models, CB_GETCURSEL, 0, 0), 1) << "the switched model stays after the pages reload";
    command(printers, 1065, CBN_KILLFOCUS);
    EXPECT_EQ(hookLog().boxes.size(), 2u) << "a committed change is not asked again";

    // A printer found unusable takes the model list away until the window is built again.
    SendMessageA(printers, WM_USER + 22, 0, 0);
    ASSERT_EQ(hookLog().boxes.size(), 3u);
    EXPECT_EQ(hookLog().boxes[2].text, resourceString(206));
    EXPECT_EQ(SendMessageA(models, CB_GETCOUNT, 0, 0), 0);
}

} // namespace
} // namespace orvox::test
