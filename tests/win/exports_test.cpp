// The exported interface as a host sees it: call order, result codes, output
// parameters left alone on failure, the version string and host messages.
#include <cstring>

#include "host_fixture.h"

namespace orvox::test {
namespace {

using ExportsTest = HostTest;

TEST_F(ExportsTest, EverythingBeforeInitMainIsRefused)
{
    HWND window = nullptr;
    int size = -7;
    char buffer[8] = "x";
    int line = -3;
    EXPECT_EQ(orvox.InitStatus(), 7);
    EXPECT_EQ(orvox.CreateMain(host, 0, ""), 5);
    EXPECT_EQ(orvox.CreateStatus(host), 5);
    EXPECT_EQ(orvox.GetWindowMain(&window), 5);
    EXPECT_EQ(orvox.GetWindowStatus(&window), 5);
    EXPECT_EQ(orvox.ShowMain(SW_SHOW, 0, 0), 5);
    EXPECT_EQ(orvox.ShowStatus(SW_SHOW, 0, 0), 5);
    EXPECT_EQ(orvox.Print(), 5);
    EXPECT_EQ(orvox.OpenSettings("a"), 5);
    EXPECT_EQ(orvox.SaveSettings("a"), 5);
    EXPECT_EQ(orvox.OpenXMLSettings("<a/>", &line), 5);
    EXPECT_EQ(line, 0) << "the error line is written on every path";
    EXPECT_EQ(orvox.NewSettings(), 5);
    EXPECT_EQ(orvox.GetSizeOfPaperCatalog(&size), 5);
    EXPECT_EQ(orvox.GetPaperCatalog(buffer), 5);
    EXPECT_EQ(orvox.ShowTab(434, 1), 5);
    EXPECT_EQ(orvox.ShowGuiElement(434, 1000, 1), 5);
    EXPECT_EQ(orvox.GetSizeOfVersion(&size), 5);
    EXPECT_EQ(orvox.GetVersion(buffer), 5);
    EXPECT_EQ(orvox.SendMessage(WM_COMMAND, 0xE140, 0), 1);
    EXPECT_EQ(orvox.SendMessage(WM_INITMENUPOPUP, 0, 0), 1);
    EXPECT_EQ(orvox.Exit(0), 5);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(size, -7);
    EXPECT_STREQ(buffer, "x");
    EXPECT_EQ(line, 0) << "the XML error line is the one output written on every path";
}

TEST_F(ExportsTest, InitTwiceKeepsTheSecondHooks)
{
    EXPECT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    EXPECT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 6);
    EXPECT_EQ(orvox.InitStatus(), 0);
    EXPECT_EQ(orvox.InitStatus(), 6);
    // The hooks given with the refused call are the ones the library uses.
    ASSERT_EQ(orvox.CreateMain(host, 0, ""), 0);
    ASSERT_FALSE(hookLog().titles.empty());
    EXPECT_EQ(hookLog().titles.front(), resourceString(207) + "|" + resourceString(57344) + "|0");
}

TEST_F(ExportsTest, WindowsFollowTheirCreation)
{
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 0);
    HWND window = nullptr;
    EXPECT_EQ(orvox.GetWindowMain(&window), 18);
    EXPECT_EQ(orvox.ShowMain(SW_SHOW, 0, 0), 8);
    EXPECT_EQ(orvox.GetWindowStatus(&window), 5) << "status functions need InitStatus";
    EXPECT_EQ(orvox.CreateStatus(host), 5);
    ASSERT_EQ(orvox.InitStatus(), 0);
    EXPECT_EQ(orvox.GetWindowStatus(&window), 0);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(orvox.ShowStatus(SW_SHOW, 0, 0), 8);

    ASSERT_EQ(orvox.CreateMain(host, 0, ""), 0);
    EXPECT_EQ(orvox.CreateMain(host, 0, ""), 9);
    ASSERT_EQ(orvox.CreateStatus(host), 0);
    EXPECT_EQ(orvox.CreateStatus(host), 9);

    EXPECT_EQ(orvox.GetWindowMain(nullptr), 4);
    HWND occupied = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(orvox.GetWindowMain(&occupied), 4);
    EXPECT_EQ(occupied, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(orvox.GetWindowStatus(&occupied), 4);
    EXPECT_EQ(occupied, reinterpret_cast<HWND>(0x1234));

    HWND main = nullptr, status = nullptr;
    ASSERT_EQ(orvox.GetWindowMain(&main), 0);
    ASSERT_EQ(orvox.GetWindowStatus(&status), 0);
    EXPECT_EQ(GetParent(main), host);
    EXPECT_EQ(GetParent(status), host);
    EXPECT_EQ(GetWindowLongPtrA(status, GWLP_ID), -1);
    EXPECT_TRUE(GetWindowLongA(main, GWL_STYLE) & WS_CHILD);

    EXPECT_EQ(orvox.ShowMain(SW_SHOW, 7, 9), 0);
    EXPECT_TRUE(GetWindowLongA(main, GWL_STYLE) & WS_VISIBLE);
    RECT r{};
    GetWindowRect(main, &r);
    MapWindowPoints(HWND_DESKTOP, host, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 7);
    EXPECT_EQ(r.top, 9);
    EXPECT_EQ(orvox.ShowStatus(SW_SHOW, 3, 600), 0);
    EXPECT_TRUE(GetWindowLongA(status, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(orvox.ShowMain(SW_HIDE, 7, 9), 0);
    EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(ExportsTest, MainWindowIsSizedFromItsClientArea)
{
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    ASSERT_EQ(orvox.CreateMain(host, 0, ""), 0);
    HWND main = nullptr;
    ASSERT_EQ(orvox.GetWindowMain(&main), 0);
    // The template's own client area, in pixels, before the library resized it.
    RECT expected{0, 0, 420, 280};
    MapDialogRect(main, &expected);
    RECT window{};
    GetWindowRect(main, &window);
    EXPECT_EQ(window.right - window.left, expected.right + 3);
    EXPECT_EQ(window.bottom - window.top, expected.bottom - 14);
}

TEST_F(ExportsTest, VersionStringIsBuiltFromItsPieces)
{
    const std::string suffix = resourceString(185);
    ASSERT_FALSE(suffix.empty());
    for (const char* hostVersion : {"", "OrvoxTest.exe - 09_19_00"}) {
        SCOPED_TRACE(hostVersion);
        ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
        ASSERT_EQ(orvox.CreateMain(host, 0, hostVersion), 0);
        int size = 0;
        ASSERT_EQ(orvox.GetSizeOfVersion(&size), 0);
        const std::size_t hostPart = *hostVersion ? 3 + std::strlen(hostVersion) : 0;
        EXPECT_EQ(static_cast<std::size_t>(size), 42 + suffix.size() + hostPart);
        std::string buffer(static_cast<std::size_t>(size) + 8, '#');
        ASSERT_EQ(orvox.GetVersion(buffer.data()), 0);
        std::string expected = "Orvox.dll - 11_02_00,  " + suffix;
        if (*hostVersion) expected += std::string(",  ") + hostVersion;
        expected += ",  XML Version 1.0";
        EXPECT_STREQ(buffer.c_str(), expected.c_str());
        EXPECT_EQ(buffer[static_cast<std::size_t>(size)], '#') << "wrote past the announced size";
        EXPECT_EQ(orvox.GetSizeOfVersion(nullptr), 4);
        EXPECT_EQ(orvox.GetVersion(nullptr), 4);
        ASSERT_EQ(orvox.Exit(1), 0);
    }
}

TEST_F(ExportsTest, BeforeCreateMainTheWindowFunctionsFailAsDocumented)
{
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, nullptr), 0);
    int line = -1;
    int size = -1;
    char buffer[4] = "x";
    EXPECT_EQ(orvox.Print(), 2);
    EXPECT_EQ(orvox.ShowTab(434, 0), 2);
    EXPECT_EQ(orvox.ShowGuiElement(434, 1000, 0), 2);
    EXPECT_EQ(orvox.OpenXMLSettings("<x/>", &line), 2);
    EXPECT_EQ(line, 0) << "the error line is written without a window too";
    EXPECT_EQ(orvox.OpenSettings("x"), 1);
    EXPECT_EQ(orvox.SaveSettings("x"), 1);
    EXPECT_EQ(orvox.NewSettings(), 1);
    EXPECT_EQ(orvox.GetSizeOfPaperCatalog(&size), 1);
    EXPECT_EQ(orvox.GetPaperCatalog(buffer), 1);
    EXPECT_EQ(size, -1);
    // A null line pointer is refused instead of crashing.
    EXPECT_EQ(orvox.OpenXMLSettings("<x/>", nullptr), 4);
}

TEST_F(ExportsTest, SendMessagePostsOnlyTheRoutableCommands)
{
    startAll();
    HWND main = nullptr;
    ASSERT_EQ(orvox.GetWindowMain(&main), 0);
    MSG msg;
    while (PeekMessageA(&msg, main, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(orvox.SendMessage(WM_COMMAND, 0xE107 /* print */, 0), 0);
    EXPECT_EQ(orvox.SendMessage(WM_COMMAND, 0xE141 /* app exit */, 0), 0);
    EXPECT_EQ(orvox.SendMessage(WM_COMMAND, 0x8006, 0), 0);
    EXPECT_FALSE(PeekMessageA(&msg, main, WM_COMMAND, WM_COMMAND, PM_NOREMOVE));
    EXPECT_EQ(orvox.SendMessage(WM_COMMAND, 0xE140, 0x55), 0);
    ASSERT_TRUE(PeekMessageA(&msg, main, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0xE140u);
    EXPECT_EQ(msg.lParam, 0);
    EXPECT_EQ(orvox.SendMessage(WM_MOUSEMOVE, 0, 0), 0);
    EXPECT_EQ(orvox.SendMessage(WM_INITMENU, 0, 0), 0);
}

TEST_F(ExportsTest, PrintWithoutFilesIsRefusedAndLeavesNoRunBehind)
{
    startAll();
    EXPECT_EQ(orvox.Print(), 28);
    // A run still marked as printing would refuse the exit with 22.
    EXPECT_EQ(orvox.Exit(1), 0);
}

TEST_F(ExportsTest, ExitEndsTheUseAndTheLibraryCanStartAgain)
{
    startAll();
    HWND main = nullptr, status = nullptr;
    ASSERT_EQ(orvox.GetWindowMain(&main), 0);
    ASSERT_EQ(orvox.GetWindowStatus(&status), 0);
    EXPECT_EQ(orvox.Exit(1), 0);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(IsWindow(status));
    EXPECT_EQ(orvox.Exit(1), 5);
    EXPECT_EQ(orvox.InitStatus(), 7);
    startAll();
    HWND again = nullptr;
    EXPECT_EQ(orvox.GetWindowMain(&again), 0);
    EXPECT_TRUE(IsWindow(again));
}

TEST_F(ExportsTest, StatusBarTakesTheIdleTextAndTheHostsText)
{
    startAll();
    HWND status = nullptr;
    ASSERT_EQ(orvox.GetWindowStatus(&status), 0);
    char text[256] = {};
    GetDlgItemTextA(status, 1054, text, sizeof text);
    EXPECT_EQ(std::string(text), resourceString(57345));
    // The print button draws itself from the three faces of the resource module.
    HWND button = GetDlgItem(status, 1034);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    HMODULE resources = GetModuleHandleA("orvoxRes.dll");
    for (int face : {1034, 1035, 1036}) {
        HANDLE bitmap = LoadImageA(resources, MAKEINTRESOURCEA(face), IMAGE_BITMAP, 0, 0, 0);
        EXPECT_NE(bitmap, nullptr) << face;
        if (bitmap) DeleteObject(bitmap);
    }
    SendMessageA(status, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Sending job"));
    GetDlgItemTextA(status, 1054, text, sizeof text);
    EXPECT_STREQ(text, "Sending job");
}

} // namespace
} // namespace orvox::test
