// The test application started for a picture: Quick Start must bring the
// library's window up inside it, and Quick Free must leave everything at NULL.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
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

// The test application started with no library loaded, after a click on one
// of its buttons: its dialog, and the message box that answered the click with
// the box's text.
struct ClickBeforeLoad {
    HWND dialog = nullptr;
    HWND box = nullptr;
    std::string text;
};

void clickBeforeLoad(Child& child, int button, ClickBeforeLoad& out)
{
    const auto folder = programFolder();
    std::string commandLine = "\"" + (folder / "OrvoxTest.exe").string() + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.string().c_str(), &si, &child.pi));
    out.dialog = waitForWindow(child.pi.dwProcessId, "Orvo Test Application");
    ASSERT_NE(out.dialog, nullptr);

    PostMessageA(out.dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    out.box = waitForWindow(child.pi.dwProcessId, "-== ORVO TEST APPLICATION ==-");
    ASSERT_NE(out.box, nullptr) << "no message box appeared";
    for (const DWORD shown = GetTickCount(); GetTickCount() - shown < 10000; Sleep(20)) {
        out.text.clear();
        EnumChildWindows(out.box, collectText, reinterpret_cast<LPARAM>(&out.text));
        if (out.text.find("loaded") != std::string::npos) break;
    }
}

// The program's exit code once it has ended (within 20 s).
void expectCleanExit(Child& child)
{
    ASSERT_EQ(WaitForSingleObject(child.pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(child.pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

TEST(TestApplication, PrintBeforeLoadSaysTheFunctionWasNotLoaded)
{
    Child child;
    ClickBeforeLoad click;
    ASSERT_NO_FATAL_FAILURE(clickBeforeLoad(child, 1015, click)); // Print
    EXPECT_NE(click.text.find("Function was not loaded"), std::string::npos) << click.text;
    PostMessageA(click.box, WM_COMMAND, IDOK, 0);

    // Nothing is loaded, so closing asks the library nothing and ends the program.
    PostMessageA(click.dialog, WM_CLOSE, 0, 0);
    expectCleanExit(child);
}

TEST(TestApplication, ExitBeforeLoadSaysTheFunctionWasNotLoadedAndStillCloses)
{
    Child child;
    ClickBeforeLoad click;
    ASSERT_NO_FATAL_FAILURE(clickBeforeLoad(child, 1048, click)); // Exit
    EXPECT_NE(click.text.find("Function was not loaded"), std::string::npos) << click.text;
    EXPECT_EQ(WaitForSingleObject(child.pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "the program waits for the tester to read the message";
    PostMessageA(click.box, WM_COMMAND, IDOK, 0);

    // Then it closes, as Exit always does.
    expectCleanExit(child);
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

struct DialogSearch {
    DWORD pid;
    HWND main;
    const char* caption;
    HWND found;
};

BOOL CALLBACK findOtherDialog(HWND window, LPARAM lp)
{
    auto* search = reinterpret_cast<DialogSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char cls[16] = {}, text[128] = {};
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, text, sizeof text);
    if (owner != search->pid || window == search->main || !IsWindowVisible(window) || std::string(cls) != "#32770")
        return TRUE;
    if (search->caption && std::string(text) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

// The test application started, for tests that drive its dialog.
class RunningTestApplication {
public:
    RunningTestApplication()
    {
        const auto folder = programFolder();
        std::string commandLine = "\"" + (folder / "OrvoxTest.exe").string() + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started_ = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.string().c_str(), &si, &child_.pi) != 0;
        if (started_) dialog_ = waitForWindow(pid(), "Orvo Test Application");
    }
    ~RunningTestApplication()
    {
        if (dialog_) PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(1048, BN_CLICKED), 0); // Exit
        if (child_.pi.hProcess) waitWhileAnswering(pid(), dialog_, [&] { return WaitForSingleObject(child_.pi.hProcess, 0) == WAIT_OBJECT_0; });
    }
    RunningTestApplication(const RunningTestApplication&) = delete;
    RunningTestApplication& operator=(const RunningTestApplication&) = delete;

    HWND dialog() const { return dialog_; }
    DWORD pid() const { return child_.pi.dwProcessId; }
    bool quickStart() const
    {
        PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(1046, BN_CLICKED), 0);
        return waitWhileAnswering(pid(), dialog_, [&] { return itemText(dialog_, 1034) == "Created"; });
    }
    // A dialog of the program other than the main one, once it is shown.
    HWND waitForOtherDialog(const char* caption = nullptr) const
    {
        DialogSearch search{pid(), dialog_, caption, nullptr};
        for (const DWORD start = GetTickCount(); !search.found && GetTickCount() - start < 20000; Sleep(20))
            EnumWindows(findOtherDialog, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

private:
    Child child_;
    bool started_ = false;
    HWND dialog_ = nullptr;
};

BOOL CALLBACK findHelpButton(HWND window, LPARAM lp)
{
    auto* wanted = reinterpret_cast<std::pair<int, HWND>*>(lp);
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (GetDlgCtrlID(window) == wanted->first && std::string(cls) == "Button" && itemText(GetParent(window), wanted->first) == "&Help") {
        wanted->second = window;
        return FALSE;
    }
    return TRUE;
}

TEST(TestApplication, GuiElementDialogNamesEveryPagesHelpButton)
{
    RunningTestApplication app;
    ASSERT_NE(app.dialog(), nullptr);
    ASSERT_TRUE(app.quickStart());
    PostMessageA(app.dialog(), WM_COMMAND, MAKEWPARAM(1045, BN_CLICKED), 0); // Show GUI
    HWND gui = app.waitForOtherDialog("Enable/Disable GUI Controls");
    ASSERT_NE(gui, nullptr);
    HWND tabs = GetDlgItem(gui, 1054), labels = GetDlgItem(gui, 1056);
    ASSERT_EQ(SendMessageA(tabs, CB_GETCOUNT, 0, 0), 7);
    // The help buttons of the pages, in tab order.
    const int helpIds[] = {2639, 2636, 2638, 2638, 2637, 1097, 1121};
    for (int tab = 0; tab < 7; ++tab) {
        SCOPED_TRACE(tab);
        SendMessageA(tabs, CB_SETCURSEL, static_cast<WPARAM>(tab), 0);
        SendMessageA(gui, WM_COMMAND, MAKEWPARAM(1054, CBN_SELCHANGE), reinterpret_cast<LPARAM>(tabs));
        // Each row shows its control's id; one of them is the page's help button.
        bool listed = false;
        const auto rows = SendMessageA(labels, CB_GETCOUNT, 0, 0);
        for (int row = 0; row < rows && !listed; ++row) {
            SendMessageA(labels, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
            SendMessageA(gui, WM_COMMAND, MAKEWPARAM(1056, CBN_SELCHANGE), reinterpret_cast<LPARAM>(labels));
            listed = std::atoi(itemText(gui, 1057).c_str()) == helpIds[tab] &&
                     itemText(gui, 1056).rfind("Button - Help", 0) == 0;
        }
        EXPECT_TRUE(listed) << "help button " << helpIds[tab] << " not listed";
        // The pages that are built carry a help button under that id.
        if (tab < 4) {
            std::pair<int, HWND> wanted{helpIds[tab], nullptr};
            EnumChildWindows(app.dialog(), findHelpButton, reinterpret_cast<LPARAM>(&wanted));
            EXPECT_NE(wanted.second, nullptr) << "no help button " << helpIds[tab] << " in the library's window";
        }
    }
    EXPECT_EQ(itemText(app.dialog(), 1006), "Color Mapping");
    PostMessageA(gui, WM_CLOSE, 0, 0);
}

TEST(TestApplication, SettingsFileDialogOffersTheLibrarysExtension)
{
    RunningTestApplication app;
    ASSERT_NE(app.dialog(), nullptr);
    PostMessageA(app.dialog(), WM_COMMAND, MAKEWPARAM(1018, BN_CLICKED), 0); // "..."
    HWND chooser = app.waitForOtherDialog();
    ASSERT_NE(chooser, nullptr);
    ASSERT_NE(GetDlgItem(chooser, 0x470), nullptr);
    const std::string type = itemText(chooser, 0x470);  // the chosen file type, the first of the filter
    EXPECT_NE(type.find("*.ovx"), std::string::npos) << type;
    // A name without an extension gets the library's extension.
    HWND name = GetDlgItem(chooser, 0x47C) ? GetDlgItem(chooser, 0x47C) : GetDlgItem(chooser, 0x480);
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("job"));
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitWhileAnswering(app.pid(), app.dialog(), [&] { return !itemText(app.dialog(), 1014).empty(); }));
    const std::string chosen = itemText(app.dialog(), 1014);
    EXPECT_GE(chosen.size(), 8u);
    EXPECT_EQ(chosen.substr(chosen.size() >= 8 ? chosen.size() - 8 : 0), "\\job.ovx") << chosen;
}

TEST(TestApplication, OutputBoxShowsThePaperCatalogWithoutWrapping)
{
    RunningTestApplication app;
    ASSERT_NE(app.dialog(), nullptr);
    ASSERT_TRUE(app.quickStart());
    PostMessageA(app.dialog(), WM_COMMAND, MAKEWPARAM(1017, BN_CLICKED), 0); // Paper Catalog
    HWND output = GetDlgItem(app.dialog(), 1037);
    // The window's text is asked of the control itself: it lives in the other process.
    auto length = [output] { return static_cast<int>(SendMessageA(output, WM_GETTEXTLENGTH, 0, 0)); };
    ASSERT_TRUE(waitWhileAnswering(app.pid(), app.dialog(), [&] { return length() > 100; }));
    std::string text(static_cast<std::size_t>(length()) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        SendMessageA(output, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()))));
    EXPECT_NE(text.find("Paper catalog="), std::string::npos);
    // One paper a line: as many lines in the box as in the text.
    const auto textLines = std::count(text.begin(), text.end(), '\n') + 1;
    EXPECT_EQ(SendMessageA(output, EM_GETLINECOUNT, 0, 0), textLines);
    // And many of them at once.
    RECT area{};
    GetClientRect(output, &area);
    SendMessageA(output, WM_VSCROLL, SB_TOP, 0);
    const auto bottom = SendMessageA(output, EM_CHARFROMPOS, 0, MAKELPARAM(2, area.bottom - 2));
    EXPECT_GE(HIWORD(bottom), 17) << "lines visible: " << HIWORD(bottom) + 1;
}

} // namespace
