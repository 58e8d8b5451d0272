// Failures while the application object is built or the main window is
// initialised reach the host as their own result codes and leave nothing
// behind: the library starts again as if they had not happened.
#include <commctrl.h>

#include "host_fixture.h"

namespace orvox::test {
namespace {

// Makes the named step of the library fail for the life of the object.
class FailAt {
public:
    explicit FailAt(const char* step) { SetEnvironmentVariableA("ORVOX_FAIL_AT", step); }
    ~FailAt() { SetEnvironmentVariableA("ORVOX_FAIL_AT", nullptr); }
    FailAt(const FailAt&) = delete;
    FailAt& operator=(const FailAt&) = delete;
};

BOOL CALLBACK countWindow(HWND window, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, countWindow, count);
    return TRUE;
}

// Every window of this thread, top-level or child.
int windowsOfThisThread()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

using InitFailuresTest = HostTest;

TEST_F(InitFailuresTest, AMemberOfTheApplicationObjectThatCannotBeBuiltGives12AndNoObject)
{
    {
        FailAt fail("application-member");
        EXPECT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 12);
        EXPECT_EQ(orvox.CreateMain(host, 0, ""), 5) << "no application object exists";
        EXPECT_EQ(orvox.InitStatus(), 7);
        EXPECT_EQ(orvox.Exit(1), 5);
    }
    // Nothing of the failed attempt is in the way of the next one.
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 0);
    EXPECT_EQ(orvox.CreateMain(host, 0, ""), 0);
}

TEST_F(InitFailuresTest, AnExceptionWhileTheMainWindowInitialisesGives3AndDestroysWhatItBuilt)
{
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 0);
    const int before = windowsOfThisThread();
    {
        FailAt fail("main-window-init");
        // With the splash window, which the initialisation shows before it fails.
        EXPECT_EQ(orvox.CreateMain(host, 1, ""), 3);
    }
    HWND window = nullptr;
    EXPECT_EQ(orvox.GetWindowMain(&window), 18) << "the half-built window is not the host's";
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(windowsOfThisThread(), before) << "the window, its pages and the splash window are gone";
    int size = 0;
    EXPECT_EQ(orvox.GetSizeOfPaperCatalog(&size), 1) << "the document went with its window";

    // A second creation builds everything again, the keyboard shortcuts included.
    ASSERT_EQ(orvox.CreateMain(host, 0, ""), 0);
    ASSERT_EQ(orvox.GetWindowMain(&window), 0);
    HWND tabs = GetDlgItem(window, 57616);
    ASSERT_NE(tabs, nullptr);
    PostMessageA(window, WM_KEYDOWN, VK_CONTROL, 0);
    PostMessageA(window, WM_KEYDOWN, '3', 0);
    PostMessageA(window, WM_KEYUP, '3', 0);
    PostMessageA(window, WM_KEYUP, VK_CONTROL, 0);
    EXPECT_TRUE(pumpUntil([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) == 2; }, 3000))
        << "Ctrl+3 did not reach the main window: its key hook is missing";
    EXPECT_EQ(orvox.Exit(1), 0);
}

TEST_F(InitFailuresTest, AProcessorFaultWhileTheMainWindowInitialisesGives3AndDestroysWhatItBuilt)
{
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 0);
    const int before = windowsOfThisThread();
    {
        FailAt fail("main-window-init:fault");
        EXPECT_EQ(orvox.CreateMain(host, 0, ""), 3);
    }
    HWND window = nullptr;
    EXPECT_EQ(orvox.GetWindowMain(&window), 18);
    EXPECT_EQ(windowsOfThisThread(), before);
    ASSERT_EQ(orvox.CreateMain(host, 0, ""), 0);
    EXPECT_EQ(orvox.Exit(1), 0);
}

} // namespace
} // namespace orvox::test
