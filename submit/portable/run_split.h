#pragma once
// Several hot-folder files with the same ticket go through one print run of
// the library: a run over many files costs little more per file than a
// file's own job, while a job of its own pays for resetting and loading the
// settings every time. The library returns one result for the whole run; what
// became of each file is read from what it said meanwhile, in order:
//   - its status line: "Printing "NAME" - ..." when a file's job begins, then
//     "Sent: NAME" or "Not sent: NAME" when it has gone or failed;
//   - its message boxes, each of which belongs to the file whose job was
//     going on, or to every file when it came before the first job (the
//     run's checks, which concern the ticket all files share).
// Nothing is ever guessed in the direction of printing twice: a file is
// served again only when the status line shows the run stopped before its
// job began.
#include <string>
#include <vector>

#include "submit/portable/job_report.h"

namespace orvox::submit {

struct RunEvent {
    enum class Kind { Status, Message };
    Kind kind = Kind::Status;
    std::string status;   // Kind::Status: the status line's new text
    HostMessage message;  // Kind::Message
};

// The host's code of a send that failed, as the library gives it for the run.
inline constexpr int kSendFailedResult = 31;

// One report per file of `run` (whose result is the library's for the whole
// run, and whose messages are every message of the run, those of `events`
// last), in the order of run.files. A file whose job the run never began has
// `reached` false: it was not sent and may be served again.
std::vector<JobReport> splitRun(const JobReport& run, const std::vector<RunEvent>& events);

// True for a status text that tells how a file's job went ("Sent: ...",
// "Not sent: ..."), as opposed to one that may begin a job.
bool reportsOutcome(const std::string& status);

// The file-name part of a path as the library shows it (after the last
// backslash or slash).
std::string shownName(const std::string& path);

} // namespace orvox::submit
