// The Files page's folder tree and file list over the shell namespace, on a
// folder tree the test makes: the desktop at the root, the shell's names, small
// icons and order, the type filter, the remembered folder, select-all and the
// limit of the list. Nothing here depends on what lies on the machine's desktop.
#include <shlobj.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "ui_host.h"

namespace orvox::test {
namespace {

namespace fs = std::filesystem;

constexpr int kTree = 2641;
constexpr int kList = 2642;
constexpr int kAllFilesFilter = 4;  // without the TIFF choice of the branding file
constexpr int kPdfFilter = 3;

std::string desktopName()
{
    ITEMIDLIST* desktop = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop))) return {};
    SHFILEINFOA info{};
    SHGetFileInfoA(reinterpret_cast<const char*>(desktop), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME);
    CoTaskMemFree(desktop);
    return info.szDisplayName;
}

int systemIconOf(const std::string& path)
{
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) return -2;
    return info.iIcon;
}

HIMAGELIST systemSmallImages()
{
    SHFILEINFOA info{};
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

class FolderBrowserTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        name_ = "orvox_browse_" + std::to_string(GetCurrentProcessId());
        root_ = fs::path(temp) / name_;
        fs::create_directories(root_ / "alpha" / "deep");
        fs::create_directories(root_ / "beta");
        for (const char* file : {"a.ps", "b.PDF", "README", "c.ps"}) std::ofstream(root_ / file) << "%!\n";
        std::ofstream(root_ / "beta" / "x.ps") << "%!\n";
    }
    void TearDown() override
    {
        UiHost::TearDown();
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    // Starts the window with the remembered folder and type filter.
    void start(const std::string& lastFolder, int filter)
    {
        WritePrivateProfileStringA("Browser", "LastFolder", lastFolder.c_str(), config_.path().c_str());
        WritePrivateProfileStringA("Browser", "TypeFilter", std::to_string(filter).c_str(), config_.path().c_str());
        ASSERT_EQ(createMain(), 0);
        for (HWND page = GetWindow(tabControl(), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT))
            if (GetDlgItem(page, kTree)) files_ = page;
        ASSERT_NE(files_, nullptr);
        tree_ = GetDlgItem(files_, kTree);
        list_ = GetDlgItem(files_, kList);
    }
    void restart()
    {
        ASSERT_EQ(orvox.Exit(1), 0);
        ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    }

    std::string itemText(HTREEITEM item) const
    {
        char text[MAX_PATH] = {};
        TVITEMA query{};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = text;
        query.cchTextMax = MAX_PATH;
        SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
        return text;
    }
    TVITEMA itemState(HTREEITEM item) const
    {
        TVITEMA query{};
        query.mask = TVIF_CHILDREN | TVIF_STATE | TVIF_IMAGE;
        query.stateMask = TVIS_EXPANDED | TVIS_SELECTED;
        query.hItem = item;
        SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
        return query;
    }
    HTREEITEM next(HTREEITEM item, UINT how) const
    {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM selected() const { return next(nullptr, TVGN_CARET); }
    HTREEITEM child(HTREEITEM parent, const std::string& text) const
    {
        for (HTREEITEM item = next(parent, TVGN_CHILD); item; item = next(item, TVGN_NEXT))
            if (itemText(item) == text) return item;
        return nullptr;
    }
    // The texts from the root down to `item`.
    std::vector<std::string> chain(HTREEITEM item) const
    {
        std::vector<std::string> texts;
        for (; item; item = next(item, TVGN_PARENT)) texts.insert(texts.begin(), itemText(item));
        return texts;
    }
    std::vector<std::string> listTexts() const { return listViewTexts(list_); }
    int listIcon(int row) const
    {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageA(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    void chooseFilter(int index) const
    {
        SendDlgItemMessageA(files_, 1093, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(files_, WM_COMMAND, MAKEWPARAM(1093, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(files_, 1093)));
    }
    void click(int id) const
    {
        SendMessageA(files_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(files_, id)));
    }
    std::string savedFolder() const
    {
        char saved[MAX_PATH] = {};
        GetPrivateProfileStringA("Browser", "LastFolder", "", saved, MAX_PATH, config_.path().c_str());
        return saved;
    }
    std::vector<std::string> filesToPrint() const
    {
        std::vector<std::string> texts;
        HWND box = GetDlgItem(files_, 1000);
        const auto count = static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[MAX_PATH * 2] = {};
            SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            texts.emplace_back(text);
        }
        return texts;
    }

    FileRestorer config_{"Orvox.ini"};
    std::string name_;
    fs::path root_;
    HWND files_ = nullptr;
    HWND tree_ = nullptr;
    HWND list_ = nullptr;
};

TEST_F(FolderBrowserTest, TreeStartsAtTheDesktopAndShowsTheFolderWithTheShellsNamesIconsAndOrder)
{
    // A folder remembered as a file-system path, as older configurations hold it.
    start(root_.string(), kPdfFilter);
    const std::string desktop = desktopName();
    ASSERT_FALSE(desktop.empty());
    HTREEITEM root = next(nullptr, TVGN_ROOT);
    EXPECT_EQ(itemText(root), desktop);
    EXPECT_EQ(next(root, TVGN_NEXT), nullptr) << "the desktop is the only top-level item";

    HTREEITEM folder = selected();
    ASSERT_NE(folder, nullptr);
    const auto path = chain(folder);
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.front(), desktop);
    EXPECT_EQ(path.back(), name_);
    // The system's small icons, from the system's own image list, shared by both controls.
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(tree_, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    EXPECT_EQ(images, systemSmallImages());
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(list_, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), images);
    EXPECT_EQ(itemState(folder).iImage, systemIconOf(root_.string()));

    // Sub-folders always, files through the filter (extension without regard to case), in the shell's order.
    EXPECT_EQ(listTexts(), (std::vector<std::string>{"alpha", "beta", "b.PDF"}));
    EXPECT_EQ(listIcon(2), systemIconOf((root_ / "b.PDF").string()));
    EXPECT_EQ(listIcon(0), systemIconOf((root_ / "alpha").string()));
    chooseFilter(kAllFilesFilter);
    EXPECT_EQ(listTexts(), (std::vector<std::string>{"alpha", "beta", "a.ps", "b.PDF", "c.ps", "README"}));
    chooseFilter(0);
    EXPECT_EQ(listTexts(), (std::vector<std::string>{"alpha", "beta", "a.ps", "c.ps"})) << "README has no extension";

    // A folder holding only files loses its expand button once it is opened.
    SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    HTREEITEM beta = child(folder, "beta");
    ASSERT_NE(beta, nullptr);
    SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(beta));
    EXPECT_EQ(itemState(beta).cChildren, 0);
    HTREEITEM alpha = child(folder, "alpha");
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(itemState(alpha).cChildren, 1);
    EXPECT_EQ(child(alpha, "deep") == nullptr, true) << "children are read when a folder opens";
    SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(alpha));
    EXPECT_NE(child(alpha, "deep"), nullptr);
}

TEST_F(FolderBrowserTest, TheFolderOnShowStaysMarkedWhenTheTreeLosesTheFocus)
{
    start(root_.string(), kAllFilesFilter);
    ShowWindow(host, SW_SHOWNOACTIVATE);
    ASSERT_EQ(orvox.ShowMain(SW_SHOW, 0, 0), 0);
    SetFocus(GetDlgItem(files_, 1156));
    ASSERT_NE(GetFocus(), tree_);
    RECT text{};
    const HTREEITEM folder = selected();
    std::memcpy(&text, &folder, sizeof folder);  // the item goes in, its label's rectangle comes out
    ASSERT_TRUE(SendMessageA(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text)));
    RedrawWindow(tree_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    ASSERT_TRUE(IsWindowVisible(tree_));
    HDC dc = GetDC(tree_);
    // The label's background, in its top left corner before the first letter.
    const COLORREF shown = GetPixel(dc, text.left + 1, text.top + 1);
    ReleaseDC(tree_, dc);
    EXPECT_EQ(shown, GetSysColor(COLOR_HIGHLIGHT))
        << std::hex << shown << " at " << std::dec << text.left << "," << text.top << "-" << text.right << "," << text.bottom;
}

TEST_F(FolderBrowserTest, TheFolderIsRememberedByDisplayNamesAndRestoredFromThem)
{
    start(root_.string(), kAllFilesFilter);
    // Typing a sub-folder's name opens it; the folder is kept as the names the operator sees.
    SetDlgItemTextA(files_, 1156, "alpha");
    click(1001);
    ASSERT_EQ(itemText(selected()), "alpha");
    const auto expected = chain(selected());
    std::string display;
    for (const std::string& part : expected) display += part + "\\";
    EXPECT_EQ(savedFolder(), display);
    EXPECT_EQ(display.rfind(desktopName() + "\\", 0), 0u);

    restart();
    start(display, kAllFilesFilter);
    EXPECT_EQ(chain(selected()), expected);
    EXPECT_EQ(listTexts(), std::vector<std::string>{"deep"});

    // A remembered folder that is gone: its parents are opened, the desktop stays selected.
    restart();
    const std::string parent = display.substr(0, display.size() - std::string("alpha\\").size());
    start(parent + "gone\\", kAllFilesFilter);
    EXPECT_EQ(selected(), next(nullptr, TVGN_ROOT));
    HTREEITEM item = next(nullptr, TVGN_ROOT);
    for (std::size_t i = 1; i + 1 < expected.size(); ++i) {
        item = child(item, expected[i]);
        ASSERT_NE(item, nullptr) << expected[i];
    }
    EXPECT_TRUE(itemState(item).state & TVIS_EXPANDED) << "the folder that held the missing one is open";
}

TEST_F(FolderBrowserTest, SelectAllAddsTheListedFilesAndEnterOnAFolderOpensIt)
{
    start(root_.string(), kAllFilesFilter);
    click(1002);
    std::vector<std::string> expected;
    for (const char* file : {"a.ps", "b.PDF", "c.ps", "README"}) expected.push_back((root_ / file).string());
    EXPECT_EQ(filesToPrint(), expected) << "files only, with full paths, in list order";

    // Enter on the folder entry of the list opens that folder in the tree and the list.
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list_, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));  // beta
    SendMessageA(list_, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(itemText(selected()), "beta");
    EXPECT_EQ(listTexts(), std::vector<std::string>{"x.ps"});
    EXPECT_EQ(filesToPrint().size(), expected.size()) << "opening a folder adds nothing";
}

TEST_F(FolderBrowserTest, AFolderWithManyFilesListsAtMost2001Entries)
{
    fs::create_directories(root_ / "many");
    for (int i = 0; i < 2050; ++i) std::ofstream(root_ / "many" / ("f" + std::to_string(i) + ".ps"));
    start((root_ / "many").string(), 0);
    EXPECT_EQ(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0), 2001);
}

} // namespace
} // namespace orvox::test
