#pragma once
// Orvox.dll driven with nobody at the screen: the library's windows live in a
// hidden window of this program, every message box goes to the message hook,
// and one start of the library serves job after job: each job begins with new
// settings and an empty list of files to print, so that no job inherits
// another's files or settings. When the library has to be started again is
// StartPolicy's.
#include <windows.h>

#include <atomic>
#include <string>

#include "orvox_binding.h"
#include "submit/portable/hot_folder.h"
#include "submit/portable/run_split.h"
#include "submit/portable/start_policy.h"

namespace orvox::submit {

// A path given in the ANSI code page (the command line, the library's texts).
std::filesystem::path pathOfAnsi(const std::string& ansi);

class LibraryHost {
public:
    LibraryHost(bool yesToQuestions, EventSink events);
    ~LibraryHost();

    // 0, 26 when Orvox.dll cannot be loaded, 27 when an export is missing.
    int load();
    // The request's files in one print run; one report for the run.
    JobReport run(const JobRequest& request);
    // The request's files in one print run, with a report for each file, read
    // from what the library's status line and message boxes said during the
    // run. Without a status line to read, each file gets a run of its own.
    std::vector<JobReport> runEach(const JobRequest& request);
    // The ticket (and printer) written as a settings file instead of printing.
    JobReport save(const JobRequest& request, const std::string& settingsFile);
    // Starts the library for the next job ahead of time, or replaces a start
    // that should serve no more jobs: creating its windows is the slow part of
    // a job, and a watcher has the time while it waits. The next run takes
    // over this start and the messages it gave.
    void startAhead();
    // Handles what is waiting in this thread's message queue.
    static void pumpMessages();

    // Called by the library for every message box it would show.
    int answerMessage(const char* text, unsigned type);
    // Called for every new text of the library's status line.
    void statusChanged(const char* text);
    // Once `stop` is set, a print run over several files ends before its
    // next file, as the operator's Escape ends it.
    void stopRunsOn(const std::atomic<bool>* stop) { stop_ = stop; }

private:
    JobReport start(const JobRequest& request);
    int runSteps(JobReport& report, const std::string& saveTo);
    // Orvo_InitMain and Orvo_CreateMain; 0 or the failing code, with a note.
    int startLibrary(std::string& note);
    void endLibrary();
    // New settings (unless `ticketResets`) and an empty list of files; false
    // when the library refused, and was ended.
    bool resetLibrary(bool ticketResets);
    // A start ready for the job: the running one, reset, or a new one.
    // `ticketResets`: the job's ticket is a settings file, which resets the
    // settings as it is opened.
    int prepareStart(JobReport& report, bool jobNamesPrinter, bool ticketResets);

    test::OrvoxBinding orvox_;
    HWND window_ = nullptr;
    bool yes_;
    EventSink events_;
    JobReport* current_ = nullptr;
    StartPolicy policy_;
    bool startFailed_ = false;
    std::vector<HostMessage> startMessages_;  // what the library said during that start
    bool readsStatus_ = false;               // the status line of this start is read
    std::vector<RunEvent>* events_run_ = nullptr;  // the run whose events are recorded
    const std::atomic<bool>* stop_ = nullptr;
    const std::function<void(const std::string&)>* statusSink_ = nullptr;  // the running request's
    bool escapeSent_ = false;                // the recorded run has been told to stop (said once)
};

// True when nobody else has the file open (Windows sharing rules).
class Win32FolderAccess : public FolderAccess {
public:
    bool canOpenExclusively(const std::filesystem::path& file) override;
    bool append(const std::filesystem::path& file, const std::string& text, bool durable) override;
    std::string text(const std::filesystem::path& path) override;
};

} // namespace orvox::submit
