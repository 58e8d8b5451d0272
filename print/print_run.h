#pragma once
// The print run: checks that the current job can be printed, then sends every
// file of the Files page to the selected printer queue, each behind a job header
// of its own. Consecutive TIFF files are gathered into one PDF batch that goes
// out as one job. When the selected printer is an IPP printer of the
// configuration file, each job goes to it as one IPP job instead: no queue is
// opened, and the job's settings travel as job attributes.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/machine.h"
#include "platform/print_pages.h"
#include "platform/services.h"
#include "platform/spooler.h"
#include "platform/status.h"
#include "print/ipp_job_target.h"
#include "settings/branding.h"

namespace orvox {

class JobDocument;

// Result codes of a print request (the TIFF conversion adds its own).
enum PrintRunResult : int {
    kRunOk = 0,
    kRunNoPrinter = 19,
    kRunRefused = 20,
    kRunEditingSubstitutions = 21,
    kRunCancelled = 23,
    kRunNoFiles = 28,
    kRunPrinterNotOpened = 29,
    kRunJobFileFailed = 30,
    kRunSendFailed = 31,
};

// The profile section and key that keep the run's temporary files when 1.
inline constexpr const char* kDebugSection = "debug";
inline constexpr const char* kKeepTempFilesKey = "RemoveZJTFile";

struct PrintRunEnvironment {
    const platform::Services& services;
    platform::Spooler& spooler;
    platform::PrintPages& pages;
    platform::StatusDisplay& status;
    const Branding& branding;
    // Supplies the machine string of the job header; may be null.
    const platform::MachineInfo* machine = nullptr;
    // Set while the run sends; clearing it from outside (Escape) ends the run
    // before its next file.
    bool& printing;
    // The host program's executable base name: the prefix of job and batch files.
    std::string programName;
    // The host program's own profile, which can keep temporary files for inspection.
    std::string hostProfileFile;
    // The paper check over catalog and substitutions: true when it finds a
    // problem. None: the document's own check (too many papers for the printer).
    std::function<bool(const JobDocument&)> paperProblem;
    // The IPP printers of the configuration file, where the run finds the
    // printer of an IPP row of the Printers page by its name; may be null.
    const std::vector<IppPrinter>* ippPrinters = nullptr;
    // Makes the output to one IPP printer (the real one goes over the
    // network). Without it an IPP printer cannot be reached.
    std::function<std::unique_ptr<IppJobTarget>(const IppPrinter&)> ippTarget = nullptr;
};

class PrintRun {
public:
    PrintRun(JobDocument& doc, PrintRunEnvironment env) : doc_(doc), env_(std::move(env)) {}

    // The print request: the checks in their order, then the run. Returns a
    // PrintRunResult or a TIFF conversion code; a refusal leaves the document as it was.
    int request();

    // The run alone, after the checks.
    int runFiles();

private:
    class FileRun;
    int checkJob();
    int runOnIppPrinter(const std::string& name, std::vector<std::string> files);
    int refuse(unsigned messageId, unsigned type, int result);
    int ask(unsigned messageId, unsigned type);
    std::string text(unsigned id) const;
    bool keepTempFiles() const;
    bool isTiff(const std::string& path) const;

    JobDocument& doc_;
    PrintRunEnvironment env_;
};

// The checks of the pages before a job is sent (Job Setup pages, page range and
// proof set, substitution page lists, colours): 0, or 20 after the refusing
// check's message. Opening and saving settings under a new name run them too.
int checkPagesForPrinting(JobDocument& doc, const platform::Services& services, platform::PrintPages& pages);

// The file-name part of a path: after the last backslash or slash.
std::string fileNamePart(const std::string& path);

} // namespace orvox
