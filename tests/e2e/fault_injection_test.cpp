// Faults set up around the real library, as an operator's machine meets them:
// a settings file saved on a disk that is full, a host killed in the middle
// of saving, a temporary folder on a full disk during a print run, and print
// files that vanish or are locked after they were listed. Each test judges the
// result code, what the host was told, the files on disk and the temporary
// folder afterwards.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../win/dialog_watcher.h"
#include "e2e_support.h"
#include "fault_support.h"
#include "orvox_binding.h"

namespace orvox::e2e {
namespace {

namespace fs = std::filesystem;

const char* const kCollateOn = "<PRINTER_SETTINGS><COLLATE>ON</COLLATE></PRINTER_SETTINGS>";
const char* const kCollateOff = "<PRINTER_SETTINGS><COLLATE>OFF</COLLATE></PRINTER_SETTINGS>";

TEST(Faults, ASettingsSaveOnAFullDiskKeepsTheSavedFileAndSaysWhy)
{
    SmallDisk disk;
    REQUIRE_SMALL_DISK(disk);
    FaultHost app("OrvoxFaultHost1");
    ASSERT_TRUE(app.started);
    const std::string path = disk.file("job.ovx");
    ASSERT_EQ(app.orvox.SaveSettings(path.c_str()), 0);
    const std::string saved = readBytes(path);
    ASSERT_GT(saved.size(), 8000u);

    ASSERT_TRUE(disk.fill());
    ASSERT_EQ(app.applyXml(kCollateOff), 0);
    g_faultBoxes.clear();
    EXPECT_EQ(app.orvox.SaveSettings(path.c_str()), 16);
    EXPECT_TRUE(readBytes(path) == saved) << "the saved settings changed";
    EXPECT_EQ(disk.names(), std::vector<std::string>{"job.ovx"});
    ASSERT_EQ(g_faultBoxes.size(), 1u);
    EXPECT_NE(g_faultBoxes[0].find(path), std::string::npos) << g_faultBoxes[0];

    // A read-only file: its own message, and the file stays.
    disk.empty();
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    g_faultBoxes.clear();
    EXPECT_EQ(app.orvox.SaveSettings(path.c_str()), 16);
    ASSERT_EQ(g_faultBoxes.size(), 1u);
    EXPECT_NE(g_faultBoxes[0].find("read-only"), std::string::npos) << g_faultBoxes[0];
    EXPECT_TRUE(readBytes(path) == saved);
    EXPECT_EQ(disk.names(), std::vector<std::string>{"job.ovx"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    // With room again the change is saved.
    EXPECT_EQ(app.orvox.SaveSettings(path.c_str()), 0);
    EXPECT_FALSE(readBytes(path) == saved);
    EXPECT_EQ(disk.names(), std::vector<std::string>{"job.ovx"});
}

// The host process of the next test: saves two versions of the settings in
// turn until it is killed. It runs only when that test starts it.
TEST(FaultsChild, SavesUntilKilled)
{
    const std::string path = envOrEmpty("ORVOX_FAULT_SAVE_PATH");
    if (path.empty()) GTEST_SKIP() << "started by Faults.AHostKilledWhileSavingLeavesAWholeSettingsFile";
    FaultHost app("OrvoxFaultChild");
    ASSERT_TRUE(app.started);
    HANDLE saving = OpenEventA(EVENT_MODIFY_STATE, FALSE, envOrEmpty("ORVOX_FAULT_SAVE_EVENT").c_str());
    for (int i = 0;; ++i) {
        app.applyXml(i % 2 ? kCollateOn : kCollateOff);
        app.orvox.SaveSettings(path.c_str());
        if (i == 20 && saving) SetEvent(saving);
    }
}

TEST(Faults, AHostKilledWhileSavingLeavesAWholeSettingsFile)
{
    const fs::path folder = fs::temp_directory_path() / ("orvox-fault-kill-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    const std::string path = (folder / "job.ovx").string();
    std::string versions[2];
    {
        FaultHost app("OrvoxFaultHost2");
        ASSERT_TRUE(app.started);
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(app.applyXml(i % 2 ? kCollateOn : kCollateOff), 0);
            ASSERT_EQ(app.orvox.SaveSettings(path.c_str()), 0);
            versions[i] = readBytes(path);
        }
    }
    ASSERT_NE(versions[0], versions[1]);

    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (int round = 0; round < 4; ++round) {
        const std::string eventName = "OrvoxFaultSaving" + std::to_string(GetCurrentProcessId());
        HANDLE saving = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
        SetEnvironmentVariableA("ORVOX_FAULT_SAVE_PATH", path.c_str());
        SetEnvironmentVariableA("ORVOX_FAULT_SAVE_EVENT", eventName.c_str());
        std::string line = std::string("\"") + self + "\" --gtest_filter=FaultsChild.SavesUntilKilled";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        SetEnvironmentVariableA("ORVOX_FAULT_SAVE_PATH", nullptr);
        const DWORD waited = WaitForSingleObject(saving, 60000);
        // The child saves continuously: the kill lands at any point of a save.
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, 30000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        CloseHandle(saving);
        ASSERT_EQ(waited, WAIT_OBJECT_0) << "the saving host did not start";
        const std::string now = readBytes(path);
        EXPECT_TRUE(now == versions[0] || now == versions[1]) << "round " << round << ": " << now.size() << " bytes";
    }

    // A new version left beside the file by the kill is removed by the next save.
    {
        FaultHost app("OrvoxFaultHost3");
        ASSERT_TRUE(app.started);
        ASSERT_EQ(app.orvox.SaveSettings(path.c_str()), 0);
    }
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(folder)) left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"job.ovx"});
    std::error_code ec;
    fs::remove_all(folder, ec);
}

// A print run whose temporary folder is on a full disk: the job file cannot be
// written, the run stops with 30, nothing reaches the printer, and no
// temporary file is left.
TEST(Faults, AFullTemporaryFolderStopsTheRunWithNothingSentOrLeft)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());
    SmallDisk disk;
    REQUIRE_SMALL_DISK(disk);

    const fs::path file = fs::temp_directory_path() / ("orvox-fault-" + std::to_string(GetCurrentProcessId()) + ".ps");
    { std::ofstream(file, std::ios::binary) << "%!PS-Adobe-3.0\n72 720 moveto showpage\n%%EOF\n"; }
    FaultHost app("OrvoxFaultHost4");
    ASSERT_TRUE(app.started);
    ASSERT_EQ(app.applyXml("<PRINTER_SETTINGS><PRINTER>" + queue + "</PRINTER><FILES_TO_PRINT><FILE>" + file.string() +
                           "</FILE></FILES_TO_PRINT></PRINTER_SETTINGS>"),
              0);

    ASSERT_TRUE(disk.fill());
    int printed = -1;
    {
        TemporaryFolderAt temp(disk.folder());
        g_faultBoxes.clear();
        printed = app.orvox.Print();
    }
    EXPECT_EQ(printed, 30) << faultBoxesSaid();
    EXPECT_EQ(g_faultBoxes.size(), 1u) << faultBoxesSaid();
    EXPECT_TRUE(disk.names().empty()) << disk.names().front();
    EXPECT_TRUE(capture.waitForNewJobs(1, std::chrono::seconds(3)).empty()) << "a job reached the printer";

    // The same run with room in the temporary folder prints.
    disk.empty();
    {
        TemporaryFolderAt temp(disk.folder());
        EXPECT_EQ(app.orvox.Print(), 0) << faultBoxesSaid();
    }
    EXPECT_EQ(capture.waitForNewJobs(1).size(), 1u);
    EXPECT_TRUE(disk.names().empty());
    std::error_code ec;
    fs::remove(file, ec);
}

// A file deleted after it was listed is offered to be located (the operator
// cancels: it is skipped); one that another program holds locked fails its
// send with 31 and sends nothing; the file after it is still printed.
TEST(Faults, VanishedAndLockedPrintFilesDoNotStopTheRun)
{
    const std::string queue = envOrEmpty("ORVOX_QUEUE");
    CaptureFolder capture;
    ASSERT_FALSE(queue.empty());
    ASSERT_TRUE(capture.configured());
    const fs::path folder = fs::temp_directory_path() / ("orvox-fault-files-" + std::to_string(GetCurrentProcessId()));
    fs::create_directories(folder);
    const std::string gone = (folder / "gone.ps").string();
    const std::string locked = (folder / "locked.ps").string();
    const std::string good = (folder / "good.ps").string();
    const std::string body = "%!PS-Adobe-3.0\n72 720 moveto (good) show showpage\n%%EOF\n";
    for (const std::string& f : {gone, locked, good}) std::ofstream(f, std::ios::binary) << body;

    FaultHost app("OrvoxFaultHost5");
    ASSERT_TRUE(app.started);
    ASSERT_EQ(app.applyXml("<PRINTER_SETTINGS><PRINTER>" + queue + "</PRINTER><FILES_TO_PRINT><FILE>" + gone +
                           "</FILE><FILE>" + locked + "</FILE><FILE>" + good +
                           "</FILE></FILES_TO_PRINT></PRINTER_SETTINGS>"),
              0);
    ASSERT_TRUE(DeleteFileA(gone.c_str()));
    HANDLE lock = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    int printed = -1;
    {
        test::DialogWatcher watcher;  // cancels the dialog that asks where the deleted file went
        printed = app.orvox.Print();
        EXPECT_EQ(watcher.fileDialogs(), 1);
    }
    CloseHandle(lock);
    EXPECT_EQ(printed, 31) << faultBoxesSaid();
    const auto jobs = capture.waitForNewJobs(2, std::chrono::seconds(10));
    ASSERT_EQ(jobs.size(), 1u) << "only the good file is printed";
    ASSERT_GE(jobs[0].size(), body.size());
    EXPECT_EQ(jobs[0].substr(jobs[0].size() - body.size()), body);
    std::error_code ec;
    fs::remove_all(folder, ec);
}

} // namespace
} // namespace orvox::e2e
