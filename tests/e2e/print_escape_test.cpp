// Escape stops a print run while one of the run's own dialogs or message boxes
// is open: those are top-level windows of their own, outside the job-setup
// window, and the run stops before its next file with 23. What reached the
// printer tells which files were sent.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "orvox_binding.h"

namespace orvox::e2e {
namespace {

// Boxes with Yes and No are shown by the library itself (the test answers them
// through the window); every other message is answered here.
int showOnlyQuestions(const char*, unsigned type, int* show)
{
    if ((type & MB_TYPEMASK) == MB_YESNO) return 1;
    *show = 0;
    return IDOK;
}

// What the operator does with the run's dialog or box: Escape first, then,
// once it is still open, the given answer.
class EscapeThenAnswer {
public:
    using Answer = void (*)(HWND window, const std::string& file);

    EscapeThenAnswer(Answer answer, std::string file) : answer_(answer), file_(std::move(file))
    {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 20, tick);
    }
    ~EscapeThenAnswer()
    {
        KillTimer(nullptr, timer_);
        current() = nullptr;
    }
    EscapeThenAnswer(const EscapeThenAnswer&) = delete;
    EscapeThenAnswer& operator=(const EscapeThenAnswer&) = delete;

    int escapes() const { return escapes_; }
    bool answered() const { return answered_; }

private:
    static EscapeThenAnswer*& current()
    {
        static EscapeThenAnswer* self = nullptr;
        return self;
    }
    static BOOL CALLBACK findOpen(HWND window, LPARAM out)
    {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "#32770" || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        EscapeThenAnswer* self = current();
        HWND open = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), findOpen, reinterpret_cast<LPARAM>(&open));
        if (!self || !open || self->answered_) return;
        // The first tick sees the window before its controls are ready.
        if (self->seen_ != open) {
            self->seen_ = open;
            return;
        }
        if (self->escapes_ == 0) {
            HWND focus = GetFocus();
            HWND target = focus && (focus == open || IsChild(open, focus)) ? focus : open;
            PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageA(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
            ++self->escapes_;
            return;
        }
        self->answered_ = true;
        self->answer_(open, self->file_);
    }

    Answer answer_;
    std::string file_;
    UINT_PTR timer_ = 0;
    HWND seen_ = nullptr;
    int escapes_ = 0;
    bool answered_ = false;
};

class PrintEscapeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(queue.empty()) << "ORVOX_QUEUE is not set; run through tools/e2e-env.sh";
        ASSERT_TRUE(capture.configured());
        std::filesystem::create_directories(dosDir);
        ASSERT_EQ(orvox.load("Orvox.dll"), 0);
        host = createHostWindow("OrvoxE2eEscapeHost");
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override
    {
        if (started) {
            EXPECT_EQ(orvox.Exit(1), 0);
        }
        if (host) DestroyWindow(host);
        std::error_code ec;
        std::filesystem::remove_all(dosDir, ec);
    }

    std::string writePostScript(const std::string& name)
    {
        const std::string text = "%!PS-Adobe-3.0\n72 720 moveto (" + name + ") show showpage\n%%EOF\n";
        std::ofstream(dosDir + "\\" + name, std::ios::binary) << text;
        return text;
    }

    void start(const std::string& language, const std::vector<std::string>& files)
    {
        ASSERT_EQ(orvox.InitMain(showOnlyQuestions, nullptr), 0);
        ASSERT_EQ(orvox.CreateMain(host, 0, "e2e"), 0);
        started = true;
        std::string xml = "<PRINTER_SETTINGS><PRINTER_LANGUAGE>" + language + "</PRINTER_LANGUAGE><PRINTER>" + queue +
                          "</PRINTER><FILES_TO_PRINT>";
        for (const std::string& f : files) xml += "<FILE>" + dosDir + "\\" + f + "</FILE>";
        xml += "</FILES_TO_PRINT></PRINTER_SETTINGS>";
        int line = -1;
        ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0) << line;
    }

    // The jobs that arrived: the first and only one must carry `first`.
    void expectOnlyTheFirstFileSent(const std::string& first)
    {
        const auto jobs = capture.waitForNewJobs(2, std::chrono::seconds(5));
        ASSERT_EQ(jobs.size(), 1u) << "the run went on after Escape";
        ASSERT_GE(jobs[0].size(), first.size());
        EXPECT_EQ(jobs[0].substr(jobs[0].size() - first.size()), first);
    }

    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    const std::string linuxDir = "/tmp/orvox-e2e-escape-" + std::to_string(GetCurrentProcessId());
    const std::string dosDir = toWindowsPath(linuxDir).string();
    test::OrvoxBinding orvox;
    HWND host = nullptr;
    bool started = false;
};

TEST_F(PrintEscapeTest, EscapeInTheLocateDialogStopsTheRunEvenWhenAFileIsThenChosen)
{
    const std::string first = writePostScript("first.ps");
    writePostScript("found.ps");
    writePostScript("last.ps");
    // The file list takes only files that exist; this one goes before the print.
    writePostScript("missing.ps");
    start("ID_FILE_TYPE_PS", {"first.ps", "missing.ps", "last.ps"});
    ASSERT_TRUE(DeleteFileA((dosDir + "\\missing.ps").c_str()));

    EscapeThenAnswer operatorAtTheDialog(
        [](HWND dialog, const std::string& file) {
            HWND name = GetDlgItem(dialog, 1152) ? GetDlgItem(dialog, 1152) : GetDlgItem(dialog, 1148);
            SetWindowTextA(name, file.c_str());
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        },
        dosDir + "\\found.ps");
    EXPECT_EQ(orvox.Print(), 23);
    EXPECT_EQ(operatorAtTheDialog.escapes(), 1);
    EXPECT_TRUE(operatorAtTheDialog.answered()) << "Escape closed the dialog instead of stopping the run";
    expectOnlyTheFirstFileSent(first);
}

TEST_F(PrintEscapeTest, EscapeInAMessageBoxOfTheRunStopsItBeforeTheNextFile)
{
    // The run asks before it converts a TIFF file for a printer language other
    // than PostScript; the branding switch that converts TIFF files is set for
    // this test only.
    const std::string make = "cd " + linuxDir +
                             " && gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=tiffg4 -r200 -o scan.tif -c showpage";
    ASSERT_EQ(runOnLinux(make, linuxDir + "/made", dosDir + "\\made"), "0\n");
    const TiffConversionBranding branding;
    ASSERT_TRUE(branding.written()) << "a branding file of someone else's";

    const std::string first = writePostScript("first.ps");
    writePostScript("last.ps");
    start("ID_FILE_TYPE_PCL", {"first.ps", "scan.tif", "last.ps"});

    EscapeThenAnswer operatorAtTheBox([](HWND box, const std::string&) { PostMessageA(box, WM_COMMAND, IDYES, 0); },
                                      "");
    EXPECT_EQ(orvox.Print(), 23);
    EXPECT_EQ(operatorAtTheBox.escapes(), 1);
    EXPECT_TRUE(operatorAtTheBox.answered());
    expectOnlyTheFirstFileSent(first);
}

} // namespace
} // namespace orvox::e2e
