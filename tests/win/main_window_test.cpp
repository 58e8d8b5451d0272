// The main window's own behaviour through the exports: idle status text, menu
// state for the administration flag, menu prompts, a broken model file.
#include "ui_host.h"

namespace orvox::test {
namespace {

class MainWindowTest : public UiHost {
protected:
    HWND createStatus()
    {
        if (orvox.InitStatus() != 0 || orvox.CreateStatus(host) != 0) return nullptr;
        HWND bar = nullptr;
        orvox.GetWindowStatus(&bar);
        return bar;
    }
    static std::vector<std::string> messageTexts()
    {
        std::vector<std::string> texts;
        for (const auto& box : hookLog().boxes) texts.push_back(box.text);
        return texts;
    }
    std::string statusText(HWND bar) const
    {
        char text[256] = {};
        GetDlgItemTextA(bar, 1054, text, sizeof(text));
        return text;
    }
    void tick() const { SendMessageA(main_, WM_TIMER, 1, 0); }
};

TEST_F(MainWindowTest, StatusTextReturnsToIdleAfterStandingAFullPeriod)
{
    ASSERT_EQ(createMain(), 0);
    HWND bar = createStatus();
    ASSERT_NE(bar, nullptr);
    const std::string idle = resourceString(57345);
    EXPECT_EQ(statusText(bar), idle);

    SendMessageA(bar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Sending job 1"));
    EXPECT_EQ(statusText(bar), "Sending job 1");
    tick();
    EXPECT_EQ(statusText(bar), "Sending job 1");
    // A new text starts its period again.
    SendMessageA(bar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Sending job 2"));
    tick();
    EXPECT_EQ(statusText(bar), "Sending job 2");
    tick();
    EXPECT_EQ(statusText(bar), idle);

    // The idle text in other letters is idle all the same.
    std::string shouted = idle;
    for (char& c : shouted) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    ASSERT_NE(shouted, idle);
    SendMessageA(bar, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shouted.c_str()));
    tick();
    tick();
    tick();
    EXPECT_EQ(statusText(bar), shouted);
}

TEST_F(MainWindowTest, AdministrationFlagGreysCatalogAndPasswordCommands)
{
    FileRestorer config("Orvox.ini");
    for (const char* flag : {"0", "1"}) {
        SCOPED_TRACE(flag);
        WritePrivateProfileStringA("Administration", "AdminEnabled", flag, config.path().c_str());
        ASSERT_EQ(createMain(), 0);
        HMENU menu = CreatePopupMenu();
        AppendMenuA(menu, MF_STRING | MF_GRAYED, 0xE140, "About");
        AppendMenuA(menu, MF_STRING, 0x8004, "Paper catalog");
        AppendMenuA(menu, MF_STRING, 0x8005, "Change password");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        EXPECT_EQ(orvox.SendMessage(WM_INITMENUPOPUP, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(menu)), 0), 0);
        const bool greyed = flag[0] == '0';
        EXPECT_EQ((GetMenuState(menu, 0x8004, MF_BYCOMMAND) & MF_GRAYED) != 0, greyed);
        EXPECT_EQ((GetMenuState(menu, 0x8005, MF_BYCOMMAND) & MF_GRAYED) != 0, greyed);
        EXPECT_EQ(GetMenuState(menu, 0xE140, MF_BYCOMMAND) & MF_GRAYED, 0u);
        DestroyMenu(menu);
        ASSERT_EQ(orvox.Exit(1), 0);
        main_ = nullptr;
        ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    }
}

TEST_F(MainWindowTest, MenuPromptsShowWhileTrackingAndIdleWhenTheMenuCloses)
{
    ASSERT_EQ(createMain(), 0);
    HWND bar = createStatus();
    ASSERT_NE(bar, nullptr);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 0xE140, "About");
    orvox.SendMessage(WM_INITMENUPOPUP, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(menu)), 0);
    orvox.SendMessage(WM_MENUSELECT, MAKEWPARAM(0xE140, MF_STRING), static_cast<long>(reinterpret_cast<LONG_PTR>(menu)));
    EXPECT_EQ(statusText(bar), resourceString(0xE140));
    // While a menu is open the timer leaves the prompt alone.
    tick();
    tick();
    EXPECT_EQ(statusText(bar), resourceString(0xE140));
    orvox.SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(statusText(bar), resourceString(57345));
    DestroyMenu(menu);
}

// The command ids of a menu and its sub-menus.
void collectCommands(HMENU menu, std::vector<UINT>& ids)
{
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) collectCommands(sub, ids);
        else if (const UINT id = GetMenuItemID(menu, i); id != 0 && id != static_cast<UINT>(-1)) ids.push_back(id);
    }
}

TEST_F(MainWindowTest, EveryCommandOfTheHostMenuHasAPrompt)
{
    // The test application's menu is the host menu the library serves.
    HMODULE program = LoadLibraryExA("OrvoxTest.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    HMENU menu = LoadMenuA(program, MAKEINTRESOURCEA(128));
    ASSERT_NE(menu, nullptr);
    std::vector<UINT> ids;
    collectCommands(menu, ids);
    DestroyMenu(menu);
    FreeLibrary(program);
    ASSERT_GE(ids.size(), 15u);
    for (UINT id : ids) EXPECT_FALSE(resourceString(id).empty()) << "no prompt for command 0x" << std::hex << id;

    // And the status window shows an edit command's prompt while the menu is open.
    ASSERT_EQ(createMain(), 0);
    HWND bar = createStatus();
    ASSERT_NE(bar, nullptr);
    HMENU edit = CreatePopupMenu();
    AppendMenuA(edit, MF_STRING, 0xE122, "Copy");
    orvox.SendMessage(WM_INITMENUPOPUP, static_cast<unsigned>(reinterpret_cast<UINT_PTR>(edit)), 0);
    orvox.SendMessage(WM_MENUSELECT, MAKEWPARAM(0xE122, MF_STRING), static_cast<long>(reinterpret_cast<LONG_PTR>(edit)));
    EXPECT_EQ(statusText(bar), resourceString(0xE122));
    orvox.SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    DestroyMenu(edit);
}

TEST_F(MainWindowTest, ABrokenModelFileStopsTheStartWithItsMessage)
{
    FileRestorer models(resourceString(389));
    std::string nine;
    for (int i = 0; i < 9; ++i) nine += "WPrinterID=IDS_PRINTER_SELVO\nWCtrlID=1019\n";
    models.write(nine);
    EXPECT_EQ(createMain(), 11);
    const std::string expected = resourceString(61224) + resourceString(389) + resourceString(61225);
    const auto texts = messageTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end());
}

} // namespace
} // namespace orvox::test
