// OrvoxSubmit: a console host of Orvox.dll for work without an operator.
//   print: one job from the command line, exit status = the library's result code
//   watch: hot folders, one job per dropped file
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>

#include "submit/portable/options.h"
#include "submit/win32/library_host.h"

namespace orvox::submit {
namespace {

std::atomic<bool> g_stop{false};
HANDLE g_stopEvent = nullptr;
HANDLE g_finishedEvent = nullptr;
// Windows ends a process a few seconds after a console close; the job in
// progress gets what time there is.
constexpr DWORD kCloseGraceMs = 4500;

BOOL WINAPI onConsoleEvent(DWORD type)
{
    g_stop = true;
    if (g_stopEvent) SetEvent(g_stopEvent);
    if (type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT) {
        // Returning lets the system end the process at once: wait for the job instead.
        if (g_finishedEvent) WaitForSingleObject(g_finishedEvent, kCloseGraceMs);
    }
    return TRUE;
}

// One line per event: the library's texts may hold line breaks.
void event(const std::string& text)
{
    std::string line = text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    std::fprintf(stderr, "%s %s\n", utcTimestamp(std::chrono::system_clock::now()).c_str(), line.c_str());
    std::fflush(stderr);
}

// One JSON line per job, appended and closed at once, so a killed watcher
// leaves whole lines only.
RecordSink jsonRecords(const std::string& path)
{
    if (path.empty()) return {};
    return [path](const JobReport& report) {
        std::ofstream out(path, std::ios::binary | std::ios::app);
        out << jsonLine(report) << '\n';
        if (!out.flush()) event("cannot append to " + path);
    };
}

int runPrint(const Options& options)
{
    LibraryHost host(options.yes, event);
    const int loaded = host.load();
    if (loaded != 0) {
        event(loaded == 26 ? "Orvox.dll cannot be loaded" : "Orvox.dll lacks one of its exports");
        return loaded;
    }
    JobRequest request;
    request.ticket = pathOfAnsi(options.ticket);
    request.printer = options.printer;
    for (const std::string& file : options.files) request.files.push_back(pathOfAnsi(file));
    event(std::string(options.command == Options::Command::Save ? "save: " + options.files[0] + ", " : "job: " + std::to_string(request.files.size()) + " file(s), ") + "ticket " + options.ticket +
          (options.printer.empty() ? std::string() : ", printer " + options.printer));
    const bool save = options.command == Options::Command::Save;
    if (save) request.files.clear();
    const JobReport report = save ? host.save(request, options.files[0]) : host.run(request);
    event("result " + std::to_string(report.result) + " " + resultDescription(report.result, report.line) +
          (report.note.empty() ? std::string() : " (" + report.note + ")"));
    if (auto records = jsonRecords(options.json)) records(report);
    return report.result;
}

// Waits for the next poll while handling messages; ends early on a stop.
void waitPumping(std::chrono::milliseconds interval)
{
    const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(interval.count());
    for (ULONGLONG now = GetTickCount64(); now < until && !g_stop; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(1, &g_stopEvent, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
        LibraryHost::pumpMessages();
    }
}

int runWatch(const Options& options)
{
    LibraryHost host(options.yes, event);
    const int loaded = host.load();
    if (loaded != 0) {
        event(loaded == 26 ? "Orvox.dll cannot be loaded" : "Orvox.dll lacks one of its exports");
        return loaded;
    }
    Win32FolderAccess access;
    const RecordSink records = jsonRecords(options.json);
    std::vector<std::unique_ptr<HotFolder>> folders;
    std::vector<HotFolder*> served;
    for (const FolderOption& folder : options.folders) {
        std::error_code ec;
        const std::filesystem::path root = std::filesystem::absolute(pathOfAnsi(folder.path), ec).make_preferred();
        folders.push_back(std::make_unique<HotFolder>(ec ? pathOfAnsi(folder.path) : root, folder.printer,
                                                      options.stableWait, access, event, records));
        if (!folders.back()->prepare()) return kUsageError;
        folders.back()->setBatchSize(static_cast<std::size_t>(options.batch));
        served.push_back(folders.back().get());
        event("watching " + folders.back()->root().string() +
              (folder.printer.empty() ? std::string() : " for printer " + folder.printer));
    }
    host.stopRunsOn(&g_stop);
    Watcher watcher(served, [&host](const JobRequest& request) { return host.runEach(request); }, g_stop);
    ULONGLONG idleSince = GetTickCount64();
    while (!g_stop) {
        if (watcher.poll(Clock::now())) idleSince = GetTickCount64();
        else if (options.idleExit.count() >= 0 &&
                 GetTickCount64() - idleSince >= static_cast<ULONGLONG>(options.idleExit.count()))
            break;
        if (g_stop) break;
        // After a job the folders are looked at again at once: more may be ready.
        if (watcher.served() > 0) continue;
        host.startAhead();
        waitPumping(options.pollInterval);
    }
    event(g_stop ? "stopped" : "nothing left to do");
    return 0;
}

} // namespace
} // namespace orvox::submit

int main(int argc, char** argv)
{
    using namespace orvox::submit;
    std::vector<std::string> args(argv + 1, argv + argc);
    const Options options = parseOptions(args);
    if (options.command == Options::Command::Help && options.error.empty()) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "OrvoxSubmit: %s\n\n%s", options.error.c_str(), usageText().c_str());
        return kUsageError;
    }
    g_stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    g_finishedEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
    int status = kUsageError;
    try {
        status = options.command == Options::Command::Watch ? runWatch(options) : runPrint(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "OrvoxSubmit: %s\n", e.what());
        status = 2;
    } catch (...) {
        std::fprintf(stderr, "OrvoxSubmit: unexpected failure\n");
        status = 2;
    }
    SetEvent(g_finishedEvent);
    return status;
}
