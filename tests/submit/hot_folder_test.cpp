// Hot folders without the library: a stand-in runner records what it was given
// and answers with a chosen result, so every path of a file is checked on disk.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "submit/portable/hot_folder.h"

namespace orvox::submit {
namespace {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

class FakeAccess : public FolderAccess {
public:
    bool canOpenExclusively(const fs::path& file) override { return held.count(file.filename().string()) == 0; }
    bool append(const fs::path& file, const std::string& text, bool durable) override
    {
        if (appendsLeft == 0) {
            std::ofstream(file, std::ios::binary | std::ios::app) << text.substr(0, text.size() / 2);  // cut by a full disk
            return false;
        }
        if (appendsLeft > 0) --appendsLeft;
        return FolderAccess::append(file, text, durable);
    }
    int appendsLeft = -1;  // appends that succeed before the disk is full; -1: never full
    // Logs and records write paths as the system's library texts do; here marked to be seen.
    std::string text(const fs::path& path) override { return markText ? "<" + path.string() + ">" : path.string(); }
    bool markText = false;
    bool writeText(const fs::path& file, const std::string& text) override
    {
        if (fullFolder == file.parent_path().filename().string()) {
            std::ofstream(file) << text.substr(0, text.size() / 2);  // what a full disk leaves
            return false;
        }
        return FolderAccess::writeText(file, text);
    }
    std::set<std::string> held;
    std::string fullFolder;
};

std::string read(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write(const fs::path& file, const std::string& text) { std::ofstream(file, std::ios::binary) << text; }

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file()) names.insert(entry.path().filename().string());
    return names;
}

class HotFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() /
               ("orvox-hot-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override { fs::remove_all(root); }

    HotFolder makeFolder(milliseconds wait = milliseconds(1000))
    {
        return HotFolder(root, "Q1", wait, access, [this](const std::string& e) { events.push_back(e); },
                         [this](const JobReport& r) { records.push_back(r); });
    }
    // A folder served with runs of up to ten files, with its folder ticket.
    HotFolder sharedRunFolder()
    {
        HotFolder folder = makeFolder(milliseconds(0));
        folder.setBatchSize(10);
        EXPECT_TRUE(folder.prepare());
        write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
        return folder;
    }
    // A runner that checks the files are in Processing, keeps the request, and
    // answers `result` for every file.
    JobRunner runner(int result)
    {
        return [this, result](const JobRequest& request) {
            requests.push_back(request);
            std::vector<JobReport> reports;
            for (const auto& f : request.files) {
                EXPECT_EQ(f.parent_path().filename(), "Processing");
                contents.push_back(read(f));
                JobReport report;
                report.time = "t";
                report.ticket = request.ticket.string();
                report.printer = request.printer;
                report.files = {f.string()};
                report.result = result;
                if (result) report.messages = {{"error (OK)", "refused", "OK"}};
                reports.push_back(report);
            }
            return reports;
        };
    }

    fs::path root;
    FakeAccess access;
    std::vector<std::string> events;
    std::vector<JobReport> records;
    std::vector<JobRequest> requests;
    std::vector<std::string> contents;
    Clock::time_point t0 = Clock::now();
};

TEST_F(HotFolderTest, AFileIsTakenOnlyWhenItHasStoppedChangingAndNobodyHoldsIt)
{
    HotFolder folder = makeFolder();
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    write(root / "a.ps", "part one");
    EXPECT_TRUE(folder.readyFiles(t0).empty());
    EXPECT_TRUE(folder.waiting());
    // It grows before the wait is over: the wait starts again.
    write(root / "a.ps", "part one, part two");
    EXPECT_TRUE(folder.readyFiles(t0 + milliseconds(900)).empty());
    EXPECT_TRUE(folder.readyFiles(t0 + milliseconds(1800)).empty());
    // Unchanged for the whole wait, but a writer still has it open.
    access.held.insert("a.ps");
    EXPECT_TRUE(folder.readyFiles(t0 + milliseconds(2000)).empty());
    access.held.clear();
    EXPECT_EQ(folder.readyFiles(t0 + milliseconds(2000)), std::vector<std::string>{"a.ps"});
    EXPECT_FALSE(folder.waiting());
}

TEST_F(HotFolderTest, TicketsAndFilesBeingCopiedAreNeverPrintFiles)
{
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    for (const char* name : {"_ticket.ovx", "b.xml", "~b.pdf", ".c.ps", "d.ps.part", "e.tmp"}) write(root / name, "x");
    write(root / "b.pdf", "x");
    EXPECT_EQ(folder.readyFiles(t0), std::vector<std::string>{"b.pdf"});
    // A ticket that is still changing keeps its file back.
    HotFolder slow = makeFolder(milliseconds(1000));
    slow.readyFiles(t0);
    write(root / "b.xml", "changed");
    EXPECT_TRUE(slow.readyFiles(t0 + milliseconds(1500)).empty());
    EXPECT_EQ(slow.readyFiles(t0 + milliseconds(2600)), std::vector<std::string>{"b.pdf"});
}

TEST_F(HotFolderTest, APrintedFileEndsInDoneWithItsLogAndTheFolderTicketStays)
{
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    write(root / "a.ps", "%!PS job a");
    for (const auto& name : folder.readyFiles(t0)) folder.serve(name, runner(0));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].ticket, root / "_ticket.xml");
    EXPECT_EQ(requests[0].printer, "Q1");
    EXPECT_EQ(contents[0], "%!PS job a");
    EXPECT_EQ(namesIn(root), std::set<std::string>{"_ticket.xml"});
    EXPECT_TRUE(namesIn(root / "Processing").empty());
    EXPECT_EQ(namesIn(root / "Done"), (std::set<std::string>{"a.ps", "a.ps.log"}));
    EXPECT_EQ(read(root / "Done" / "a.ps"), "%!PS job a");
    const std::string log = read(root / "Done" / "a.ps.log");
    EXPECT_NE(log.find("result: 0 success"), std::string::npos) << log;
    EXPECT_NE(log.find("moved to: Done/a.ps"), std::string::npos) << log;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outcome, "Done/a.ps");
}

TEST_F(HotFolderTest, OwnTicketWinsAndTravelsWithItsFileAndANameClashGetsASuffix)
{
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    write(root / "Done" / "a.ps", "an earlier job");
    write(root / "a.ps", "the new job");
    write(root / "a.xml", "<PRINTER_SETTINGS/>");
    for (const auto& name : folder.readyFiles(t0)) folder.serve(name, runner(0));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].ticket, root / "Processing" / "a.xml");
    EXPECT_EQ(read(root / "Done" / "a.ps"), "an earlier job");
    EXPECT_EQ(read(root / "Done" / "a (2).ps"), "the new job");
    EXPECT_EQ(namesIn(root / "Done"), (std::set<std::string>{"a.ps", "a (2).ps", "a (2).ps.log", "a (2).xml"}));
    EXPECT_EQ(namesIn(root), std::set<std::string>{"_ticket.xml"});
}

TEST_F(HotFolderTest, RefusedJobsMissingTicketsAndVanishedFilesEndInFailedWithALog)
{
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    write(root / "refused.tif", "II*");
    write(root / "refused.xml", "<PRINTER_SETTINGS/>");
    write(root / "orphan.ps", "no ticket anywhere");
    write(root / "gone.ps", "x");
    const auto ready = folder.readyFiles(t0);
    ASSERT_EQ(ready.size(), 3u);
    fs::remove(root / "gone.ps");
    for (const auto& name : ready) folder.serve(name, runner(34));
    ASSERT_EQ(requests.size(), 1u);  // only the file with a ticket reached the library
    EXPECT_EQ(namesIn(root / "Failed"), (std::set<std::string>{"refused.tif", "refused.tif.log", "refused.xml",
                                                               "orphan.ps", "orphan.ps.log", "gone.ps.log"}));
    EXPECT_NE(read(root / "Failed" / "refused.tif.log").find("result: 34 Only bilevel TIFF images are allowed"),
              std::string::npos);
    EXPECT_NE(read(root / "Failed" / "refused.tif.log").find("message: error (OK) -> OK: refused"),
              std::string::npos);
    EXPECT_NE(read(root / "Failed" / "orphan.ps.log").find("note: no ticket"), std::string::npos);
    EXPECT_NE(read(root / "Failed" / "gone.ps.log").find("vanished"), std::string::npos);
    EXPECT_EQ(read(root / "Failed" / "orphan.ps"), "no ticket anywhere");
    EXPECT_TRUE(namesIn(root).empty());
    EXPECT_EQ(records.size(), 3u);
}

TEST_F(HotFolderTest, AFileThatVanishesWhileItIsWatchedLeavesALogInFailed)
{
    HotFolder folder = makeFolder(milliseconds(1000));
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    write(root / "a.ps", "half");
    EXPECT_TRUE(folder.readyFiles(t0).empty());
    fs::remove(root / "a.ps");
    fs::remove(root / "_ticket.xml");  // a ticket going away is no job's failure
    EXPECT_TRUE(folder.readyFiles(t0 + milliseconds(500)).empty());
    EXPECT_EQ(namesIn(root / "Failed"), std::set<std::string>{"a.ps.log"});
    EXPECT_NE(read(root / "Failed" / "a.ps.log").find("result: 17 Cannot Open File."), std::string::npos);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].outcome, "Failed/a.ps.log (log only)");
    // Only once: the next look has nothing more to say.
    folder.readyFiles(t0 + milliseconds(600));
    EXPECT_EQ(records.size(), 1u);
}

TEST_F(HotFolderTest, WhenDoneCannotTakeTheLogThePrintedFileGoesToFailed)
{
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.ovx", "settings");
    write(root / "a.ps", "printed");
    access.fullFolder = "Done";
    for (const auto& name : folder.readyFiles(t0)) folder.serve(name, runner(0));
    EXPECT_TRUE(namesIn(root / "Done").empty());
    EXPECT_EQ(namesIn(root / "Failed"), (std::set<std::string>{"a.ps", "a.ps.log"}));
    const std::string log = read(root / "Failed" / "a.ps.log");
    EXPECT_NE(log.find("result: 0 success"), std::string::npos) << log;
    EXPECT_NE(log.find("could not be placed in Done"), std::string::npos) << log;
}

TEST_F(HotFolderTest, ARestartMovesWhatWasInProcessingToFailedWithoutPrintingIt)
{
    fs::create_directories(root / "Processing");
    write(root / "Processing" / "a.ps", "interrupted job");
    write(root / "Processing" / "a.xml", "<PRINTER_SETTINGS/>");
    write(root / "Processing" / "lone.ovx", "settings");
    fs::create_directories(root / "Failed");
    write(root / "Failed" / "a.ps", "an older failure");
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    for (const auto& name : folder.readyFiles(t0)) folder.serve(name, runner(0));
    EXPECT_TRUE(requests.empty());
    EXPECT_TRUE(namesIn(root / "Processing").empty());
    EXPECT_EQ(namesIn(root / "Failed"),
              (std::set<std::string>{"a.ps", "a (2).ps", "a (2).ps.log", "a (2).xml", "lone.ovx"}));
    EXPECT_EQ(read(root / "Failed" / "a (2).ps"), "interrupted job");
    EXPECT_NE(read(root / "Failed" / "a (2).ps.log").find("not printed again"), std::string::npos);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].result, 1);
}

TEST_F(HotFolderTest, AStopDuringAJobEndsTheWatcherAfterThatJob)
{
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    write(root / "a.ps", "a");
    write(root / "b.ps", "b");
    std::atomic<bool> stop{false};
    JobRunner inner = runner(0);
    Watcher watcher({&folder}, [&](const JobRequest& r) {
        stop = true;  // Ctrl+C arrives while the first job prints
        return inner(r);
    }, stop);
    watcher.poll(t0);
    EXPECT_EQ(namesIn(root / "Done"), (std::set<std::string>{"a.ps", "a.ps.log"}));
    EXPECT_EQ(namesIn(root), (std::set<std::string>{"_ticket.xml", "b.ps"}));
}

TEST_F(HotFolderTest, SeveralFoldersEachWithItsOwnPrinter)
{
    const fs::path second = root / "second";
    fs::create_directories(second);
    HotFolder first = makeFolder(milliseconds(0));
    HotFolder other(second, "Q2", milliseconds(0), access, {}, {});
    ASSERT_TRUE(first.prepare());
    ASSERT_TRUE(other.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    write(second / "_ticket.ovx", "settings");
    write(root / "a.ps", "a");
    write(second / "b.ps", "b");
    std::atomic<bool> stop{false};
    Watcher watcher({&first, &other}, runner(0), stop);
    EXPECT_TRUE(watcher.poll(t0));
    EXPECT_EQ(watcher.served(), 2);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].printer, "Q1");
    EXPECT_EQ(requests[1].printer, "Q2");
    EXPECT_EQ(requests[1].ticket, second / "_ticket.ovx");
    EXPECT_FALSE(watcher.poll(t0));
    EXPECT_EQ(watcher.served(), 0);
}

TEST_F(HotFolderTest, FilesWithTheFolderTicketShareARunAndTiffOrOwnTicketFilesRunAlone)
{
    HotFolder folder = makeFolder(milliseconds(0));
    folder.setBatchSize(3);
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    for (const char* name : {"a.pdf", "b.pdf", "c.TIF", "d.pdf", "e.pdf", "f.pdf", "g.pdf", "h.pdf", "i.pdf", "j.pdf"})
        write(root / name, name);
    write(root / "e.xml", "<PRINTER_SETTINGS/>");
    const auto ready = folder.readyFiles(t0);
    EXPECT_EQ(folder.serveAll(ready, runner(0)), 10);
    std::vector<std::vector<std::string>> runs;
    for (const JobRequest& request : requests) {
        runs.emplace_back();
        for (const auto& file : request.files) runs.back().push_back(file.filename().string());
    }
    EXPECT_EQ(runs, (std::vector<std::vector<std::string>>{
                        {"a.pdf", "b.pdf"}, {"c.TIF"}, {"d.pdf"}, {"e.pdf"}, {"f.pdf", "g.pdf", "h.pdf"}, {"i.pdf", "j.pdf"}}));
    EXPECT_EQ(requests[3].ticket.filename(), "e.xml");
    EXPECT_EQ(requests[4].ticket, root / "_ticket.xml");
    EXPECT_EQ(records.size(), 10u);
    EXPECT_EQ(namesIn(root / "Done").size(), 21u);  // ten files, their logs, and e.xml
    EXPECT_EQ(read(root / "Done" / "h.pdf"), "h.pdf");
}

// The run stops at b: a is printed, b fails, c and d are never begun.
JobRunner stopsAtSecond(JobRunner inner, int result)
{
    return [inner, result](const JobRequest& request) {
        std::vector<JobReport> reports = inner(request);
        if (reports.size() < 2) return reports;
        reports[1].result = result;
        for (std::size_t i = 2; i < reports.size(); ++i) {
            reports[i].reached = false;
            reports[i].note = "the print run stopped before this file's job began";
        }
        return reports;
    };
}

TEST_F(HotFolderTest, FilesARunStoppedBeforeGoIntoTheNextRunAtOnce)
{
    HotFolder folder = sharedRunFolder();
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf", "d.pdf"}) write(root / name, name);
    // Every run stops at its second file, as a question declined for each job would.
    EXPECT_EQ(folder.serveAll(folder.readyFiles(t0), stopsAtSecond(runner(0), 23)), 4);
    std::vector<std::size_t> runSizes;
    for (const JobRequest& request : requests) runSizes.push_back(request.files.size());
    EXPECT_EQ(runSizes, (std::vector<std::size_t>{4, 2}));
    EXPECT_EQ(namesIn(root / "Done"), (std::set<std::string>{"a.pdf", "a.pdf.log", "c.pdf", "c.pdf.log"}));
    EXPECT_EQ(namesIn(root / "Failed"), (std::set<std::string>{"b.pdf", "b.pdf.log", "d.pdf", "d.pdf.log"}));
    EXPECT_EQ(namesIn(root), (std::set<std::string>{"_ticket.xml"}));
    EXPECT_TRUE(namesIn(root / "Processing").empty());
    EXPECT_EQ(records.size(), 4u);
}

TEST_F(HotFolderTest, AfterAStopUnsentFilesGoBackIntoTheFolderUnlessTheirNameWasTaken)
{
    HotFolder folder = sharedRunFolder();
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf", "d.pdf"}) write(root / name, std::string("old ") + name);
    std::atomic<bool> stop{false};
    JobRunner inner = stopsAtSecond(runner(0), 23);
    JobRunner stopping = [&](const JobRequest& request) {
        stop = true;                               // Ctrl+C during the run
        write(root / "d.pdf", "new d.pdf");        // dropped while the run went on
        return inner(request);
    };
    EXPECT_EQ(folder.serveAll(folder.readyFiles(t0), stopping, &stop), 4);
    EXPECT_EQ(requests.size(), 1u);
    EXPECT_EQ(read(root / "c.pdf"), "old c.pdf");  // never begun: back for its first print
    EXPECT_EQ(read(root / "d.pdf"), "new d.pdf");
    EXPECT_EQ(read(root / "Failed" / "d.pdf"), "old d.pdf");
    EXPECT_NE(read(root / "Failed" / "d.pdf.log").find("drop it again"), std::string::npos);
    EXPECT_TRUE(namesIn(root / "Processing").empty());
    EXPECT_EQ(records.size(), 3u);  // a, b and d; c is not finished
}

TEST_F(HotFolderTest, FilesARunnerSaysNothingAboutEndInFailedAsPossiblyPrinted)
{
    HotFolder folder = sharedRunFolder();
    write(root / "a.pdf", "a");
    write(root / "b.pdf", "b");
    JobRunner short_ = [&](const JobRequest& request) {
        std::vector<JobReport> reports = runner(0)(request);
        reports.pop_back();
        return reports;
    };
    folder.serveAll(folder.readyFiles(t0), short_);
    EXPECT_EQ(namesIn(root / "Done"), (std::set<std::string>{"a.pdf", "a.pdf.log"}));
    EXPECT_NE(read(root / "Failed" / "b.pdf.log").find("may have been printed"), std::string::npos);
}

TEST_F(HotFolderTest, AStopDuringARunFinishesThatRunAndTakesNothingMore)
{
    HotFolder folder = makeFolder(milliseconds(0));
    folder.setBatchSize(2);
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    for (const char* name : {"a.ps", "b.ps", "c.ps"}) write(root / name, name);
    std::atomic<bool> stop{false};
    JobRunner inner = runner(0);
    Watcher watcher({&folder}, [&](const JobRequest& r) {
        stop = true;
        return inner(r);
    }, stop);
    watcher.poll(t0);
    EXPECT_EQ(watcher.served(), 2);
    EXPECT_EQ(namesIn(root / "Done"), (std::set<std::string>{"a.ps", "a.ps.log", "b.ps", "b.ps.log"}));
    EXPECT_EQ(namesIn(root), (std::set<std::string>{"_ticket.xml", "c.ps"}));
}

TEST_F(HotFolderTest, ARunKeepsAJournalOfItsFilesAndStatusTextsUntilEveryFileIsFiled)
{
    HotFolder folder = sharedRunFolder();
    write(root / "a.pdf", "a");
    write(root / "b.pdf", "b");
    const fs::path journal = root / "Processing" / ".orvox-run.journal";
    std::string seen;
    JobRunner withStatus = [&](const JobRequest& request) {
        EXPECT_TRUE(request.status);
        if (request.status) request.status("Printing \"a.pdf\" - sending\nto the printer");
        seen = read(journal);
        return runner(0)(request);
    };
    folder.serveAll(folder.readyFiles(t0), withStatus);
    const std::string processing = (root / "Processing").string();
    const std::string a = (root / "Processing" / "a.pdf").string(), b = (root / "Processing" / "b.pdf").string();
    EXPECT_EQ(seen, "taken " + a + "\ntaken " + b + "\nfile " + a + "\nfile " + b +
                        "\nstatus Printing \"a.pdf\" - sending to the printer\n");
    EXPECT_FALSE(fs::exists(journal));
    EXPECT_EQ(namesIn(root / "Done").size(), 4u);
}

// A kill in the middle of a run: the journal tells the restart which file was
// sent, which failed, which was going on, and which the run never began.
TEST_F(HotFolderTest, ARestartFilesWhatTheJournalShowsAndReturnsOnlyFilesNeverBegun)
{
    fs::create_directories(root / "Processing");
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf"}) write(root / "Processing" / name, name);
    const fs::path p = root / "Processing";
    write(p / ".orvox-run.journal",
          "file " + (p / "a.pdf").string() + "\nfile " + (p / "b.pdf").string() + "\nfile " + (p / "c.pdf").string() +
              "\nfile " + (p / "d.pdf").string() + "\nfile " + (p / "e.pdf").string() +
              "\nstatus Printing\nstatus Printing \"A.PDF\" - sending to the printer\nstatus Sent: " +
              (p / "A.PDF").string() + "\nstatus Printing \"b.pdf\" - sending to the printer\nstatus Not sent: b.pdf" +
              "\nstatus Printing \"c.pdf\" - sending to the printer\nstatus Sent: " + (p / "c.p").string());  // cut by the kill
    write(root / "e.pdf", "a new e");  // dropped while the watcher was down
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    EXPECT_EQ(namesIn(root / "Done"), (std::set<std::string>{"a.pdf", "a.pdf.log"}));
    EXPECT_NE(read(root / "Done" / "a.pdf.log").find("had said it was sent"), std::string::npos);
    EXPECT_EQ(namesIn(root / "Failed"),
              (std::set<std::string>{"b.pdf", "b.pdf.log", "c.pdf", "c.pdf.log", "e.pdf", "e.pdf.log"}));
    EXPECT_NE(read(root / "Failed" / "b.pdf.log").find("result: 31"), std::string::npos);
    EXPECT_NE(read(root / "Failed" / "c.pdf.log").find("may already have reached the printer"), std::string::npos);
    EXPECT_NE(read(root / "Failed" / "e.pdf.log").find("it was not printed"), std::string::npos);
    EXPECT_EQ(read(root / "Failed" / "e.pdf"), "e.pdf");
    EXPECT_EQ(read(root / "e.pdf"), "a new e");
    EXPECT_EQ(read(root / "d.pdf"), "d.pdf");  // never begun: back for its first print
    EXPECT_TRUE(namesIn(root / "Processing").empty());
    EXPECT_EQ(records.size(), 4u);
}

// Names are UTF-8 text here; "é" must name the same file when a name becomes a path again.
fs::path utf8(const std::string& name) { return fs::path(std::u8string(name.begin(), name.end())); }

TEST_F(HotFolderTest, NamesBeyondAsciiArePrintedFiledAndRecoveredLikeAnyOther)
{
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    write(root / utf8("café.ps"), "café");
    write(root / utf8("naïve résumé.ps"), "résumé");
    write(root / utf8("naïve résumé.xml"), "<PRINTER_SETTINGS/>");
    const auto ready = folder.readyFiles(t0);
    ASSERT_EQ(ready, (std::vector<std::string>{"café.ps", "naïve résumé.ps"}));
    EXPECT_EQ(folder.serveAll(ready, runner(0)), 2);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].ticket, root / "Processing" / utf8("naïve résumé.xml"));
    EXPECT_EQ(contents, (std::vector<std::string>{"café", "résumé"}));
    EXPECT_EQ(namesIn(root / "Done"), (std::set<std::string>{"café.ps", "café.ps.log", "naïve résumé.ps",
                                                             "naïve résumé.ps.log", "naïve résumé.xml"}));
    EXPECT_EQ(namesIn(root), std::set<std::string>{"_ticket.xml"});

    // A killed run's journal names its files the same way: what was sent goes
    // to Done, what was never begun goes back under its own name.
    const fs::path p = root / "Processing";
    write(p / utf8("élan.pdf"), "élan");
    write(p / utf8("über.pdf"), "über");
    write(p / ".orvox-run.journal", "file " + (p / utf8("élan.pdf")).string() + "\nfile " +
                                        (p / utf8("über.pdf")).string() +
                                        "\nstatus Printing \"élan.pdf\" - sending to the printer\nstatus Sent: " +
                                        (p / utf8("élan.pdf")).string() + "\n");
    HotFolder restarted = makeFolder(milliseconds(0));
    ASSERT_TRUE(restarted.prepare());
    EXPECT_EQ(read(root / "Done" / utf8("élan.pdf")), "élan");
    EXPECT_EQ(read(root / utf8("über.pdf")), "über");
    EXPECT_TRUE(namesIn(p).empty());
}

// The disk fills in the middle of a run: b's status texts never reach the
// journal, though the library goes on and prints b. A kill at that moment
// must not make the restart take b for a file never begun.
TEST_F(HotFolderTest, AJournalThatCannotBeWrittenToTheEndIsNotTrustedByARestart)
{
    HotFolder folder = sharedRunFolder();
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"}) write(root / name, name);
    const fs::path killed = root.string() + "-killed";
    fs::remove_all(killed);
    JobRunner fillsTheDisk = [&](const JobRequest& request) {
        access.appendsLeft = 2;  // the head and a's first text
        request.status("Printing \"a.pdf\" - sending to the printer");
        request.status("Sent: a.pdf");
        request.status("Printing \"b.pdf\" - sending to the printer");
        request.status("Sent: b.pdf");
        // The watcher is killed here: Processing as it is goes to a new start.
        fs::create_directories(killed);
        fs::copy(root / "Processing", killed / "Processing");
        access.appendsLeft = -1;
        return runner(0)(request);
    };
    folder.serveAll(folder.readyFiles(t0), fillsTheDisk);
    EXPECT_EQ(namesIn(root / "Done").size(), 6u);

    HotFolder restarted(killed, "Q1", milliseconds(0), access, {}, {});
    ASSERT_TRUE(restarted.prepare());
    EXPECT_TRUE(namesIn(killed).empty()) << "a file went back to be printed again";
    EXPECT_EQ(namesIn(killed / "Failed"),
              (std::set<std::string>{"a.pdf", "a.pdf.log", "b.pdf", "b.pdf.log", "c.pdf", "c.pdf.log"}));
    fs::remove_all(killed);
}

// Every path in a log goes through the access's text, whether the log is
// written after a run, for a file that vanished, or by a restart.
TEST_F(HotFolderTest, LogsAndRecordsWritePathsInTheAccessText)
{
    access.markText = true;
    fs::create_directories(root / "Processing");
    write(root / "Processing" / "left.pdf", "left");
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    write(root / "_ticket.xml", "<PRINTER_SETTINGS/>");
    write(root / "a.ps", "a");
    folder.serveAll(folder.readyFiles(t0), runner(0));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].files, std::vector<std::string>{"<" + (root / "Processing" / "left.pdf").string() + ">"});
    EXPECT_EQ(records[0].outcome, "Failed/<left.pdf>");
    for (const JobReport& record : records) EXPECT_EQ(record.folder, "<" + root.string() + ">");
    EXPECT_EQ(records[1].outcome, "Done/<a.ps>");
    EXPECT_NE(read(root / "Failed" / "left.pdf.log").find("folder: <" + root.string() + ">"), std::string::npos);
}

// A kill while files are being gathered for a run: they were never handed to
// the library, so they go back into the folder, not to Failed.
TEST_F(HotFolderTest, ARestartPutsBackFilesTakenForARunThatNeverStarted)
{
    const fs::path p = root / "Processing";
    fs::create_directories(p);
    for (const char* name : {"a.pdf", "b.pdf", "c.pdf"}) write(p / name, name);
    // c.pdf was moved, and the kill came before its line reached the journal.
    write(p / ".orvox-run.journal", "taken " + (p / "a.pdf").string() + "\ntaken " + (p / "b.pdf").string() + "\n");
    HotFolder folder = makeFolder(milliseconds(0));
    ASSERT_TRUE(folder.prepare());
    EXPECT_EQ(read(root / "a.pdf"), "a.pdf");
    EXPECT_EQ(read(root / "b.pdf"), "b.pdf");
    EXPECT_EQ(namesIn(root / "Failed"), (std::set<std::string>{"c.pdf", "c.pdf.log"}));
    EXPECT_TRUE(namesIn(root / "Done").empty());
    EXPECT_TRUE(namesIn(p).empty());
    EXPECT_EQ(records.size(), 1u);
}

} // namespace
} // namespace orvox::submit
