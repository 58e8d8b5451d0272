// The operator's guide as the operator meets it: the help file lies beside
// the library, the start is quiet about it, each page's help button opens the
// page's own topic and the help command the contents, in the system's viewer.
// The viewer's HtmlHelpA is watched in this process: every request the library
// makes is recorded and then carried out by the real viewer (through its
// HtmlHelpW), so a help window really opens. What the compiled help file holds
// is checked by the build's own test (cmake/check_help_file.cmake).
#include "ui_host.h"

#include <htmlhelp.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace orvox::test {
namespace {

struct ViewerRequest {
    HWND owner;
    std::string address;
    UINT command;
    HWND window;  // what the real viewer returned
};

std::vector<ViewerRequest>& viewerRequests()
{
    static std::vector<ViewerRequest> requests;
    return requests;
}

HWND WINAPI recordingHtmlHelpA(HWND owner, LPCSTR file, UINT command, DWORD_PTR data)
{
    using HtmlHelpW = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);
    const auto wide = reinterpret_cast<HtmlHelpW>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("hhctrl.ocx"), "HtmlHelpW")));
    std::wstring wideFile;
    if (file) {
        const int length = MultiByteToWideChar(CP_ACP, 0, file, -1, nullptr, 0);
        wideFile.resize(static_cast<std::size_t>(length));
        MultiByteToWideChar(CP_ACP, 0, file, -1, wideFile.data(), length);
    }
    // The library passes no data with the commands it uses.
    HWND window = wide ? wide(owner, file ? wideFile.c_str() : nullptr, command, data) : nullptr;
    viewerRequests().push_back({owner, file ? file : "", command, window});
    return window;
}

// Sends the viewer's HtmlHelpA to the recorder while it lives.
class ViewerWatch {
public:
    ViewerWatch()
    {
        HMODULE viewer = LoadLibraryA("hhctrl.ocx");
        target_ = viewer ? reinterpret_cast<unsigned char*>(reinterpret_cast<void*>(GetProcAddress(viewer, "HtmlHelpA"))) : nullptr;
        if (!target_) return;
        // mov rax, recorder; jmp rax
        unsigned char jump[kJumpSize] = {0x48, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xE0};
        const auto address = reinterpret_cast<std::uintptr_t>(&recordingHtmlHelpA);
        std::memcpy(jump + 2, &address, sizeof(address));
        std::memcpy(saved_, target_, kJumpSize);
        write(jump);
        viewerRequests().clear();
    }
    ~ViewerWatch()
    {
        if (target_) write(saved_);
    }
    ViewerWatch(const ViewerWatch&) = delete;
    ViewerWatch& operator=(const ViewerWatch&) = delete;
    bool active() const { return target_ != nullptr; }

private:
    static constexpr std::size_t kJumpSize = 12;
    void write(const unsigned char* bytes)
    {
        DWORD old = 0;
        VirtualProtect(target_, kJumpSize, PAGE_EXECUTE_READWRITE, &old);
        std::memcpy(target_, bytes, kJumpSize);
        VirtualProtect(target_, kJumpSize, old, &old);
        FlushInstructionCache(GetCurrentProcess(), target_, kJumpSize);
    }
    unsigned char* target_ = nullptr;
    unsigned char saved_[kJumpSize] = {};
};

// The four pages whose help buttons open their own topics.
struct PageHelp {
    const char* page;
    char tabKey;       // Ctrl+digit selects the page's tab
    int markControl;   // a control only that page has
    int helpButton;
    const char* topic; // topic file inside the help file
};
constexpr PageHelp kPages[] = {
    {"Printers", '1', 1038, 2639, "printers.htm"},
    {"Files", '2', 2641, 2636, "files.htm"},
    {"Job Setup 1", '3', 1152, 2638, "job_setup1.htm"},
    {"Job Setup 2", '4', 1011, 2638, "job_setup2.htm"},
    {"Custom options", '5', 1016, 2637, "custom_options.htm"},
    {"Paper substitutions", '6', 1009, 1097, "paper_substitutions.htm"},
    {"Colour mapping", '7', 1121, 1121, "colour_mapping.htm"},  // offered on model 1
};

class HelpTest : public UiHost {
protected:
    std::string helpFile() const { return programFolder() + resourceString(1161); }
    // Boxes saying that the help file is missing.
    int helpWarnings() const
    {
        int count = 0;
        for (const auto& box : hookLog().boxes)
            if (box.text == resourceString(448) + resourceString(1161)) ++count;
        return count;
    }
};

// First of the suite: once the viewer has opened the help file, Wine's viewer
// keeps it open for the rest of the process and it can no longer be moved aside.
TEST_F(HelpTest, WithoutTheHelpFileTheStartWarnsOnceAndHelpStaysShut)
{
    const std::string aside = helpFile() + ".aside";
    ASSERT_TRUE(MoveFileA(helpFile().c_str(), aside.c_str())) << GetLastError();
    struct PutBack {
        std::string from, to;
        ~PutBack() { MoveFileA(from.c_str(), to.c_str()); }
    } putBack{aside, helpFile()};

    ViewerWatch watch;
    ASSERT_TRUE(watch.active());
    ASSERT_EQ(createMain(), 0) << "a missing help file does not stop the library";
    EXPECT_EQ(helpWarnings(), 1);
    useModel1();
    for (const PageHelp& page : kPages) {
        pressCtrl(page.tabKey);
        HWND window = pageWith(page.markControl);
        ASSERT_NE(window, nullptr) << page.page;
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, page.helpButton))) << page.page;
        // Even a click that reaches the page opens nothing.
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(page.helpButton, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, page.helpButton)));
    }
    orvox.SendMessage(WM_COMMAND, 0x8008, 0);
    pumpUntil([] { return false; }, 200);
    EXPECT_TRUE(viewerRequests().empty());
    EXPECT_EQ(helpWarnings(), 1) << "the warning is not repeated by help requests";
}

TEST_F(HelpTest, TheHelpFileNamedByTheLibraryIsInstalledAndTheStartIsQuiet)
{
    EXPECT_EQ(resourceString(1161), "Orvox.chm");
    ASSERT_NE(GetFileAttributesA(helpFile().c_str()), INVALID_FILE_ATTRIBUTES) << helpFile();
    ASSERT_EQ(createMain(), 0);
    EXPECT_EQ(helpWarnings(), 0);
    useModel1();
    for (const PageHelp& page : kPages) {
        HWND window = pageWith(page.markControl);
        ASSERT_NE(window, nullptr) << page.page;
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, page.helpButton))) << page.page;
    }
}

TEST_F(HelpTest, EachPagesHelpButtonOpensItsOwnTopic)
{
    ViewerWatch watch;
    ASSERT_TRUE(watch.active());
    ASSERT_EQ(createMain(), 0);
    useModel1();
    for (const PageHelp& page : kPages) {
        pressCtrl(page.tabKey);
        HWND window = pageWith(page.markControl);
        ASSERT_NE(window, nullptr) << page.page;
        ASSERT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) << page.page << " is not the current tab";
        viewerRequests().clear();
        SendMessageA(GetDlgItem(window, page.helpButton), BM_CLICK, 0, 0);
        ASSERT_EQ(viewerRequests().size(), 1u) << page.page;
        const ViewerRequest& request = viewerRequests().front();
        EXPECT_EQ(request.address, helpFile() + "::/" + page.topic) << page.page;
        EXPECT_EQ(request.command, static_cast<UINT>(HH_DISPLAY_TOPIC)) << page.page;
        // The help window belongs to the host's window, not to the page inside it.
        EXPECT_EQ(request.owner, GetAncestor(host, GA_ROOT)) << page.page;
        ASSERT_NE(request.window, nullptr) << page.page << ": the viewer opened nothing";
        EXPECT_TRUE(IsWindow(request.window));
        char className[64] = {};
        GetClassNameA(request.window, className, sizeof(className));
        EXPECT_STREQ(className, "HH Parent");
    }
}

TEST_F(HelpTest, TheHelpCommandOpensTheContents)
{
    ViewerWatch watch;
    ASSERT_TRUE(watch.active());
    ASSERT_EQ(createMain(), 0);
    // As the host's Help menu does: routed through the library to the main window.
    ASSERT_EQ(orvox.SendMessage(WM_COMMAND, 0x8008, 0), 0);
    ASSERT_TRUE(pumpUntil([] { return !viewerRequests().empty(); }));
    const ViewerRequest& request = viewerRequests().front();
    EXPECT_EQ(request.address, helpFile() + "::/index.htm");
    EXPECT_EQ(request.command, static_cast<UINT>(HH_DISPLAY_TOC));
    EXPECT_NE(request.window, nullptr);
}

} // namespace
} // namespace orvox::test
