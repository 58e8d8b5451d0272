// The test application started for a picture: Quick Start must bring the
// library's window up inside it, and Quick Free must leave everything at NULL.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::filesystem::path programFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

// Runs the program to its end (or kills it after the timeout) and gives its exit code.
DWORD runAndWait(std::string commandLine, const std::filesystem::path& folder)
{
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.string().c_str(),
                        &si, &pi))
        return 0xFFFF'FFFF;
    DWORD code = 0xFFFF'FFFE;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

struct TopWindow {
    DWORD processId;
    const char* caption;
    HWND found = nullptr;
};

BOOL CALLBACK findTopWindow(HWND hwnd, LPARAM lParam)
{
    auto* wanted = reinterpret_cast<TopWindow*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char text[128] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    if (pid != wanted->processId || std::string(text) != wanted->caption) return TRUE;
    wanted->found = hwnd;
    return FALSE;
}

HWND waitForWindow(DWORD processId, const char* caption)
{
    TopWindow wanted{processId, caption};
    for (const DWORD start = GetTickCount(); !wanted.found && GetTickCount() - start < 20000; Sleep(20))
        EnumWindows(findTopWindow, reinterpret_cast<LPARAM>(&wanted));
    return wanted.found;
}

BOOL CALLBACK collectText(HWND hwnd, LPARAM lParam)
{
    char text[1024] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    *reinterpret_cast<std::string*>(lParam) += std::string(text) + "\n";
    return TRUE;
}

// The program under test; killed if a test leaves it running.
struct Child {
    PROCESS_INFORMATION pi{};
    ~Child()
    {
        if (!pi.hProcess) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

struct BoxSweep {
    DWORD processId;
    HWND keep;
};

// Answers "no" (which also closes a plain box) to every box the program shows.
BOOL CALLBACK answerBox(HWND hwnd, LPARAM lParam)
{
    auto* sweep = reinterpret_cast<BoxSweep*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (pid == sweep->processId && hwnd != sweep->keep && IsWindowVisible(hwnd) && std::string(cls) == "#32770")
        PostMessageA(hwnd, WM_COMMAND, IDNO, 0);
    return TRUE;
}

BOOL CALLBACK findTabControl(HWND hwnd, LPARAM lParam)
{
    char cls[32] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "SysTabControl32") return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
}

std::string itemText(HWND dialog, int id)
{
    char text[64] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

// Polls until the condition holds, answering the program's boxes meanwhile.
template <class Pred> bool waitWhileAnswering(DWORD processId, HWND dialog, Pred done)
{
    BoxSweep sweep{processId, dialog};
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(50)) {
        if (done()) return true;
        EnumWindows(answerBox, reinterpret_cast<LPARAM>(&sweep));
    }
    return done();
}

template <class T> T readAt(const std::vector<char>& bytes, std::size_t offset)
{
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

TEST(TestApplication, QuickStartShowsTheLibraryAndQuickFreeEndsAtNull)
{
    const auto folder = programFolder();
    const auto shot = std::filesystem::temp_directory_path() / ("orvox-shot-" + std::to_string(GetCurrentProcessId()) + ".bmp");
    std::filesystem::remove(shot);

    const DWORD code = runAndWait("\"" + (folder / "OrvoxTest.exe").string() + "\" /shot \"" + shot.string() + "\"", folder);
    EXPECT_EQ(code, 0u) << "Quick Start, the picture, Quick Free or the NULL states failed";

    std::ifstream in(shot, std::ios::binary);
    ASSERT_TRUE(in) << "no picture at " << shot.string();
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::filesystem::remove(shot);
    ASSERT_GT(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    const auto offset = readAt<std::uint32_t>(bytes, 10);
    const auto width = readAt<std::int32_t>(bytes, 18);
    const auto height = readAt<std::int32_t>(bytes, 22);
    // The window holds the library's job-setup window, so it is larger than that.
    EXPECT_GT(width, 600);
    EXPECT_GT(height, 400);
    ASSERT_EQ(bytes.size(), offset + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);

    // The frame area (right of the buttons, upper half) carries the library's
    // window: it is drawn, not one flat colour.
    std::set<std::uint32_t> colours;
    for (int y = height / 2; y < height; y += 3)
        for (int x = width / 2; x < width; x += 3)
            colours.insert(readAt<std::uint32_t>(bytes, offset + (static_cast<std::size_t>(y) * width + x) * 4) & 0xFFFFFF);
    EXPECT_GT(colours.size(), 3u);
}

TEST(TestApplication, PrintBeforeLoadSaysTheFunctionWasNotLoaded)
{
    const auto folder = programFolder();
    std::string commandLine = "\"" + (folder / "OrvoxTest.exe").string() + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    Child child;
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.string().c_str(), &si, &child.pi));
    HWND dialog = waitForWindow(child.pi.dwProcessId, "Orvo Test Application");
    ASSERT_NE(dialog, nullptr);

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1015, BN_CLICKED), 0); // Print
    HWND box = waitForWindow(child.pi.dwProcessId, "-== ORVO TEST APPLICATION ==-");
    ASSERT_NE(box, nullptr) << "no message box appeared";
    std::string text;
    for (const DWORD shown = GetTickCount(); GetTickCount() - shown < 10000; Sleep(20)) {
        text.clear();
        EnumChildWindows(box, collectText, reinterpret_cast<LPARAM>(&text));
        if (text.find("loaded") != std::string::npos) break;
    }
    EXPECT_NE(text.find("Function was not loaded"), std::string::npos) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);

    // Nothing is loaded, so closing asks the library nothing and ends the program.
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_EQ(WaitForSingleObject(child.pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(child.pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

TEST(TestApplication, EnabledPagesBoxTakesTheFilesTabOutAndBack)
{
    const auto folder = programFolder();
    std::string commandLine = "\"" + (folder / "OrvoxTest.exe").string() + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    Child child;
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.string().c_str(), &si, &child.pi));
    const DWORD pid = child.pi.dwProcessId;
    HWND dialog = waitForWindow(pid, "Orvo Test Application");
    ASSERT_NE(dialog, nullptr);

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1046, BN_CLICKED), 0); // Quick Start
    ASSERT_TRUE(waitWhileAnswering(pid, dialog, [&] { return itemText(dialog, 1034) == "Created"; }));
    EXPECT_EQ(itemText(dialog, 1032), "LOADED");
    EXPECT_EQ(itemText(dialog, 1033), "Created");
    HWND tabs = nullptr;
    EnumChildWindows(dialog, findTabControl, reinterpret_cast<LPARAM>(&tabs));
    ASSERT_NE(tabs, nullptr);
    const LRESULT all = SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0);

    HWND files = GetDlgItem(dialog, 1001);
    SendMessageA(files, BM_SETCHECK, BST_UNCHECKED, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), reinterpret_cast<LPARAM>(files));
    EXPECT_TRUE(waitWhileAnswering(pid, dialog, [&] { return SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0) == all - 1; }));
    SendMessageA(files, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), reinterpret_cast<LPARAM>(files));
    EXPECT_TRUE(waitWhileAnswering(pid, dialog, [&] { return SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0) == all; }));

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1047, BN_CLICKED), 0); // Quick Free
    EXPECT_TRUE(waitWhileAnswering(pid, dialog, [&] { return itemText(dialog, 1032) == "NULL"; }));
    EXPECT_EQ(itemText(dialog, 1033), "NULL");
    EXPECT_EQ(itemText(dialog, 1034), "NULL");
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(child.pi.hProcess, 20000), WAIT_OBJECT_0);
}

} // namespace
