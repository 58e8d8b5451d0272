// The Files page's view of its files-to-print list as many files come and go:
// the count in the label, the remove button and the TIFF printer language stay
// true to the list through XML imports, select-all and removals.
#include <cstdlib>

#include "ui_host.h"
#include "window_shot.h"

namespace orvox::test {
namespace {

constexpr int kFilesToPrint = 1000;
constexpr int kSelectAll = 1002;
constexpr int kRemove = 1003;
constexpr int kCountLabel = 2612;
constexpr int kLanguage = 1066;
constexpr int kFileList = 2642;
constexpr int kTiffLanguage = 3;

class FilesListStateTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "orvox_list_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const std::string& name : made_) DeleteFileA((folder_ + name).c_str());
        RemoveDirectoryA(folder_.c_str());
        UiHost::TearDown();
    }

    std::string make(const std::string& name)
    {
        std::ofstream(folder_ + name) << "%!\n";
        made_.push_back(name);
        return folder_ + name;
    }
    HWND filesPage() const
    {
        for (HWND page = GetWindow(tabControl(), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
            if (GetDlgItem(page, kFilesToPrint)) return page;
        return nullptr;
    }
    int importFiles(const std::vector<std::string>& paths)
    {
        std::string xml = "<PRINTER_SETTINGS><FILES_TO_PRINT>";
        for (const std::string& path : paths) xml += "<FILE>" + path + "</FILE>";
        xml += "</FILES_TO_PRINT></PRINTER_SETTINGS>";
        int line = 0;
        return orvox.OpenXMLSettings(xml.c_str(), &line);
    }
    static void command(HWND page, int id, int code)
    {
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }
    static std::string label(HWND page)
    {
        char text[128] = {};
        GetDlgItemTextA(page, kCountLabel, text, sizeof(text));
        return text;
    }
    static std::string countLabel(int count)
    {
        return resourceString(61223) + (count > 0 ? " [" + std::to_string(count) + "]" : std::string()) + ":";
    }
    // Picks a printer language as the user does; the language the page then shows.
    static int pickLanguage(HWND page, int position)
    {
        SendMessageA(GetDlgItem(page, kLanguage), CB_SETCURSEL, static_cast<WPARAM>(position), 0);
        command(page, kLanguage, CBN_SELCHANGE);
        return static_cast<int>(SendMessageA(GetDlgItem(page, kLanguage), CB_GETCURSEL, 0, 0));
    }
    // Selects the list entry ending in `name` alone and presses Delete on the list.
    static void removeEntry(HWND page, const std::string& name)
    {
        HWND box = GetDlgItem(page, kFilesToPrint);
        const auto at = SendMessageA(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(name.c_str()));
        ASSERT_GE(at, 0) << name;
        SendMessageA(box, LB_SETSEL, FALSE, -1);
        SendMessageA(box, LB_SETSEL, TRUE, at);
        SendMessageA(box, WM_KEYDOWN, VK_DELETE, 0);
    }
    // With ORVOX_PAGE_SHOT naming a .bmp file, the Files page as the test left
    // it is brought to the front and saved there, to be looked at.
    void savePicture(HWND page)
    {
        const char* path = std::getenv("ORVOX_PAGE_SHOT");
        if (!path || !*path) return;
        HWND tabs = tabControl();
        const auto count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count && !(GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE); ++i) {
            SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(i), 0);  // does not notify by itself
            NMHDR change{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageA(GetParent(tabs), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
        }
        ShowWindow(host, SW_SHOW);
        orvox.ShowMain(SW_SHOW, 0, 0);
        RedrawWindow(host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        EXPECT_TRUE(saveWindowBitmap(host, path));
    }
    static int listed(HWND page)
    {
        return static_cast<int>(SendMessageA(GetDlgItem(page, kFilesToPrint), LB_GETCOUNT, 0, 0));
    }

    std::string folder_;
    std::vector<std::string> made_;
};

TEST_F(FilesListStateTest, CountRemoveAndTiffLanguageFollowImportsAndRemovals)
{
    const std::string a = make("a.ps"), scan = make("scan.tif"), page2 = make("page.TIFF"), c = make("c.pdf");
    ASSERT_EQ(createMain(), 0);
    HWND page = filesPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(label(page), countLabel(0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kRemove)));
    EXPECT_NE(pickLanguage(page, kTiffLanguage), kTiffLanguage) << "no TIFF file listed yet";

    // The TIFF file comes first and the batch ends with a PostScript file: the
    // state after the import is that of the whole batch, not of its last file.
    ASSERT_EQ(importFiles({scan, a}), 0);
    EXPECT_EQ(listed(page), 2);
    EXPECT_EQ(label(page), countLabel(2));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kRemove)));
    EXPECT_EQ(pickLanguage(page, kTiffLanguage), kTiffLanguage);

    // A second import: repeated names (in any case) count once, new ones add up.
    ASSERT_EQ(importFiles({scan, folder_ + "A.PS", page2, c}), 0);
    EXPECT_EQ(listed(page), 4);
    EXPECT_EQ(label(page), countLabel(4));
    EXPECT_EQ(SendMessageA(GetDlgItem(page, kLanguage), CB_GETCURSEL, 0, 0), kTiffLanguage);

    // One TIFF file gone, the other still listed: the TIFF language stays.
    removeEntry(page, scan);
    EXPECT_EQ(label(page), countLabel(3));
    EXPECT_EQ(SendMessageA(GetDlgItem(page, kLanguage), CB_GETCURSEL, 0, 0), kTiffLanguage);
    // The last TIFF file gone: the language falls back to the first and TIFF cannot be picked.
    removeEntry(page, page2);
    EXPECT_EQ(label(page), countLabel(2));
    EXPECT_EQ(SendMessageA(GetDlgItem(page, kLanguage), CB_GETCURSEL, 0, 0), 0);
    EXPECT_NE(pickLanguage(page, kTiffLanguage), kTiffLanguage);

    // Everything selected and removed at once: no count, nothing to remove.
    HWND box = GetDlgItem(page, kFilesToPrint);
    SendMessageA(box, LB_SETSEL, TRUE, -1);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(kRemove, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, kRemove)));
    EXPECT_EQ(listed(page), 0);
    EXPECT_EQ(label(page), countLabel(0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kRemove)));

    // Listed again after removal: the page counts it anew.
    ASSERT_EQ(importFiles({page2}), 0);
    EXPECT_EQ(label(page), countLabel(1));
    EXPECT_EQ(pickLanguage(page, kTiffLanguage), kTiffLanguage);
}

// A host that prints job after job in one start of the library: new settings
// leave the list alone, as they always have; a file list that starts with
// REPLACE_FILES takes the place of the list, and the page's state follows.
TEST_F(FilesListStateTest, ReplaceFilesTakesThePlaceOfTheListAndNewSettingsLeaveIt)
{
    const std::string a = make("a.ps"), scan = make("scan.tif"), c = make("c.pdf");
    ASSERT_EQ(createMain(), 0);
    HWND page = filesPage();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(importFiles({scan, a}), 0);
    ASSERT_EQ(pickLanguage(page, kTiffLanguage), kTiffLanguage);

    ASSERT_EQ(orvox.NewSettings(), 0);
    EXPECT_EQ(listed(page), 2) << "new settings keep the operator's files";

    int line = -1;
    const std::string replace = "<PRINTER_SETTINGS><FILES_TO_PRINT><REPLACE_FILES>ON</REPLACE_FILES><FILE>" + c +
                                "</FILE><FILE>" + a + "</FILE></FILES_TO_PRINT></PRINTER_SETTINGS>";
    ASSERT_EQ(orvox.OpenXMLSettings(replace.c_str(), &line), 0);
    EXPECT_EQ(line, 0);
    HWND box = GetDlgItem(page, kFilesToPrint);
    ASSERT_EQ(listed(page), 2);
    char text[MAX_PATH] = {};
    SendMessageA(box, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STRCASEEQ(text, c.c_str()) << "the list holds the new files only, in their order";
    SendMessageA(box, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STRCASEEQ(text, a.c_str());
    EXPECT_EQ(label(page), countLabel(2));
    EXPECT_EQ(SendMessageA(box, LB_GETSELCOUNT, 0, 0), 1) << "the last file is the one selected, as after any import";
    // The TIFF file is gone with the list: its language goes with it.
    EXPECT_EQ(SendMessageA(GetDlgItem(page, kLanguage), CB_GETCURSEL, 0, 0), 0);
    EXPECT_NE(pickLanguage(page, kTiffLanguage), kTiffLanguage);
    // A name listed before the list was emptied is listed again, once.
    ASSERT_EQ(importFiles({scan, scan, folder_ + "SCAN.TIF"}), 0);
    EXPECT_EQ(listed(page), 3);

    // Emptied and nothing added: nothing to remove, no count.
    ASSERT_EQ(orvox.OpenXMLSettings(
                  "<PRINTER_SETTINGS><FILES_TO_PRINT><REPLACE_FILES>ON</REPLACE_FILES></FILES_TO_PRINT></PRINTER_SETTINGS>",
                  &line),
              0);
    EXPECT_EQ(listed(page), 0);
    EXPECT_EQ(label(page), countLabel(0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kRemove)));

    // Out of place it is refused whole, with its line, and the list is kept.
    ASSERT_EQ(importFiles({a}), 0);
    const std::string late = "<PRINTER_SETTINGS>\n<FILES_TO_PRINT>\n<FILE>" + c +
                             "</FILE>\n<REPLACE_FILES>ON</REPLACE_FILES>\n</FILES_TO_PRINT>\n</PRINTER_SETTINGS>";
    EXPECT_EQ(orvox.OpenXMLSettings(late.c_str(), &line), 42);
    EXPECT_GT(line, 0);
    EXPECT_EQ(listed(page), 1);
    savePicture(page);
}

TEST_F(FilesListStateTest, ALargeBatchIsListedWholeAndSelectAllAddsOnlyWhatIsMissing)
{
    // A hot-folder batch: many scans and one PostScript file, which the import
    // lists last; then select-all over the same folder adds nothing twice.
    std::vector<std::string> batch;
    for (int i = 0; i < 300; ++i) batch.push_back(make("scan" + std::to_string(i) + ".tif"));
    batch.push_back(make("cover.ps"));
    FileRestorer config("Orvox.ini");
    WritePrivateProfileStringA("Browser", "LastFolder", folder_.c_str(), config.path().c_str());
    ASSERT_EQ(createMain(), 0);
    HWND page = filesPage();
    ASSERT_NE(page, nullptr);

    ASSERT_EQ(importFiles(std::vector<std::string>(batch.begin() + 100, batch.end())), 0);
    EXPECT_EQ(listed(page), 201);
    EXPECT_EQ(label(page), countLabel(201));
    // The last file of the import is its only selected entry.
    HWND box = GetDlgItem(page, kFilesToPrint);
    EXPECT_EQ(SendMessageA(box, LB_GETSELCOUNT, 0, 0), 1);
    EXPECT_GT(SendMessageA(box, LB_GETSEL, 200, 0), 0);
    EXPECT_EQ(pickLanguage(page, kTiffLanguage), kTiffLanguage);

    // The file list of the batch's folder with every type shown, then select-all.
    HWND types = GetDlgItem(page, 1093);
    const auto all = SendMessageA(types, CB_GETCOUNT, 0, 0) - 1;  // the last choice lets every name pass
    SendMessageA(types, CB_SETCURSEL, static_cast<WPARAM>(all), 0);
    command(page, 1093, CBN_SELCHANGE);
    ASSERT_EQ(SendMessageA(GetDlgItem(page, kFileList), LVM_GETITEMCOUNT, 0, 0), 301);
    command(page, kSelectAll, BN_CLICKED);
    EXPECT_EQ(listed(page), 301);
    EXPECT_EQ(label(page), countLabel(301));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, kRemove)));
    EXPECT_EQ(SendMessageA(GetDlgItem(page, kLanguage), CB_GETCURSEL, 0, 0), kTiffLanguage);
}

TEST_F(FilesListStateTest, NamesBeyondAsciiAreComparedAsTheListBoxComparesThem)
{
    // "café.ps" in the ANSI code page, listed, then named again with a capital É:
    // the list box ignores that case too, so the file is listed once.
    const std::string cafe = make("caf\xe9.ps");
    const std::string plain = make("plain.ps");
    ASSERT_EQ(createMain(), 0);
    HWND page = filesPage();
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(importFiles({cafe, plain}), 0);
    ASSERT_EQ(listed(page), 2);
    hookLog().boxes.clear();
    ASSERT_EQ(importFiles({folder_ + "CAF\xc9.PS", folder_ + "PLAIN.PS"}), 0);
    EXPECT_TRUE(hookLog().boxes.empty()) << "the file system found both names";
    EXPECT_EQ(listed(page), 2);
    EXPECT_EQ(label(page), countLabel(2));
    // With the other name gone, plain names are still found again.
    HWND box = GetDlgItem(page, kFilesToPrint);
    SendMessageA(box, LB_SETSEL, FALSE, -1);
    SendMessageA(box, LB_SETSEL, TRUE, 0);
    SendMessageA(box, WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_EQ(listed(page), 1);
    ASSERT_EQ(importFiles({folder_ + "Plain.ps"}), 0);
    EXPECT_EQ(listed(page), 1);
}

TEST_F(FilesListStateTest, AfterABatchTheListIsDrawnAgainAndTheCursorIsTheOperatorsAgain)
{
    std::vector<std::string> batch;
    for (int i = 0; i < 300; ++i) batch.push_back(make("scan" + std::to_string(i) + ".tif"));
    ASSERT_EQ(createMain(), 0);
    HWND page = filesPage();
    ASSERT_NE(page, nullptr);
    HWND box = GetDlgItem(page, kFilesToPrint);
    const auto verticalRange = [box] {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE;
        GetScrollInfo(box, SB_VERT, &info);
        return info.nMax;
    };
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    SetCursor(arrow);

    // A file that cannot be read is reported in the middle of the batch.
    std::vector<std::string> withMissing = batch;
    withMissing.insert(withMissing.begin() + 150, folder_ + "missing.ps");
    hookLog().boxes.clear();
    ASSERT_EQ(importFiles(withMissing), 0);
    EXPECT_EQ(hookLog().boxes.size(), 1u);
    ASSERT_EQ(listed(page), 300);
    EXPECT_EQ(GetCursor(), arrow) << "the batch's wait cursor ends with the batch";
    // The scroll bar is brought up to the list at the end of the batch.
    EXPECT_EQ(verticalRange(), 299);

    // All removed at once: the list and its scroll bar follow once it is empty.
    SendMessageA(box, LB_SETSEL, TRUE, -1);
    command(page, kRemove, BN_CLICKED);
    EXPECT_EQ(listed(page), 0);
    EXPECT_LE(verticalRange(), 0);
    EXPECT_EQ(label(page), countLabel(0));

    // Half of a new batch removed: the rest stays in order.
    ASSERT_EQ(importFiles(std::vector<std::string>(batch.begin(), batch.begin() + 20)), 0);
    SendMessageA(box, LB_SETSEL, FALSE, -1);
    for (int i = 0; i < 20; i += 2) SendMessageA(box, LB_SETSEL, TRUE, i);
    command(page, kRemove, BN_CLICKED);
    ASSERT_EQ(listed(page), 10);
    for (int i = 0; i < 10; ++i) {
        char text[MAX_PATH] = {};
        SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        // The import hands the names on upper-cased.
        EXPECT_EQ(lstrcmpiA(text, batch[static_cast<std::size_t>(2 * i + 1)].c_str()), 0) << i << " " << text;
    }
    EXPECT_EQ(verticalRange(), 9);
    EXPECT_EQ(label(page), countLabel(10));
    savePicture(page);
}

} // namespace
} // namespace orvox::test
