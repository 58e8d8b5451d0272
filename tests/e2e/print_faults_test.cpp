// Faults met during a print run, set up around the real library: the CUPS
// queue deleted while a long job is being spooled, a printer that breaks the
// connection in the middle of a job, a temporary folder that fills during a
// TIFF conversion, and hosts killed in the middle of a run. Each test judges
// the result code, what the host was told, what reached the printer, and the
// temporary folder afterwards.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "../win/dialog_watcher.h"
#include "e2e_support.h"
#include "fault_support.h"
#include "orvox_binding.h"

namespace orvox::e2e {
namespace {

// A folder of the test's own that is the process's temporary folder while
// the object lives (child processes started meanwhile inherit it).
class OwnTempFolder {
public:
    explicit OwnTempFolder(const std::string& name)
        : path_(fs::temp_directory_path() / (name + "-" + std::to_string(GetCurrentProcessId())))
    {
        fs::create_directories(path_);
        moved_.emplace(path_.string());
    }
    ~OwnTempFolder()
    {
        moved_.reset();
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    std::vector<std::string> names() const { return fileNamesIn(path_); }

private:
    fs::path path_;
    std::optional<TemporaryFolderAt> moved_;
};

// What `lpstat -v` says the queue's device is, e.g. "socket://127.0.0.1:4711".
std::string deviceOf(const std::string& queue)
{
    std::string said = onLinux("lpstat -v '" + queue + "' | sed -n 's/^.*: //p'");
    const auto end = said.find('\n');
    return end == std::string::npos ? std::string() : said.substr(0, end);
}

// Puts the queue back as tools/printer.sh makes it, with `device`.
std::string defineQueue(const std::string& queue, const std::string& device)
{
    return onLinux("lpadmin -p '" + queue + "' -E -v '" + device + "' -o printer-error-policy=abort-job && cupsenable '" +
                   queue + "' && cupsaccept '" + queue + "'");
}

// A PostScript file of about `megabytes` MB: comment lines around one page.
void writeLongPostScript(const fs::path& path, int megabytes)
{
    std::ofstream out(path, std::ios::binary);
    out << "%!PS-Adobe-3.0\n";
    const std::string line = "% " + std::string(1021, 'x') + "\n";
    for (int i = 0; i < megabytes * 1024; ++i) out << line;
    out << "72 720 moveto showpage\n%%EOF\n";
}

// The spooler's own folder under Wine: a document being spooled is a .SPL
// file there until the document ends.
fs::path spoolFolder()
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return fs::path(system) / "spool" / "printers";
}

std::vector<fs::path> spoolFiles()
{
    std::vector<fs::path> found;
    for (const std::string& name : fileNamesIn(spoolFolder()))
        if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".spl") == 0)
            found.push_back(spoolFolder() / name);
    return found;
}

std::string printJobXml(const std::string& queue, const std::vector<std::string>& files, const std::string& more = {})
{
    std::string xml = "<PRINTER_SETTINGS><PRINTER>" + queue + "</PRINTER>" + more + "<FILES_TO_PRINT>";
    for (const std::string& f : files) xml += "<FILE>" + f + "</FILE>";
    return xml + "</FILES_TO_PRINT></PRINTER_SETTINGS>";
}

// Wine's spooler writes a document into a file of its own and hands it to
// CUPS only when the document ends; a queue deleted meanwhile fails that end
// (EndDocPrinter), and the library reports the send as failed. The test
// deletes the queue while the spool file of a long job grows, lets the run
// meet a deleted print file (whose locate dialog it cancels, once the queue
// is back), and the last file prints.
TEST(PrintFaults, AQueueDeletedWhileAJobIsSpooledFailsThatSendAndTheRunGoesOn)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());
    const std::string device = deviceOf(queue);
    ASSERT_EQ(device.rfind("socket://", 0), 0u) << device;
    // However the test ends, the queue is there again for the tests after it.
    struct QueueBack {
        const std::string& queue;
        const std::string& device;
        ~QueueBack() { defineQueue(queue, device); }
    } queueBack{queue, device};
    const std::vector<fs::path> spoolBefore = spoolFiles();

    const fs::path files = fs::temp_directory_path() / ("orvox-fault-queue-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(files);
    OwnTempFolder temp("orvox-fault-queue-temp");
    const std::string longJob = (files / "long.ps").string();
    const std::string gone = (files / "gone.ps").string();
    const std::string next = (files / "next.ps").string();
    writeLongPostScript(longJob, 384);
    const std::string body = "%!PS-Adobe-3.0\n72 720 moveto (next) show showpage\n%%EOF\n";
    std::ofstream(gone, std::ios::binary) << body;
    std::ofstream(next, std::ios::binary) << body;

    FaultHost app("OrvoxPrintFaultHost1");
    ASSERT_TRUE(app.started);
    ASSERT_EQ(app.applyXml(printJobXml(queue, {longJob, gone, next})), 0);
    ASSERT_TRUE(DeleteFileA(gone.c_str()));

    // Deletes the queue once the long job's spool file has grown past 8 MB,
    // and notes whether it was still being spooled when the deletion was done.
    std::atomic<int> deletedWhileSpooling{-1};
    std::string deletion;
    std::thread deleter([&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (std::chrono::steady_clock::now() < deadline) {
            for (const fs::path& spl : spoolFiles()) {
                std::error_code ec;
                if (std::find(spoolBefore.begin(), spoolBefore.end(), spl) != spoolBefore.end()) continue;
                if (fs::file_size(spl, ec) < (8u << 20) || ec) continue;
                deletion = onLinux("lpadmin -x '" + queue + "'");
                // Wine removes the spool file when the document ends.
                deletedWhileSpooling = fs::exists(spl) ? 1 : 0;
                return;
            }
            Sleep(5);  // poll interval; the deadline bounds the wait
        }
    });
    std::string recreated;
    int printed = -1;
    {
        test::DialogWatcher dialogs;
        dialogs.beforeAnswering([&] {
            if (!deleter.joinable()) return;
            deleter.join();
            recreated = defineQueue(queue, device);
        });
        g_faultBoxes.clear();
        printed = app.orvox.Print();
        EXPECT_EQ(dialogs.fileDialogs(), 1);
    }
    if (deleter.joinable()) deleter.join();
    EXPECT_EQ(deletion, "exit 0\n");
    ASSERT_EQ(deletedWhileSpooling, 1) << "the queue was not deleted while the long job was being spooled";
    EXPECT_EQ(recreated, "exit 0\n");

    EXPECT_EQ(printed, 31) << faultBoxesSaid();
    // A failed send is told by the result and the status line, not by a box.
    EXPECT_TRUE(g_faultBoxes.empty()) << faultBoxesSaid();
    const auto jobs = capture.waitForNewJobs(2, std::chrono::seconds(15));
    ASSERT_EQ(jobs.size(), 1u) << "only the file after the failed one is printed";
    ASSERT_GE(jobs[0].size(), body.size());
    EXPECT_EQ(jobs[0].substr(jobs[0].size() - body.size()), body);

    // Nothing is left open or behind: the long file can be deleted at once,
    // no spool file and no temporary file remain.
    EXPECT_TRUE(DeleteFileA(longJob.c_str())) << "the print file is still open: " << GetLastError();
    EXPECT_EQ(spoolFiles(), spoolBefore);
    EXPECT_TRUE(temp.names().empty()) << temp.names().front();
    std::error_code ec;
    fs::remove_all(files, ec);
}

// A printer that closes the connection in the middle of a job: Wine's
// spooler has handed the whole job to CUPS when the document ends, so the
// library's send succeeds; CUPS's socket backend then fails to write, and
// the queue's error policy aborts the job. Nothing partial is taken for a
// job, and the queue prints the next job whole.
TEST(PrintFaults, APrinterThatDropsTheConnectionMidJobAbortsTheJobInCups)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    const std::string tools = envOrEmpty("ORVOX_TOOLS_DIR");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());
    if (tools.empty()) GTEST_SKIP() << "ORVOX_TOOLS_DIR is not set (run through tools/e2e-env.sh)";
    const std::string device = deviceOf(queue);
    ASSERT_EQ(device.rfind("socket://", 0), 0u) << device;

    // A second capture printer that drops every connection after 8192 bytes.
    const std::string dropDir = "/tmp/orvox-fault-drop-" + std::to_string(GetCurrentProcessId());
    const std::string started = onLinux(
        "rm -rf " + dropDir + " && mkdir -p " + dropDir + " && (setsid python3 '" + tools +
        "/capture-printer.py' --dir " + dropDir + " --port-file " + dropDir + "/port --drop-after 8192 </dev/null >" +
        dropDir + "/log 2>&1 & echo $! >" + dropDir + "/pid) && for i in $(seq 200); do test -s " + dropDir +
        "/port && break; sleep 0.05; done && lpadmin -p '" + queue + "' -v socket://127.0.0.1:$(cat " + dropDir +
        "/port)");
    struct Restore {
        const std::string& queue;
        const std::string& device;
        const std::string& dropDir;
        ~Restore()
        {
            defineQueue(queue, device);
            onLinux("kill $(cat " + dropDir + "/pid); rm -rf " + dropDir);
        }
    } restore{queue, device, dropDir};
    ASSERT_EQ(started, "exit 0\n");

    OwnTempFolder temp("orvox-fault-drop-temp");
    const fs::path file = temp.path().parent_path() / ("orvox-drop-" + std::to_string(GetCurrentProcessId()) + ".ps");
    // Far more than the network buffers hold, so the spooler's backend is
    // still writing when the printer breaks off.
    writeLongPostScript(file, 32);
    FaultHost app("OrvoxPrintFaultHost2");
    ASSERT_TRUE(app.started);
    ASSERT_EQ(app.applyXml(printJobXml(queue, {file.string()})), 0);
    // The queue's jobs so far: the job of this print is the first after them.
    const std::string ipp = "ipptool -c 'ipp://%2Frun%2Fcups%2Fcups.sock/printers/" + queue + "' " + dropDir +
                            "/jobs.test";
    {
        std::ofstream(toWindowsPath(dropDir + "/jobs.test"), std::ios::binary)
            << "{ OPERATION Get-Jobs\nGROUP operation-attributes-tag\n"
               "ATTR charset attributes-charset utf-8\nATTR language attributes-natural-language en\n"
               "ATTR uri printer-uri $uri\nATTR keyword which-jobs completed\n"
               "ATTR keyword requested-attributes job-id,job-state,job-printer-state-message\n"
               "STATUS successful-ok\nDISPLAY job-id\nDISPLAY job-state\nDISPLAY job-printer-state-message\n}\n";
    }
    ASSERT_EQ(onLinux("lpstat -W all -o '" + queue + "' | sed -n 's/^[^ ]*-\\([0-9]*\\) .*/\\1/p' | sort -n | tail -1 >" +
                      dropDir + "/before; echo $(( $(cat " + dropDir + "/before) + 0 )) >" + dropDir + "/before"),
              "exit 0\n");
    g_faultBoxes.clear();
    EXPECT_EQ(app.orvox.Print(), 0) << faultBoxesSaid();
    EXPECT_TRUE(g_faultBoxes.empty()) << faultBoxesSaid();
    EXPECT_TRUE(temp.names().empty());

    // CUPS ends the job as aborted, with the backend's reason; the printer
    // got 8192 bytes of it.
    const std::string state =
        onLinux("for i in $(seq 300); do s=$(" + ipp + " | awk -F, -v n=$(cat " + dropDir +
                "/before) '$1 + 0 > n { print $2 \":\" $3 }'); test -n \"$s\" && break; sleep 0.1; done; echo $s; wc -c <" +
                dropDir + "/dropped-0001.bin");
    EXPECT_EQ(state, "aborted:Unable to write print data: Broken pipe\n8192\nexit 0\n");
    EXPECT_TRUE(capture.waitForNewJobs(1, std::chrono::seconds(1)).empty()) << "a job reached the good printer";

    // Back on the good printer, the same print arrives whole and begins with
    // the bytes the broken one got.
    ASSERT_EQ(defineQueue(queue, device), "exit 0\n");
    EXPECT_EQ(app.orvox.Print(), 0) << faultBoxesSaid();
    const auto jobs = capture.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    const std::string dropped = readBytes(toWindowsPath(dropDir + "/dropped-0001.bin"));
    ASSERT_EQ(dropped.size(), 8192u);
    EXPECT_EQ(jobs[0].substr(0, dropped.size()), dropped);
    EXPECT_EQ(jobs[0].substr(jobs[0].size() - 30), readBytes(file).substr(readBytes(file).size() - 30));
    std::error_code ec;
    fs::remove(file, ec);
}

// The batch PDF of a TIFF conversion in a temporary folder that fills while
// it is written: the first page fits, the second does not; the conversion
// stops with its disk-full code and message, nothing reaches the printer, and
// no temporary file is left.
TEST(PrintFaults, ATemporaryFolderThatFillsDuringATiffConversionStopsTheRunCleanly)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());
    SmallDisk disk("24m");
    REQUIRE_SMALL_DISK(disk);
    const TiffConversionBranding branding;
    ASSERT_TRUE(branding.written()) << "a branding file of someone else's";

    // Three pages of noise at 200 dpi, each one Group 4 strip of about 980 KB.
    const std::string linuxDir = "/tmp/orvox-fault-tiff-" + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(onLinux("rm -rf " + linuxDir + " && mkdir -p " + linuxDir + " && cd " + linuxDir +
                      " && python3 -c 'import os, sys; sys.stdout.buffer.write(b\"P4 1700 2200\\n\" + "
                      "os.urandom(213 * 2200))' >noise.pbm && ppm2tiff -c g4 -r 2200 -R 200 noise.pbm page.tif && "
                      "tiffcp page.tif page.tif page.tif noise.tif"),
              "exit 0\n");
    const std::string tiff = toWindowsPath(linuxDir + "/noise.tif").string();

    FaultHost app("OrvoxPrintFaultHost3");
    ASSERT_TRUE(app.started);
    ASSERT_EQ(app.applyXml(printJobXml(queue, {tiff})), 0);
    // Room for the disk reserve of the conversion and one and a half pages.
    ASSERT_TRUE(disk.leave(20ull * 1024 * 1024 + 1500 * 1024));
    int printed = -1;
    {
        TemporaryFolderAt at(disk.folder());
        g_faultBoxes.clear();
        printed = app.orvox.Print();
    }
    EXPECT_EQ(printed, 37) << faultBoxesSaid();
    ASSERT_EQ(g_faultBoxes.size(), 1u) << faultBoxesSaid();
    EXPECT_NE(g_faultBoxes[0].find("disk"), std::string::npos) << g_faultBoxes[0];
    EXPECT_TRUE(disk.names().empty()) << disk.names().front();
    EXPECT_TRUE(capture.waitForNewJobs(1, std::chrono::seconds(3)).empty()) << "a job reached the printer";

    // With room, the same conversion prints all three pages as one job.
    disk.empty();
    {
        TemporaryFolderAt at(disk.folder());
        EXPECT_EQ(app.orvox.Print(), 0) << faultBoxesSaid();
    }
    const auto jobs = capture.waitForNewJobs(1);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_NE(jobs[0].find("/Count 3"), std::string::npos);
    EXPECT_TRUE(disk.names().empty());
    onLinux("rm -rf " + linuxDir);
}

// The host of the next test: prints two TIFF files in PCL, which asks before
// each of them; at the second question (the first file's batch is being
// kept) it says so and waits, until it is released or killed.
int answerAndWaitAtTheSecondTiff(const char*, unsigned type, int* show)
{
    *show = 0;
    static int questions = 0;
    if ((type & MB_TYPEMASK) != MB_YESNO) return IDOK;
    if (++questions < 2) return IDYES;
    HANDLE reached = OpenEventA(EVENT_MODIFY_STATE, FALSE, envOrEmpty("ORVOX_FAULT_RUN_REACHED").c_str());
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, envOrEmpty("ORVOX_FAULT_RUN_RELEASE").c_str());
    if (reached) SetEvent(reached);
    if (release) WaitForSingleObject(release, 300000);
    if (reached) CloseHandle(reached);
    if (release) CloseHandle(release);
    return IDNO;
}

TEST(FaultsChild, PrintsUntilReleasedOrKilled)
{
    const std::string files = envOrEmpty("ORVOX_FAULT_RUN_FILES");
    if (files.empty()) GTEST_SKIP() << "started by PrintFaults.RunFilesOfAKilledHostGoAtTheNextRunAndALiveRunKeepsItsOwn";
    test::OrvoxBinding orvox;
    ASSERT_EQ(orvox.load("Orvox.dll"), 0);
    HWND host = createHostWindow("OrvoxFaultRunChild");
    ASSERT_EQ(orvox.InitMain(answerAndWaitAtTheSecondTiff, nullptr), 0);
    ASSERT_EQ(orvox.CreateMain(host, 0, "faults"), 0);
    int line = -1;
    // Two TIFF files: the run that waits at its question. One file: a long
    // print that is killed while it is being sent.
    const auto bar = files.find('|');
    const std::string xml =
        bar == std::string::npos
            ? printJobXml(envOrEmpty("ORVOX_QUEUE"), {files})
            : printJobXml(envOrEmpty("ORVOX_QUEUE"), {files.substr(0, bar), files.substr(bar + 1)},
                          "<PRINTER_LANGUAGE>ID_FILE_TYPE_PCL</PRINTER_LANGUAGE>");
    ASSERT_EQ(orvox.OpenXMLSettings(xml.c_str(), &line), 0);
    EXPECT_EQ(orvox.Print(), bar == std::string::npos ? 0 : 23);
    orvox.Exit(1);
    DestroyWindow(host);
}

struct ChildRun {
    PROCESS_INFORMATION process{};
    HANDLE reached = nullptr;
    std::string hexId;  // the process id as run file names carry it
    ~ChildRun()
    {
        if (process.hProcess) {
            TerminateProcess(process.hProcess, 9);
            WaitForSingleObject(process.hProcess, 30000);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        if (reached) CloseHandle(reached);
    }
    std::vector<std::string> filesIn(const fs::path& folder) const
    {
        std::vector<std::string> own;
        for (const std::string& name : fileNamesIn(folder))
            if (name.find(".orvox-run-" + hexId + "-") != std::string::npos) own.push_back(name);
        return own;
    }
};

// Run files are held while their run lives and carry a mark of their own: the
// next run removes the files that killed hosts left (nobody holds them any
// more: one host killed while it waited on a question, one while a long file
// was being sent) and leaves those of a run still going in another host.
TEST(PrintFaults, RunFilesOfAKilledHostGoAtTheNextRunAndALiveRunKeepsItsOwn)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());
    const TiffConversionBranding branding;
    ASSERT_TRUE(branding.written()) << "a branding file of someone else's";
    const std::string linuxDir = "/tmp/orvox-fault-kill-run-" + std::to_string(GetCurrentProcessId());
    ASSERT_EQ(onLinux("rm -rf " + linuxDir + " && mkdir -p " + linuxDir + " && cd " + linuxDir +
                      " && gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=tiffg4 -r200 -o scan%d.tif -c '/Helvetica "
                      "findfont 40 scalefont setfont 1 1 2 { 72 600 moveto (Scan) show showpage } for'"),
              "exit 0\n");
    const std::string tiffs = toWindowsPath(linuxDir + "/scan1.tif").string() + "|" +
                              toWindowsPath(linuxDir + "/scan2.tif").string();

    OwnTempFolder temp("orvox-fault-run-temp");
    const std::string release = "OrvoxFaultRunRelease" + std::to_string(GetCurrentProcessId());
    HANDLE releaseEvent = CreateEventA(nullptr, TRUE, FALSE, release.c_str());
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const fs::path longJob = temp.path().parent_path() / ("orvox-fault-run-long-" + std::to_string(GetCurrentProcessId()) + ".ps");
    writeLongPostScript(longJob, 384);
    std::vector<fs::path> spoolBefore = spoolFiles();
    ChildRun killed, live, killedSending;
    const auto launch = [&](ChildRun& child, const std::string& files, const char* tag) {
        const std::string reached = "OrvoxFaultRunReached" + std::to_string(GetCurrentProcessId()) + tag;
        child.reached = CreateEventA(nullptr, TRUE, FALSE, reached.c_str());
        SetEnvironmentVariableA("ORVOX_FAULT_RUN_FILES", files.c_str());
        SetEnvironmentVariableA("ORVOX_FAULT_RUN_REACHED", reached.c_str());
        SetEnvironmentVariableA("ORVOX_FAULT_RUN_RELEASE", release.c_str());
        std::string line = std::string("\"") + self + "\" --gtest_filter=FaultsChild.PrintsUntilReleasedOrKilled";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        const bool started =
            CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &child.process);
        SetEnvironmentVariableA("ORVOX_FAULT_RUN_FILES", nullptr);
        char hex[16] = {};
        std::snprintf(hex, sizeof hex, "%lx", child.process.dwProcessId);
        child.hexId = hex;
        return started;
    };
    ASSERT_TRUE(launch(killed, tiffs, "k"));
    ASSERT_TRUE(launch(live, tiffs, "l"));
    for (ChildRun* child : {&killed, &live})
        ASSERT_EQ(WaitForSingleObject(child->reached, 120000), WAIT_OBJECT_0) << "a host did not reach its run";
    const auto killedFiles = killed.filesIn(temp.path());
    const auto liveFiles = live.filesIn(temp.path());
    ASSERT_FALSE(killedFiles.empty()) << "the run keeps no file while it asks";
    ASSERT_FALSE(liveFiles.empty());

    TerminateProcess(killed.process.hProcess, 9);
    ASSERT_EQ(WaitForSingleObject(killed.process.hProcess, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(killed.filesIn(temp.path()), killedFiles) << "the killed host's files are there until the next run";

    // The long print is killed while its data goes to the spooler: its job
    // file exists and the spooler's document has grown past 8 MB.
    ASSERT_TRUE(launch(killedSending, longJob.string(), "s"));
    bool sending = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!sending && std::chrono::steady_clock::now() < deadline &&
           WaitForSingleObject(killedSending.process.hProcess, 0) == WAIT_TIMEOUT) {
        for (const fs::path& spl : spoolFiles()) {
            std::error_code ec;
            if (std::find(spoolBefore.begin(), spoolBefore.end(), spl) == spoolBefore.end() &&
                fs::file_size(spl, ec) > (8u << 20) && !ec && !killedSending.filesIn(temp.path()).empty())
                sending = true;
        }
        if (!sending) Sleep(5);  // poll interval; the deadline bounds the wait
    }
    const auto sendingFiles = killedSending.filesIn(temp.path());
    TerminateProcess(killedSending.process.hProcess, 9);
    ASSERT_EQ(WaitForSingleObject(killedSending.process.hProcess, 30000), WAIT_OBJECT_0);
    ASSERT_TRUE(sending) << "the long print was not caught while it was being sent";
    ASSERT_FALSE(sendingFiles.empty());
    EXPECT_EQ(killedSending.filesIn(temp.path()), sendingFiles);
    // Wine's spooler leaves the document of a killed process in its own
    // folder; that is the spooler's, not the library's, and the test removes it.
    for (const fs::path& spl : spoolFiles())
        if (std::find(spoolBefore.begin(), spoolBefore.end(), spl) == spoolBefore.end()) DeleteFileA(spl.string().c_str());

    // The next run, in this process.
    const fs::path ps = temp.path().parent_path() / ("orvox-fault-run-" + std::to_string(GetCurrentProcessId()) + ".ps");
    { std::ofstream(ps, std::ios::binary) << "%!PS-Adobe-3.0\n72 720 moveto showpage\n%%EOF\n"; }
    {
        FaultHost app("OrvoxPrintFaultHost4");
        ASSERT_TRUE(app.started);
        ASSERT_EQ(app.applyXml(printJobXml(queue, {ps.string()})), 0);
        EXPECT_EQ(app.orvox.Print(), 0) << faultBoxesSaid();
    }
    EXPECT_EQ(capture.waitForNewJobs(1).size(), 1u);
    EXPECT_TRUE(killed.filesIn(temp.path()).empty()) << killed.filesIn(temp.path()).front();
    EXPECT_TRUE(killedSending.filesIn(temp.path()).empty()) << killedSending.filesIn(temp.path()).front();
    EXPECT_EQ(live.filesIn(temp.path()), liveFiles) << "a live run's files were touched";

    // Released, the live run answers No, stops with 23 and removes its own files.
    SetEvent(releaseEvent);
    EXPECT_EQ(WaitForSingleObject(live.process.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(live.process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the live host's own run failed";
    EXPECT_TRUE(temp.names().empty()) << temp.names().front();
    CloseHandle(releaseEvent);
    std::error_code ec;
    fs::remove(ps, ec);
    fs::remove(longJob, ec);
    onLinux("rm -rf " + linuxDir);
}

} // namespace
} // namespace orvox::e2e
