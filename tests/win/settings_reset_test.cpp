// New settings in a window that has been used: the pages show what they show
// after a fresh start, the saved job is the fresh one byte for byte, and the
// reset fills each page once (a host that prints job after job in one start
// pays for the reset on every job).
#include <filesystem>

#include "ui_host.h"

namespace orvox::test {
namespace {

constexpr int kModelCombo = 1065;
constexpr int kSaveAsEdit = 1072;
constexpr int kExit = 1017;
constexpr int kFinisher = 1;

// One line per control of the pages: id, class, enabled and shown, and what it holds.
std::vector<std::string> controlsOfThePages(HWND tabControl)
{
    std::vector<std::string> lines;
    for (HWND page = GetWindow(tabControl, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            char kind[64] = {};
            GetClassNameA(control, kind, sizeof kind);
            char text[512] = {};
            GetWindowTextA(control, text, sizeof text);
            std::string line = std::to_string(GetDlgCtrlID(control)) + " " + kind + " enabled " +
                               std::to_string(IsWindowEnabled(control) != FALSE) + " text \"" + text + "\"";
            if (lstrcmpiA(kind, "ComboBox") == 0)
                line += " items " + std::to_string(SendMessageA(control, CB_GETCOUNT, 0, 0)) + " selected " +
                        std::to_string(SendMessageA(control, CB_GETCURSEL, 0, 0));
            else if (lstrcmpiA(kind, "Button") == 0)
                line += " check " + std::to_string(SendMessageA(control, BM_GETCHECK, 0, 0));
            else if (lstrcmpiA(kind, "ListBox") == 0)
                line += " items " + std::to_string(SendMessageA(control, LB_GETCOUNT, 0, 0));
            lines.push_back(line);
        }
    }
    return lines;
}

std::string savedBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Counts the texts set into one control.
class SetTextCounter {
public:
    explicit SetTextCounter(HWND control) : control_(control)
    {
        SetPropA(control_, "orvox-test-counter", this);
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SetTextCounter::procedure)));
    }
    ~SetTextCounter()
    {
        SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropA(control_, "orvox-test-counter");
    }
    SetTextCounter(const SetTextCounter&) = delete;
    SetTextCounter& operator=(const SetTextCounter&) = delete;
    int count = 0;

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = static_cast<SetTextCounter*>(GetPropA(hwnd, "orvox-test-counter"));
        if (message == WM_SETTEXT) ++self->count;
        return CallWindowProcA(self->previous_, hwnd, message, wParam, lParam);
    }
    HWND control_;
    WNDPROC previous_ = nullptr;
};

class SettingsResetTest : public UiHost {
protected:
    void SetUp() override
    {
        UiHost::SetUp();
        ASSERT_EQ(createMain(), 0);
        const auto stamp = std::to_string(GetCurrentProcessId());
        const auto temp = std::filesystem::temp_directory_path();
        freshFile_ = (temp / ("orvox-reset-fresh-" + stamp + ".ovx")).string();
        resetFile_ = (temp / ("orvox-reset-used-" + stamp + ".ovx")).string();
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove(freshFile_, ec);
        std::filesystem::remove(resetFile_, ec);
        UiHost::TearDown();
    }
    static void choose(HWND page, int id, int index)
    {
        SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    }

    std::string freshFile_;
    std::string resetFile_;
};

TEST_F(SettingsResetTest, AResetWindowShowsAndSavesWhatAFreshStartDoes)
{
    pressCtrl('1');
    ASSERT_EQ(orvox.NewSettings(), 0);
    const std::vector<std::string> fresh = controlsOfThePages(tabControl());
    ASSERT_GT(fresh.size(), 50u);
    ASSERT_EQ(orvox.SaveSettings(freshFile_.c_str()), 0);

    // A job on the other model with the operator's finishing and an imported ticket.
    hookLog().answer = IDOK;
    useModel1();
    pressCtrl('3');
    HWND setup1 = pageWith(1152);
    ASSERT_NE(setup1, nullptr);
    choose(setup1, kExit, kFinisher);
    ASSERT_EQ(selected(setup1, kExit), kFinisher);
    int line = -1;
    ASSERT_EQ(orvox.OpenXMLSettings("<PRINTER_SETTINGS><TRIM_EDGES>ON</TRIM_EDGES><COLLATE>OFF</COLLATE></PRINTER_SETTINGS>",
                                    &line),
              0)
        << "line " << line;
    ASSERT_NE(controlsOfThePages(tabControl()), fresh) << "the job changed what the pages show";

    pressCtrl('1');
    ASSERT_EQ(orvox.NewSettings(), 0);
    EXPECT_EQ(controlsOfThePages(tabControl()), fresh);
    ASSERT_EQ(orvox.SaveSettings(resetFile_.c_str()), 0);
    const std::string saved = savedBytes(resetFile_);
    EXPECT_FALSE(saved.empty());
    EXPECT_TRUE(saved == savedBytes(freshFile_)) << "the reset job is saved as the fresh one";
}

TEST_F(SettingsResetTest, AResetFillsThePrintersPageOnce)
{
    HWND printers = pageWith(kModelCombo);
    ASSERT_NE(printers, nullptr);
    HWND saveAs = GetDlgItem(printers, kSaveAsEdit);
    ASSERT_NE(saveAs, nullptr);
    useModel1();
    {
        SetTextCounter texts(saveAs);
        ASSERT_EQ(orvox.NewSettings(), 0);
        EXPECT_EQ(texts.count, 1) << "the page is filled once for new settings";
    }
    EXPECT_EQ(selected(printers, kModelCombo), 0) << "and shows the fresh model";
}

} // namespace
} // namespace orvox::test
