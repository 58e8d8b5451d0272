#pragma once
// Orvox.dll driven with nobody at the screen: the library's windows live in a
// hidden window of this program, every message box goes to the message hook,
// and each job is one start of the library, from Orvo_InitMain to Orvo_Exit, so
// that no job inherits another's files or settings.
#include <windows.h>

#include <string>

#include "orvox_binding.h"
#include "submit/portable/hot_folder.h"

namespace orvox::submit {

class LibraryHost {
public:
    LibraryHost(bool yesToQuestions, EventSink events);
    ~LibraryHost();

    // 0, 26 when Orvox.dll cannot be loaded, 27 when an export is missing.
    int load();
    JobReport run(const JobRequest& request);
    // The ticket (and printer) written as a settings file instead of printing.
    JobReport save(const JobRequest& request, const std::string& settingsFile);
    // Starts the library for the next job ahead of time: creating its windows
    // is the slow part of a job, and a watcher has the time while it waits.
    // The next run takes over this start and the messages it gave.
    void startAhead();
    // Handles what is waiting in this thread's message queue.
    static void pumpMessages();

    // Called by the library for every message box it would show.
    int answerMessage(const char* text, unsigned type);

private:
    JobReport start(const JobRequest& request);
    int runSteps(JobReport& report, const std::string& saveTo);
    // Orvo_InitMain and Orvo_CreateMain; 0 or the failing code, with a note.
    int startLibrary(std::string& note);

    test::OrvoxBinding orvox_;
    HWND window_ = nullptr;
    bool yes_;
    EventSink events_;
    JobReport* current_ = nullptr;
    bool started_ = false;                  // a start ahead waits for the next job
    ULONGLONG startedAt_ = 0;
    bool startFailed_ = false;
    std::vector<HostMessage> startMessages_;  // what the library said during that start
};

// True when nobody else has the file open (Windows sharing rules).
class Win32FolderAccess : public FolderAccess {
public:
    bool canOpenExclusively(const std::filesystem::path& file) override;
};

} // namespace orvox::submit
