#pragma once
// One hot folder: print files dropped into it are printed with the folder's
// ticket or their own, one job each. A file is taken only when it is complete
// (stable for the wait and open for nobody else), is moved to Processing while
// it prints, and ends in Done or Failed with a log of what happened. Nothing
// dropped into the folder is ever deleted or overwritten.
//
// After a crash or a kill, whatever is still in Processing is moved to Failed
// and never printed again: the job may already have reached the printer, and
// a second copy of a print run costs more than asking the operator to drop
// the file again. What the run's journal (its files, and each status text
// written to the disk before the library goes on) shows more precisely is
// used: a file the library said it had sent goes to Done, one whose send
// failed to Failed with 31, and one whose job a run had not yet begun while
// a later... earlier file's had goes back into the folder: it was never printed.
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "submit/portable/job_report.h"
#include "submit/portable/stability.h"

namespace orvox::submit {

// What the folder needs from the system beyond std::filesystem, so that tests
// can stand in for it.
class FolderAccess {
public:
    virtual ~FolderAccess() = default;
    // True when the file can be opened for reading with nobody else having it
    // open: a writer that still holds the file keeps it back.
    virtual bool canOpenExclusively(const std::filesystem::path& file) = 0;
    // Writes a whole text file; false when any part of it could not be written.
    virtual bool writeText(const std::filesystem::path& file, const std::string& text);
    virtual bool move(const std::filesystem::path& from, const std::filesystem::path& to);
    // Appends text to a file (made when missing); `durable`: returns once it,
    // and all appended before, is on the disk.
    virtual bool append(const std::filesystem::path& file, const std::string& text, bool durable);
    // A path as logs and records write it: in the text the library writes
    // names in, so that every line of a log names files alike.
    virtual std::string text(const std::filesystem::path& path) { return path.string(); }
};

struct JobRequest {
    std::filesystem::path ticket;  // empty: no ticket found
    std::vector<std::filesystem::path> files;
    std::string printer;           // empty: the ticket's own choice
    // Told every new text of the library's status line during the run, before
    // the library goes on; may be empty.
    std::function<void(const std::string&)> status;
};

// Prints the request's files in one print run of the library and reports what
// happened to each: one report per file, in the request's order.
using JobRunner = std::function<std::vector<JobReport>(const JobRequest&)>;
// One line for the operator (standard error); one record per finished job.
using EventSink = std::function<void(const std::string&)>;
using RecordSink = std::function<void(const JobReport&)>;

class HotFolder {
public:
    HotFolder(std::filesystem::path root, std::string printer, std::chrono::milliseconds stableWait,
              FolderAccess& access, EventSink events, RecordSink records);

    // Makes Processing, Done and Failed, and moves to Failed what an earlier
    // run left in Processing. False when the folder cannot be served.
    bool prepare();

    // One look at the folder: the print files that are complete, in name order.
    std::vector<std::string> readyFiles(Clock::time_point now);
    // A print file seen in the last look that was not yet complete.
    bool waiting() const { return waiting_; }

    // Takes files through Processing to Done or Failed, in the order given.
    // Files that print with the folder's ticket go through one print run
    // together, up to the batch size at a time; a file with its own ticket or
    // without any, and a TIFF file (the library gathers consecutive TIFF files
    // into one job), has a run of its own. The files a run stopped before
    // (it stopped at an earlier file) go into a new run at once; once `stop`
    // is set they go back into the folder instead, to be taken again, and no
    // further file is taken. Returns the number of files taken.
    int serveAll(const std::vector<std::string>& names, const JobRunner& run,
                 const std::atomic<bool>* stop = nullptr);
    void serve(const std::string& name, const JobRunner& run) { serveAll({name}, run); }
    // How many files one print run may take; 1 gives every file a run of its own.
    void setBatchSize(std::size_t files) { batchSize_ = files < 1 ? 1 : files; }

    const std::filesystem::path& root() const { return root_; }

private:
    struct Taken {
        std::string name;                  // as it was dropped
        std::filesystem::path file;        // in Processing
        std::filesystem::path ticket;      // the ticket in use; empty: none found
        std::filesystem::path ownTicket;   // in Processing with the file; empty for the folder's
        std::string ticketShown;           // the ticket's name as found
    };
    // Moves a complete file (and its own ticket, when it has one) to
    // Processing; false when it is not taken now (changed, held, vanished).
    bool take(const std::string& name, const std::filesystem::path& ticket, const std::string& ownTicketName,
              Taken& taken);
    struct Unsent {
        Taken taken;
        JobReport report;
    };
    // One print run over the group; returns the files it stopped before.
    std::vector<Unsent> runTaken(const std::vector<Taken>& group, const JobRunner& run);
    void putBack(const Taken& taken, JobReport& report);
    // The reports a run's journal gives its files, for a restart.
    std::vector<JobReport> readJournal() const;
    std::filesystem::path journal() const;
    std::filesystem::path ticketFor(const std::string& name, std::string& ownTicket) const;
    void finish(JobReport& report, const std::filesystem::path& file, const std::filesystem::path& ownTicket);
    bool placeIn(const std::filesystem::path& folder, JobReport& report, const std::filesystem::path& file,
                 const std::filesystem::path& ownTicket);
    void failWithoutFile(const std::string& name, const std::string& note, int result);
    void event(const std::string& text) const;

    std::filesystem::path root_;
    std::filesystem::path processing_, done_, failed_;
    std::string printer_;
    FolderAccess& access_;
    EventSink events_;
    RecordSink records_;
    StabilityTracker tracker_;
    bool waiting_ = false;
    std::size_t batchSize_ = 1;
};

// Serves several folders in turn until asked to stop. The job that is running
// when the stop comes is finished first.
class Watcher {
public:
    Watcher(std::vector<HotFolder*> folders, JobRunner run, const std::atomic<bool>& stop)
        : folders_(std::move(folders)), run_(std::move(run)), stop_(stop) {}

    // One poll of every folder, serving what is ready. True while anything is
    // going on: a job was served or a file is waiting to become complete.
    bool poll(Clock::time_point now);
    // Jobs served by the last poll.
    int served() const { return served_; }

private:
    std::vector<HotFolder*> folders_;
    JobRunner run_;
    const std::atomic<bool>& stop_;
    int served_ = 0;
};

} // namespace orvox::submit
