#pragma once
// When one start of the library (Orvo_InitMain and Orvo_CreateMain, the slow
// part of a job) may serve the next job, and when it must be ended and made
// again. Between jobs on one start the host resets the settings and empties
// the list of files to print; what that reset does not reach decides the rules:
//   - the printer page keeps the queue a job selected: a job that names no
//     printer of its own gets the first queue of the list only from a start
//     that no job has given a printer;
//   - the printer list is read when the library starts: a start is used for
//     a limited time, so that a queue installed since is found;
//   - a result that says the library itself is in trouble (an exception, the
//     printing flag still set, a document that could not be made) ends it;
//   - a library that cannot empty its list of files is started for every job.
#include <chrono>

#include "submit/portable/stability.h"

namespace orvox::submit {

// True when the library is known to be fit for another job after a job that
// ended with `result`: success, and the refusals of the job's own input or of
// the printer, which the library reports from a run that ended normally.
bool startSurvives(int result);

class StartPolicy {
public:
    explicit StartPolicy(std::chrono::milliseconds maxAge) : maxAge_(maxAge) {}

    // The library has been started, or ended.
    void started(Clock::time_point now);
    void ended();
    bool running() const { return running_; }
    // No job has left its settings and files in this start since it was
    // made or reset: the next job needs no reset.
    bool clean() const { return running_ && clean_; }
    // The settings and the list of files of the start have been reset.
    void cleaned() { clean_ = running_; }
    // The start is older than the time a start is used for.
    bool stale(Clock::time_point now) const;

    // A running start that no job should use (too old, in trouble, or the
    // library cannot be reset between jobs): a watcher that waits replaces it.
    bool needsRenewal(Clock::time_point now) const;
    // Whether the running start may serve a job that does (or does not) select
    // its printer by name.
    bool canServe(bool jobNamesPrinter, Clock::time_point now) const;
    // A job was served by this start. `mayHaveChosenPrinter`: its ticket or
    // command line could have selected a printer.
    void served(int result, bool mayHaveChosenPrinter);
    // The library refused to empty its list of files (an older library): from
    // now on every job gets a start of its own.
    void reuseRefused() { reuse_ = false; }
    bool reuses() const { return reuse_; }

private:
    std::chrono::milliseconds maxAge_;
    bool running_ = false;
    bool broken_ = false;
    bool printerChosen_ = false;
    bool reuse_ = true;
    bool clean_ = false;
    int jobs_ = 0;
    Clock::time_point startedAt_{};
};

} // namespace orvox::submit
