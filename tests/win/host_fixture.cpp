#include "host_fixture.h"

namespace orvox::test {

HookLog& hookLog()
{
    static HookLog log;
    return log;
}

int recordingMessageHook(const char* text, unsigned type, int* show)
{
    hookLog().boxes.push_back({text ? text : "", type});
    *show = 0;
    if (hookLog().respond) return hookLog().respond(hookLog().boxes.back().text, type);
    return hookLog().answer;
}

void recordingTitleHook(const char* title, const char* caption, int modified)
{
    hookLog().titles.push_back(std::string(title) + "|" + caption + "|" + std::to_string(modified));
}

OrvoxBinding& orvoxLibrary()
{
    static OrvoxBinding binding;
    static const int loaded = binding.load("Orvox.dll");
    EXPECT_EQ(loaded, 0);
    return binding;
}

std::string resourceString(unsigned id)
{
    static HMODULE module = LoadLibraryExA("orvoxRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    char buffer[4096] = {};
    const int n = LoadStringA(module, id, buffer, sizeof buffer);
    return std::string(buffer, n > 0 ? n : 0);
}

namespace {
LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
} // namespace

void HostTest::SetUp()
{
    static const bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = hostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvoxTestsHost";
        return RegisterClassA(&wc) != 0;
    }();
    ASSERT_TRUE(registered);
    ASSERT_NE(orvox.module(), nullptr);
    host = CreateWindowA("OrvoxTestsHost", "host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 800,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    hookLog() = HookLog{};
}

void HostTest::TearDown()
{
    // Whatever the test left, the next one starts uninitialised.
    const int rc = orvox.Exit(1);
    EXPECT_TRUE(rc == 0 || rc == 5) << rc;
    if (host) DestroyWindow(host);
}

void HostTest::startAll(const char* hostVersion)
{
    ASSERT_EQ(orvox.InitMain(recordingMessageHook, recordingTitleHook), 0);
    ASSERT_EQ(orvox.InitStatus(), 0);
    ASSERT_EQ(orvox.CreateMain(host, 0, hostVersion), 0);
    ASSERT_EQ(orvox.CreateStatus(host), 0);
}

} // namespace orvox::test
