// IPP printers end to end: Orvox.dll under Wine prints to ippeveprinter test
// printers on 127.0.0.1 (started by tools/ipp-env.sh). The operator selects
// the configured IPP printer on the Printers page; each printer's print
// command records every job's document and IPP_* attributes, which the tests
// judge. Without the printers the whole program is skipped (exit 77) with
// the reason the harness gave.
#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "orvox_binding.h"
#include "window_shot.h"

namespace orvox::e2e {
namespace {

constexpr int kMainTab = 57616;
constexpr int kPrinterList = 1038;
constexpr int kOperatorMessageEdit = 1040;
constexpr int kChargeNumberEdit = 1074;

struct Box {
    std::string text;
    unsigned type;
};
std::vector<Box> g_boxes;
int g_okCancelAnswer = IDOK;

int answerBoxes(const char* text, unsigned type, int* show)
{
    g_boxes.push_back({text ? text : "", type});
    *show = 0;
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return g_okCancelAnswer;
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    default: return IDOK;
    }
}

std::string boxesSaid()
{
    std::string said;
    for (const Box& box : g_boxes) said += box.text + "\n--\n";
    return said;
}

std::filesystem::path programFolder()
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    return std::filesystem::path(exe).parent_path();
}

// The IPP printers section in the installation folder's configuration file
// for one test; the file is put back as it was however the test ends.
class ConfiguredIppPrinters {
public:
    explicit ConfiguredIppPrinters(const std::vector<std::pair<std::string, std::string>>& printers)
        : path_(programFolder() / "Orvox.ini"), original_(readBytes(path_))
    {
        std::string text = original_ + "\r\n[IppPrinters]\r\n";
        for (const auto& [name, uri] : printers) text += name + "=" + uri + "\r\n";
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << text;
    }
    ~ConfiguredIppPrinters() { std::ofstream(path_, std::ios::binary | std::ios::trunc) << original_; }
    ConfiguredIppPrinters(const ConfiguredIppPrinters&) = delete;
    ConfiguredIppPrinters& operator=(const ConfiguredIppPrinters&) = delete;

private:
    std::filesystem::path path_;
    std::string original_;
};

// One job as an ippeveprinter's print command recorded it.
struct IppJob {
    std::string document;
    std::map<std::string, std::string> attributes;  // IPP_* variables and CONTENT_TYPE

    std::string get(const std::string& name) const
    {
        const auto at = attributes.find(name);
        return at == attributes.end() ? std::string("(none)") : at->second;
    }
};

// The capture folder of one test printer as it was when the object was made.
class IppCapture {
public:
    explicit IppCapture(const char* variable) : dir_(toWindowsPath(envOrEmpty(variable))) { seen_ = complete(); }

    // The jobs complete since the last call, waiting up to `timeout` for `count` of them.
    std::vector<IppJob> newJobs(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::vector<std::filesystem::path> fresh;
        for (;;) {
            fresh.clear();
            for (const auto& file : complete())
                if (!seen_.count(file)) fresh.push_back(file);
            if (fresh.size() >= count || std::chrono::steady_clock::now() >= deadline) break;
            Sleep(50);  // poll interval; the deadline bounds the wait
        }
        std::vector<IppJob> jobs;
        for (const auto& env : fresh) {
            seen_.insert(env);
            IppJob job;
            job.document = readBytes(std::filesystem::path(env).replace_extension(".doc"));
            const std::string text = readBytes(env);
            for (std::size_t at = 0; at < text.size();) {
                std::size_t end = text.find('\0', at);
                if (end == std::string::npos) end = text.size();
                const std::string entry = text.substr(at, end - at);
                const std::size_t equals = entry.find('=');
                if (equals != std::string::npos) job.attributes[entry.substr(0, equals)] = entry.substr(equals + 1);
                at = end + 1;
            }
            jobs.push_back(std::move(job));
        }
        return jobs;
    }

private:
    std::set<std::filesystem::path> complete() const
    {
        std::set<std::filesystem::path> files;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(dir_, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.rfind("job-", 0) == 0 && it->path().extension() == ".env") files.insert(it->path());
        }
        return files;
    }

    std::filesystem::path dir_;
    std::set<std::filesystem::path> seen_;
};

std::set<std::filesystem::path> tempFolderEntries()
{
    std::set<std::filesystem::path> entries;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(std::filesystem::temp_directory_path(), ec), end; !ec && it != end;
         it.increment(ec))
        entries.insert(it->path());
    return entries;
}

std::string writeFile(const std::string& name, const std::string& bytes)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() / ("orvox-ipp-" + name);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path.string();
}

// The library loaded by a host window, with its job-setup window.
class Library {
public:
    Library()
    {
        g_boxes.clear();
        g_okCancelAnswer = IDOK;
        loaded_ = orvox_.load("Orvox.dll") == 0;
        host_ = createHostWindow("OrvoxIppHost");
        started_ = loaded_ && orvox_.InitMain(answerBoxes, nullptr) == 0 && orvox_.CreateMain(host_, 0, "ipp") == 0;
        if (started_) orvox_.GetWindowMain(&main_);
    }
    ~Library()
    {
        if (loaded_) orvox_.Exit(1);
        DestroyWindow(host_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    bool started() const { return started_ && main_; }
    test::OrvoxBinding& orvox() { return orvox_; }
    HWND tabs() const { return GetDlgItem(main_, kMainTab); }

    bool xml(const std::string& body)
    {
        int line = -1;
        const std::string text = "<PRINTER_SETTINGS>" + body + "</PRINTER_SETTINGS>";
        return orvox_.OpenXMLSettings(text.c_str(), &line) == 0;
    }

    // The rows of the Printers page's list.
    std::vector<std::string> printerRows()
    {
        std::vector<std::string> rows;
        HWND page = showPageWith(tabs(), kPrinterList);
        if (!page) return rows;
        HWND list = GetDlgItem(page, kPrinterList);
        const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[512] = {};
            if (SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < static_cast<LRESULT>(sizeof text))
                SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            rows.push_back(text);
        }
        return rows;
    }

    // Clicks the row whose text is `row`, as the operator does; false when there is none.
    bool clickPrinterRow(const std::string& row)
    {
        HWND page = showPageWith(tabs(), kPrinterList);
        if (!page) return false;
        HWND list = GetDlgItem(page, kPrinterList);
        const auto at = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(row.c_str()));
        if (at < 0) return false;
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(at), 0);  // does not notify by itself
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(kPrinterList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        return SendMessageA(list, LB_GETCURSEL, 0, 0) == at;
    }

    std::string selectedPrinterRow()
    {
        HWND page = showPageWith(tabs(), kPrinterList);
        if (!page) return {};
        HWND list = GetDlgItem(page, kPrinterList);
        const auto at = SendMessageA(list, LB_GETCURSEL, 0, 0);
        char text[512] = {};
        if (at >= 0 && SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(at), 0) < static_cast<LRESULT>(sizeof text))
            SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text));
        return text;
    }

    // Types `text` into an edit of the page that has it, as the operator does.
    bool type(int editId, const std::string& text)
    {
        HWND page = showPageWith(tabs(), editId);
        if (!page) return false;
        HWND edit = GetDlgItem(page, editId);
        SetWindowTextA(edit, text.c_str());
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(editId, EN_CHANGE), reinterpret_cast<LPARAM>(edit));
        return true;
    }

    bool savePicture(const char* path)
    {
        ShowWindow(host_, SW_SHOW);
        ShowWindow(main_, SW_SHOW);
        RedrawWindow(host_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        return test::saveWindowBitmap(main_, path);
    }

    int print()
    {
        g_boxes.clear();
        return orvox_.Print();
    }

private:
    test::OrvoxBinding orvox_;
    HWND host_ = nullptr;
    HWND main_ = nullptr;
    bool loaded_ = false;
    bool started_ = false;
};

std::string lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string ippRow(const std::string& name, const std::string& uri) { return name + " (IPP printer at " + uri + ")"; }

const std::string kPostScript = "%!PS-Adobe-3.0\n%%Pages: 4\n/Helvetica findfont 24 scalefont setfont\n"
                                "72 720 moveto (Page 1) show showpage\n72 720 moveto (Page 2) show showpage\n"
                                "72 720 moveto (Page 3) show showpage\n72 720 moveto (Page 4) show showpage\n%%EOF\n";

// A small PDF with bytes of every value after its header line, so that any
// change on the way (a header put in front, bytes dropped or translated) shows.
std::string binaryPdf()
{
    std::string pdf = "%PDF-1.4\n%\xe2\xe3\xcf\xd3\n";
    std::string data;
    for (int i = 0; i < 4096; ++i) data += static_cast<char>((i * 7 + i / 256) & 0xff);
    pdf += "1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
           "2 0 obj\n<< /Type /Pages /Kids [3 0 R] /Count 1 >>\nendobj\n"
           "3 0 obj\n<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>\nendobj\n"
           "4 0 obj\n<< /Length " +
           std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream\nendobj\ntrailer\n<< /Root 1 0 R >>\n%%EOF\n";
    return pdf;
}

TEST(IppPrint, PrintersPageListsTheIppPrintersApartFromTheQueuesAndTheOperatorSelectsOne)
{
    const std::string uri = envOrEmpty("ORVOX_IPP_URI");
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    // One IPP printer shares its name with the Windows queue; one entry cannot be used.
    ConfiguredIppPrinters config({{"Finishing line", uri}, {queue.empty() ? "Twin" : queue, uri},
                                  {"Secure", "ipps://127.0.0.1/ipp/print"}});
    IppCapture capture("ORVOX_IPP_CAPTURE_DIR");
    Library lib;
    ASSERT_TRUE(lib.started());
    // The unusable entry is named in one message with its line.
    const auto rejected = std::count_if(g_boxes.begin(), g_boxes.end(), [](const Box& box) {
        return box.text.find("Secure=ipps://127.0.0.1/ipp/print") != std::string::npos;
    });
    EXPECT_EQ(rejected, 1) << boxesSaid();

    const std::vector<std::string> rows = lib.printerRows();
    std::string shown;
    for (const auto& row : rows) shown += row + "\n";
    const auto finishing = std::find(rows.begin(), rows.end(), ippRow("Finishing line", uri));
    ASSERT_NE(finishing, rows.end()) << shown;
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const std::string& r) { return r.find("ipps://") != std::string::npos; }),
              0);
    if (!queue.empty()) {
        // The queue row comes first and a name picks it: XML names the queue.
        const auto queueRow = std::find_if(rows.begin(), rows.end(),
                                           [&](const std::string& r) { return r.rfind(queue + " on ", 0) == 0; });
        const auto twin = std::find(rows.begin(), rows.end(), ippRow(queue, uri));
        ASSERT_NE(queueRow, rows.end()) << shown;
        ASSERT_NE(twin, rows.end()) << shown;
        EXPECT_LT(queueRow - rows.begin(), twin - rows.begin());
    }

    // With ORVOX_IPP_PAGE_SHOT naming a .bmp file, the page with the IPP
    // printer selected is shown and saved there, to be looked at.
    if (const char* picture = std::getenv("ORVOX_IPP_PAGE_SHOT"); picture && *picture) {
        ASSERT_TRUE(lib.clickPrinterRow(ippRow("Finishing line", uri)));
        EXPECT_TRUE(lib.savePicture(picture));
    }

    // The operator picks the IPP printer; XML names the file only.
    const std::string pdf = binaryPdf();
    const std::string file = writeFile("bytes.pdf", pdf);
    ASSERT_TRUE(lib.xml("<PRINTER_LANGUAGE>ID_FILE_TYPE_PDF</PRINTER_LANGUAGE><FILES_TO_PRINT><FILE>" + file +
                        "</FILE></FILES_TO_PRINT>"));
    ASSERT_TRUE(lib.clickPrinterRow(ippRow("Finishing line", uri)));
    const auto before = tempFolderEntries();
    EXPECT_EQ(lib.print(), 0) << boxesSaid();
    const auto jobs = capture.newJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(firstDifference(jobs[0].document, pdf), std::string::npos) << "the document arrives unchanged";
    EXPECT_EQ(jobs[0].get("CONTENT_TYPE"), "application/pdf");
    // The name as the Files page holds it (in capitals).
    EXPECT_EQ(lower(jobs[0].get("IPP_JOB_NAME")), lower(std::filesystem::path(file).filename().string()));
    EXPECT_EQ(tempFolderEntries(), before) << "nothing of the run stays in the temporary folder";
    std::filesystem::remove(file);
}

TEST(IppPrint, AProductionJobArrivesWithItsSettingsAsJobAttributes)
{
    const std::string uri = envOrEmpty("ORVOX_IPP_URI");
    ConfiguredIppPrinters config({{"Finishing line", uri}});
    IppCapture capture("ORVOX_IPP_CAPTURE_DIR");
    Library lib;
    ASSERT_TRUE(lib.started());
    const std::string file = writeFile("booklet.ps", kPostScript);
    // A saddle-stitched booklet with a proof hold, an operator message and an
    // account. The booklet maker takes no plain paper: the body is the coated
    // A4 of the catalog.
    ASSERT_TRUE(lib.xml("<BODY_PAPER>3</BODY_PAPER><PRINTING_MODE>ID_PAMPHLETS</PRINTING_MODE>"
                        "<DOCUMENT_EXIT>ID_OUTPUT_DEVICE_BOOKLETMAKER</DOCUMENT_EXIT>"
                        "<STAPLING>ID_STAPLE_MODE_SADDLE</STAPLING>"
                        "<PROOF_SET>ON<WAIT_TIME>5</WAIT_TIME></PROOF_SET>"
                        "<FILES_TO_PRINT><FILE>" + file + "</FILE></FILES_TO_PRINT>"))
        << boxesSaid();
    ASSERT_TRUE(lib.type(kOperatorMessageEdit, "Trim to A5 after folding"));
    ASSERT_TRUE(lib.type(kChargeNumberEdit, "4711"));
    ASSERT_TRUE(lib.clickPrinterRow(ippRow("Finishing line", uri)));

    const auto before = tempFolderEntries();
    EXPECT_EQ(lib.print(), 0) << boxesSaid();
    auto jobs = capture.newJobs(1);
    ASSERT_EQ(jobs.size(), 1u) << boxesSaid();
    const IppJob& job = jobs[0];
    std::string all;
    for (const auto& [name, value] : job.attributes) all += name + "=" + value + "\n";
    EXPECT_EQ(job.document, kPostScript);
    EXPECT_EQ(job.get("CONTENT_TYPE"), "application/postscript") << all;
    // A booklet is folded in half and saddle-stitched in the booklet maker.
    EXPECT_EQ(job.get("IPP_FINISHINGS"), "saddle-stitch,fold-half,booklet-maker") << all;
    EXPECT_EQ(job.get("IPP_SIDES"), "two-sided-long-edge") << all;
    EXPECT_EQ(job.get("IPP_OUTPUT_BIN"), "booklet-maker") << all;
    EXPECT_EQ(job.get("IPP_MEDIA_COL"),
              "{media-key=A4 Colour Laser 100 media-size={x-dimension=21000 y-dimension=29700} "
              "media-weight-metric=100 media-color=white media-type=stationery-coated}")
        << all;
    EXPECT_EQ(job.get("IPP_JOB_MESSAGE_TO_OPERATOR"), "Trim to A5 after folding") << all;
    EXPECT_EQ(job.get("IPP_JOB_ACCOUNT_ID"), "4711") << all;
    EXPECT_EQ(lower(job.get("IPP_JOB_NAME")), "orvox-ipp-booklet.ps") << all;
    // The test printer holds no jobs: the proof hold is the one setting named
    // in the question, and the job goes without it.
    ASSERT_EQ(g_boxes.size(), 1u) << boxesSaid();
    EXPECT_NE(g_boxes[0].text.find("proof set"), std::string::npos) << boxesSaid();
    EXPECT_EQ(job.get("IPP_JOB_HOLD_UNTIL"), "(none)") << all;
    EXPECT_EQ(tempFolderEntries(), before);

    // The same job into the stacker, offset from the one before.
    ASSERT_TRUE(lib.xml("<PRINTING_MODE>ID_TWO_SIDED_FLIP_SHORT</PRINTING_MODE><PROOF_SET>OFF</PROOF_SET>"
                        "<DOCUMENT_EXIT>ID_OUTPUT_DEVICE_STACKER</DOCUMENT_EXIT>"
                        "<OFFSET_STACKING>ID_STACK_MODE_OFFSET</OFFSET_STACKING>"));
    EXPECT_EQ(lib.print(), 0) << boxesSaid();
    EXPECT_TRUE(g_boxes.empty()) << boxesSaid();
    jobs = capture.newJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].get("IPP_FINISHINGS"), "jog-offset");
    EXPECT_EQ(jobs[0].get("IPP_OUTPUT_BIN"), "stacker");
    EXPECT_EQ(jobs[0].get("IPP_SIDES"), "two-sided-short-edge");
    EXPECT_EQ(jobs[0].get("IPP_JOB_ACCOUNT_ID"), "4711");
    EXPECT_EQ(tempFolderEntries(), before);
    std::filesystem::remove(file);
}

// Chooses the item of a page's combo box whose text is `text`, as the
// operator's click does; false when the box has no such item.
bool chooseItemNamed(HWND tabs, int comboId, const std::string& text)
{
    HWND page = showPageWith(tabs, comboId);
    if (!page) return false;
    HWND combo = GetDlgItem(page, comboId);
    const auto at = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    if (at < 0) return false;
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);  // does not notify by itself
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return SendMessageA(combo, CB_GETCURSEL, 0, 0) == at;
}

// A catalog paper as the printer receives it in a media-col; its name goes
// as the key when the printer's paper database knows it.
std::string paperCol(const std::string& key, int x, int y, int weight, const std::string& colour, const std::string& type)
{
    return "{" + (key.empty() ? std::string() : "media-key=" + key + " ") + "media-size={x-dimension=" + std::to_string(x) + " y-dimension=" + std::to_string(y) +
           "} media-weight-metric=" + std::to_string(weight) + " media-color=" + colour + " media-type=" + type + "}";
}

TEST(IppPrint, AProductionJobWithCoversInsertsAndPageExceptionsArrivesWithThemAsJobAttributes)
{
    constexpr int kFrontCover = 1024, kFrontCoverPaper = 1025, kBackCover = 1123, kBackCoverPaper = 1119;
    const std::string uri = envOrEmpty("ORVOX_IPP_URI");
    ConfiguredIppPrinters config({{"Finishing line", uri}});
    IppCapture capture("ORVOX_IPP_CAPTURE_DIR");
    Library lib;
    ASSERT_TRUE(lib.started());
    const std::string file = writeFile("report.ps", kPostScript);
    // Two-sided into the stacker, offset; pages 2 to 4 on the recycled paper
    // and a tab sheet before pages 2 and 4, from the XML; a proof hold.
    ASSERT_TRUE(lib.xml("<PRINTER_MODEL>ID_PRINTERMODEL_SELVO</PRINTER_MODEL>"
                        "<PRINTING_MODE>ID_TWO_SIDED_FLIP_LONG</PRINTING_MODE>"
                        "<DOCUMENT_EXIT>ID_OUTPUT_DEVICE_STACKER</DOCUMENT_EXIT>"
                        "<OFFSET_STACKING>ID_STACK_MODE_OFFSET</OFFSET_STACKING>"
                        "<PROOF_SET>ON<WAIT_TIME>5</WAIT_TIME></PROOF_SET><PAPER_SUBSTITUTIONS>"
                        "<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>2..4</PAGE_RANGE><PAPER>2</PAPER></PAPER_SUBSTITUTION_ITEM>"
                        "<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>^2 ^4</PAGE_RANGE><PAPER>6</PAPER></PAPER_SUBSTITUTION_ITEM>"
                        "</PAPER_SUBSTITUTIONS><FILES_TO_PRINT><FILE>" + file + "</FILE></FILES_TO_PRINT>"))
        << boxesSaid();
    // The covers as the operator chooses them on the page: the front printed
    // on its outside on the cover board, the back on its outside on yellow.
    ASSERT_TRUE(chooseItemNamed(lib.tabs(), kFrontCover, "Print on side 1"));
    ASSERT_TRUE(chooseItemNamed(lib.tabs(), kFrontCoverPaper, "A4 Cover 250"));
    ASSERT_TRUE(chooseItemNamed(lib.tabs(), kBackCover, "Print on side 2"));
    ASSERT_TRUE(chooseItemNamed(lib.tabs(), kBackCoverPaper, "A4 Yellow 80"));
    ASSERT_TRUE(lib.type(kOperatorMessageEdit, "Covers from shelf 4"));
    ASSERT_TRUE(lib.type(kChargeNumberEdit, "CC-17 print room"));
    ASSERT_TRUE(lib.clickPrinterRow(ippRow("Finishing line", uri)));

    const auto before = tempFolderEntries();
    EXPECT_EQ(lib.print(), 0) << boxesSaid();
    const auto jobs = capture.newJobs(1);
    ASSERT_EQ(jobs.size(), 1u) << boxesSaid();
    const IppJob& job = jobs[0];
    std::string all;
    for (const auto& [name, value] : job.attributes) all += name + "=" + value + "\n";
    // Only the proof hold is asked about: covers, inserts and exceptions are all on the printer's list.
    ASSERT_EQ(g_boxes.size(), 1u) << boxesSaid();
    EXPECT_NE(g_boxes[0].text.find("proof set"), std::string::npos) << boxesSaid();
    EXPECT_EQ(g_boxes[0].text.find("cover"), std::string::npos) << boxesSaid();
    EXPECT_EQ(g_boxes[0].text.find("insert"), std::string::npos) << boxesSaid();
    EXPECT_EQ(job.document, kPostScript);
    EXPECT_EQ(job.get("IPP_SIDES"), "two-sided-long-edge") << all;
    EXPECT_EQ(job.get("IPP_OUTPUT_BIN"), "stacker") << all;
    EXPECT_EQ(job.get("IPP_FINISHINGS"), "jog-offset") << all;
    EXPECT_EQ(job.get("IPP_JOB_MESSAGE_TO_OPERATOR"), "Covers from shelf 4") << all;
    EXPECT_EQ(job.get("IPP_JOB_ACCOUNT_ID"), "CC-17 print room") << all;
    EXPECT_EQ(job.get("IPP_JOB_HOLD_UNTIL"), "(none)") << all;
    // The body paper is the body slot of the catalog, whose name the printer
    // does not know: it goes without a key.
    EXPECT_EQ(job.get("IPP_MEDIA_COL"), paperCol("", 21000, 29700, 80, "white", "stationery")) << all;
    // The printer hands each collection to its command in text form,
    // {member=value ...}, values separated by commas.
    // "A4 Cover 250": white 250 g board; "A4 Yellow 80": yellow 80 g.
    EXPECT_EQ(job.get("IPP_COVER_FRONT"),
              "{cover-type=print-front media-col=" + paperCol("A4 Cover 250", 21000, 29700, 250, "white", "cardstock") + "}")
        << all;
    EXPECT_EQ(job.get("IPP_COVER_BACK"),
              "{cover-type=print-back media-col=" + paperCol("A4 Yellow 80", 21000, 29700, 80, "yellow", "stationery") + "}")
        << all;
    // "A4 Tabs 160": ivory 160 g tab stock, 225 x 297 mm, after pages 1 and 3.
    const std::string tabs = paperCol("A4 Tabs 160", 22500, 29700, 160, "ivory", "tab-stock");
    EXPECT_EQ(job.get("IPP_INSERT_SHEET"), "{insert-after-page-number=1 insert-count=1 media-col=" + tabs +
                                               "},{insert-after-page-number=3 insert-count=1 media-col=" + tabs + "}")
        << all;
    // "A4 Recycled 80" for pages 2 to 4; two-sided, an exception takes whole
    // sheets from the front side the job header names (2 and 4).
    EXPECT_EQ(job.get("IPP_OVERRIDES"),
              "{pages=2-5 media-col=" + paperCol("A4 Recycled 80", 21000, 29700, 80, "white", "Recycled") + " sides=two-sided-long-edge}")
        << all;
    EXPECT_EQ(tempFolderEntries(), before);
    std::filesystem::remove(file);
}

TEST(IppPrint, APrinterWithoutFinishingIsAskedAboutFirstCancelSendsNothingOkSendsWithoutThem)
{
    const std::string uri = envOrEmpty("ORVOX_IPP_PLAIN_URI");
    ConfiguredIppPrinters config({{"Office printer", uri}});
    IppCapture capture("ORVOX_IPP_PLAIN_CAPTURE_DIR");
    Library lib;
    ASSERT_TRUE(lib.started());
    const std::string file = writeFile("stapled.ps", kPostScript);
    ASSERT_TRUE(lib.xml("<DOCUMENT_EXIT>ID_OUTPUT_DEVICE_STAPLER</DOCUMENT_EXIT><STAPLING>ID_STAPLE_MODE_TOP</STAPLING>"
                        "<OFFSET_STACKING>ID_STACK_MODE_OFFSET</OFFSET_STACKING>"
                        "<FILES_TO_PRINT><FILE>" + file + "</FILE></FILES_TO_PRINT>"));
    ASSERT_TRUE(lib.clickPrinterRow(ippRow("Office printer", uri)));

    const auto before = tempFolderEntries();
    g_okCancelAnswer = IDCANCEL;
    EXPECT_EQ(lib.print(), 23) << boxesSaid();
    ASSERT_EQ(g_boxes.size(), 1u) << boxesSaid();
    EXPECT_EQ(g_boxes[0].type & MB_TYPEMASK, static_cast<unsigned>(MB_OKCANCEL));
    EXPECT_NE(g_boxes[0].text.find("Office printer"), std::string::npos) << g_boxes[0].text;
    EXPECT_NE(g_boxes[0].text.find("staple top left"), std::string::npos) << g_boxes[0].text;
    EXPECT_NE(g_boxes[0].text.find("offset stacking"), std::string::npos) << g_boxes[0].text;
    EXPECT_TRUE(capture.newJobs(1, std::chrono::seconds(3)).empty()) << "nothing is sent after Cancel";
    EXPECT_EQ(tempFolderEntries(), before);

    g_okCancelAnswer = IDOK;
    EXPECT_EQ(lib.print(), 0) << boxesSaid();
    EXPECT_EQ(g_boxes.size(), 1u) << boxesSaid();
    const auto jobs = capture.newJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].document, kPostScript);
    const std::string finishings = jobs[0].get("IPP_FINISHINGS");
    EXPECT_EQ(finishings.find("staple"), std::string::npos) << finishings;
    EXPECT_EQ(finishings.find("jog-offset"), std::string::npos) << finishings;
    EXPECT_EQ(tempFolderEntries(), before);
    std::filesystem::remove(file);
}

TEST(IppPrint, AStoppedPrinterGivesThirtyOneWithItsMessageAndLeavesNothingBehind)
{
    const std::string uri = envOrEmpty("ORVOX_IPP_STOPPED_URI");
    ConfiguredIppPrinters config({{"Night shift", uri}});
    Library lib;
    ASSERT_TRUE(lib.started());
    const std::string first = writeFile("first.ps", kPostScript);
    const std::string second = writeFile("second.ps", kPostScript);
    // Named by XML, as a queue is named: the name finds the IPP printer's row.
    ASSERT_TRUE(lib.xml("<PRINTER>NIGHT SHIFT</PRINTER><FILES_TO_PRINT><FILE>" + first + "</FILE><FILE>" + second +
                        "</FILE></FILES_TO_PRINT>"));
    EXPECT_TRUE(g_boxes.empty()) << boxesSaid();
    EXPECT_EQ(lib.selectedPrinterRow(), ippRow("Night shift", uri));
    const auto before = tempFolderEntries();
    EXPECT_EQ(lib.print(), 31);
    ASSERT_EQ(g_boxes.size(), 1u) << boxesSaid();
    EXPECT_NE(g_boxes[0].text.find("Night shift"), std::string::npos) << g_boxes[0].text;
    EXPECT_EQ(g_boxes[0].type & MB_ICONMASK, static_cast<unsigned>(MB_ICONHAND));
    EXPECT_EQ(tempFolderEntries(), before);

    // The library is ready for the next run: a second request ends the same way.
    EXPECT_EQ(lib.print(), 31);
    std::filesystem::remove(first);
    std::filesystem::remove(second);
}

} // namespace
} // namespace orvox::e2e

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const std::string skip = orvox::e2e::envOrEmpty("ORVOX_IPP_SKIP");
    if (!skip.empty() || orvox::e2e::envOrEmpty("ORVOX_IPP_URI").empty()) {
        std::printf("IPP print tests skipped: %s\n",
                    skip.empty() ? "no IPP test printers (run under tools/ipp-env.sh)" : skip.c_str());
        return 77;
    }
    return RUN_ALL_TESTS();
}
