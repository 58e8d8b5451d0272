#include "print/print_run.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

#include "print/ipp_printers.h"
#include "print/job_header_builder.h"
#include "print/pdf_batch.h"
#include "print/spooler_output.h"
#include "print/tiff_to_pdf.h"
#include "resource.h"
#include "settings/job_document.h"

namespace orvox {
namespace {

using platform::kIdCancel;
using platform::kIdYes;
using platform::kMbIconInformation;
using platform::kMbIconQuestion;
using platform::kMbIconStop;
using platform::kMbOk;
using platform::kMbOkCancel;
using platform::kMbYesNo;

// The longest title the file-open dialog is given.
constexpr std::size_t kLocateTitleMax = 259;
constexpr int kMaxColoursWithoutQuestion = 3;

// A temporary file of the run, held while the run uses it: removed when
// replaced and when the run ends, on every path, unless the host's profile
// keeps it for inspection.
class RunTempFile {
public:
    RunTempFile(platform::FileSystem& files, bool keep) : files_(files), keep_(keep) {}
    ~RunTempFile() { release(); }
    RunTempFile(const RunTempFile&) = delete;
    RunTempFile& operator=(const RunTempFile&) = delete;

    void reset(std::string path = {})
    {
        release();
        path_ = std::move(path);
    }
    const std::string& path() const { return path_; }

private:
    void release()
    {
        if (!path_.empty()) files_.releaseRunFile(path_, keep_);
        path_.clear();
    }
    platform::FileSystem& files_;
    bool keep_;
    std::string path_;
};

// The printing flag is set for exactly the time the printer is open.
class PrintingFlag {
public:
    explicit PrintingFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~PrintingFlag() { flag_ = false; }
    PrintingFlag(const PrintingFlag&) = delete;
    PrintingFlag& operator=(const PrintingFlag&) = delete;

private:
    bool& flag_;
};

// The wait cursor for the time of the run, also when it ends by an exception.
class WaitCursor {
public:
    explicit WaitCursor(platform::StatusDisplay& status) : status_(status) { status_.beginWait(); }
    ~WaitCursor() { status_.endWait(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    platform::StatusDisplay& status_;
};

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::string fileNamePart(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PrintRun::text(unsigned id) const { return env_.services.strings.load(id); }

int PrintRun::refuse(unsigned messageId, unsigned type, int result)
{
    env_.services.messages.show(text(messageId), type);
    return result;
}

int PrintRun::ask(unsigned messageId, unsigned type) { return env_.services.messages.show(text(messageId), type); }

bool PrintRun::keepTempFiles() const
{
    return env_.services.profile.getInt(env_.hostProfileFile, kDebugSection, kKeepTempFilesKey, 0) == 1;
}

bool PrintRun::isTiff(const std::string& path) const
{
    const std::string name = fileNamePart(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string extension = lowerCase(name.substr(dot));
    return extension == text(IDS_RUN_TIFF_EXTENSION) || extension == text(IDS_RUN_TIFF_EXTENSION_LONG);
}

int PrintRun::request()
{
    if (doc_.editingSubstitutions() || env_.pages.editingSubstitutions()) return kRunEditingSubstitutions;
    if (const auto rows = env_.pages.printerRowCount()) {
        if (*rows <= 0) return refuse(IDS_RUN_NO_PRINTERS, kMbIconStop, kRunNoPrinter);
        if (env_.pages.selectedPrinterDevice().empty()) {
            env_.services.messages.show(text(IDS_RUN_NO_PRINTER_SELECTED), kMbIconStop);
            env_.pages.showPrintersTab();
            return kRunNoPrinter;
        }
    }
    if (const int refused = checkJob()) {
        env_.pages.focusTabControl();
        return refused;
    }
    if (doc_.saveAsFile() == 1) {
        const auto files = env_.pages.filesToPrint();
        if (files && files->size() > 1) {
            env_.services.messages.show(text(IDS_RUN_ONE_FILE_ONLY) + env_.branding.get(Branding::kServerName) +
                                            text(IDS_RUN_ONE_FILE_ONLY_TAIL),
                                        kMbOk);
            return kRunRefused;
        }
    }
    if (doc_.validateFile() != 0 && ask(IDS_RUN_VALIDATE_FILE, kMbOkCancel | kMbIconInformation) == kIdCancel) {
        env_.status.setStatusText(text(IDS_RUN_VALIDATE_CANCELLED));
        return kRunCancelled;
    }
    int result = kRunOk;
    {
        WaitCursor wait(env_.status);
        env_.status.setStatusText(text(IDS_RUN_PRINTING));
        result = runFiles();
    }
    env_.pages.focusTabControl();
    return result;
}

int checkPagesForPrinting(JobDocument& doc, const platform::Services& services, platform::PrintPages& pages)
{
    auto refuse = [&](unsigned messageId, unsigned type) {
        services.messages.show(services.strings.load(messageId), type);
        return static_cast<int>(kRunRefused);
    };
    if (!pages.commitJobSetup2()) return kRunRefused;
    if (doc.printerModel() == 0) {
        const auto from = doc.pageRangeFrom();
        const auto to = doc.pageRangeTo();
        if (doc.printPageRange() == 1 && (to < from || from <= 0 || to <= 0))
            return refuse(IDS_RUN_BAD_PAGE_RANGE, kMbIconStop);
        const int wait = doc.proofWaitTime();
        if (doc.proofSet() != 0 && (wait < 1 || wait > 60)) return refuse(IDS_RUN_BAD_PROOF_WAIT, kMbIconStop);
    }
    if (!pages.commitAndValidateJobSetup()) return kRunRefused;

    for (int i = 0; i < doc.substitutionCount(); ++i) {
        const std::string asWritten = doc.substitution(i).pageList;
        // Checked where it is kept, so the list that reaches the header is the checked one.
        if (doc.validateSubstitutionPages(i) != 0) {
            services.messages.show(
                fillTemplate(services.strings.load(IDS_RUN_BAD_SUBSTITUTION), {std::to_string(i + 1), asWritten}),
                kMbIconStop);
            return kRunRefused;
        }
    }

    const platform::UiState* ui = doc.uiState();
    const bool colourTab = ui && ui->isTabAvailable(platform::kTabColourMapping);
    if (colourTab && doc.freeformColor() != 0 && pages.colourControlEnabled() && doc.modifyPrintFile() == 0) {
        const auto colours = pages.coloursInUse();
        if (!colours) return refuse(IDS_RUN_NO_COLOUR_PAGE, kMbOk);
        if (*colours > kMaxColoursWithoutQuestion &&
            services.messages.show(services.strings.load(IDS_RUN_TOO_MANY_COLOURS), kMbOkCancel) == kIdCancel)
            return kRunRefused;
    }
    return kRunOk;
}

// Steps that refuse with 20 and give the focus back to the tab control.
int PrintRun::checkJob()
{
    if (const int refused = checkPagesForPrinting(doc_, env_.services, env_.pages)) return refused;
    if (doc_.printerModel() != 0) {
        const bool problem = env_.paperProblem ? env_.paperProblem(doc_) : doc_.tooManyPapers();
        if (problem && ask(IDS_RUN_PAPER_PROBLEM, kMbOkCancel | kMbIconQuestion) == kIdCancel) return kRunRefused;
    }
    return kRunOk;
}

// The state of one run over the file list. Its jobs go to a Windows queue
// (`printer`) or to an IPP printer (`ipp`).
class PrintRun::FileRun {
public:
    FileRun(PrintRun& run, platform::Printer* printer, IppJobTarget* ipp = nullptr, std::string ippName = {})
        : run_(run), env_(run.env_), printer_(printer), ipp_(ipp), ippName_(std::move(ippName)),
          keep_(run.keepTempFiles()),
          jobFile_(env_.services.files, keep_), batchFile_(env_.services.files, keep_),
          output_(env_.services, env_.branding.get(Branding::kExtension))
    {
    }

    // Sends every entry; the run's result.
    int sendAll(std::vector<std::string> files)
    {
        for (std::string& path : files) {
            if (!env_.printing) return stop(kRunCancelled);
            if (!env_.services.files.fileExists(path)) {
                std::string title = fillTemplate(run_.text(IDS_RUN_LOCATE_FILE), {path});
                if (title.size() > kLocateTitleMax) title.resize(kLocateTitleMax);
                const std::string chosen = env_.pages.locateMissingFile(path, title);
                // Escape during the dialog ends the run.
                if (!env_.printing) return stop(kRunCancelled);
                if (chosen.empty()) continue;
                path = chosen;
            }
            env_.status.setStatusText(run_.text(IDS_RUN_PRINTING) + " \"" + fileNamePart(path) + "\" - " +
                                      run_.text(IDS_RUN_SENDING));
            const bool done = run_.env_.branding.typeFilterOn() && run_.isTiff(path) ? addTiff(path) : sendFile(path);
            if (!done) return result_;
        }
        if (batch_) sendBatch();
        return result_;
    }

private:
    int stop(int result)
    {
        result_ = result;
        return result_;
    }

    // False when the run stops.
    bool addTiff(const std::string& path)
    {
        const int language = run_.doc_.printerLanguage();
        if (language != 0 && language != 3 && run_.ask(IDS_RUN_TIFF_LANGUAGE, kMbYesNo) != kIdYes) {
            stop(kRunCancelled);
            return false;
        }
        if (!batch_) {
            // A batch needs a name of its own; no shared fallback name is ever used.
            std::string name = env_.services.files.newRunFile(env_.programName);
            batchFile_.reset(name);
            auto batch = std::make_unique<PdfBatch>(name);
            if (name.empty() || !batch->create()) return jobFileFailed();
            batch_ = std::move(batch);
            names_.clear();
        } else {
            names_ += ",";
        }
        names_ += fileNamePart(path);
        TiffToPdf conversion(env_.services, env_.programName, keep_);
        if (const int converted = conversion.append(*batch_, path)) {
            stop(converted);
            return false;
        }
        return true;
    }

    bool sendFile(const std::string& path)
    {
        if (batch_ && !sendBatch()) return false;
        if (!buildJobFile(path, false)) return jobFileFailed();
        return sendJob(path, path, fileNamePart(path));
    }

    // False when the batch's job file could not be made.
    bool sendBatch()
    {
        const int finished = batch_->finish(env_.services.strings);
        if (finished != kTiffOk) {
            env_.services.messages.show(
                run_.text(finished == kTiffDiskFull ? IDS_TIFF_DISK_FULL : IDS_JOB_FILE_FAILED), kMbIconStop);
            stop(finished);
            return false;
        }
        if (!buildJobFile(names_, true)) return jobFileFailed();
        if (!sendJob(batch_->path(), names_, names_)) return false;
        batch_.reset();
        batchFile_.reset();
        names_.clear();
        return true;
    }

    bool buildJobFile(const std::string& dataName, bool fromTiff)
    {
        env_.pages.commitCurrentPage();
        JobHeaderBuilder builder(env_.services.strings, env_.services.messages, env_.machine);
        std::string path;
        const auto newName = [this] { return env_.services.files.newRunFile(env_.programName); };
        if (!ipp_) {
            const bool built = builder.buildJobHeader(run_.doc_, dataName, path, fromTiff, newName);
            jobFile_.reset(path);
            return built;
        }
        // The IPP job's attributes are read from the full header, every
        // setting in it, whatever the modify-file choice says of the print
        // file itself; the header is never sent.
        JobDocument& doc = run_.doc_;
        if (doc.printerModel() != 0 && doc.printerLanguage() == stored(PrinterLanguage::PDF))
            doc.setPrinterLanguage(stored(PrinterLanguage::PostScript));
        path = newName();
        jobFile_.reset(path);
        if (path.empty()) return false;
        auto settings = std::make_unique<JobSettings>(doc.record());
        settings->modifyPrintFile = stored(ModifyPrintFile::Yes);
        const int kind = fromTiff ? static_cast<int>(kOutputPdfFromTiff) : doc.printerLanguage();
        return builder.writeJobHeader(dataName, path, {*settings, doc.catalog(), doc.substitutions(), doc.uiState()},
                                      kind) == kHeaderOk;
    }

    // A failed send does not stop the run; false when the operator stopped it.
    bool sendJob(const std::string& dataFile, const std::string& shownName, const std::string& jobName)
    {
        if (ipp_) return sendIppJob(dataFile, shownName, jobName);
        const bool sent = output_.send(jobFile_.path(), dataFile, *printer_, run_.doc_.modifyPrintFile());
        env_.status.setStatusText(fillTemplate(run_.text(sent ? IDS_RUN_SENT : IDS_RUN_NOT_SENT), {shownName}));
        jobFile_.reset();
        if (!sent) result_ = kRunSendFailed;
        return true;
    }

    bool sendIppJob(const std::string& dataFile, const std::string& shownName, const std::string& jobName)
    {
        const std::string& printerName = ippName_;
        // What the printer cannot do is said before anything of it is sent.
        // The operator's OK holds for the rest of the run; a later job that
        // would lose something not yet named is asked about again, so nothing
        // is ever left out unsaid.
        const std::vector<std::string> missing = ipp_->unsupportedSettings(jobFile_.path());
        const bool unasked = std::any_of(missing.begin(), missing.end(), [this](const std::string& setting) {
            return std::find(accepted_.begin(), accepted_.end(), setting) == accepted_.end();
        });
        if (unasked) {
            const int answer =
                env_.services.messages.show(unsupportedSettingsQuestion(env_.services.strings, printerName, missing),
                                            kMbOkCancel | kMbIconQuestion);
            if (answer != platform::kIdOk) {
                jobFile_.reset();
                stop(kRunCancelled);
                return false;
            }
            accepted_.insert(accepted_.end(), missing.begin(), missing.end());
        }
        const IppJobOutcome outcome =
            ipp_->send(jobFile_.path(), dataFile, jobName, run_.doc_.modifyPrintFile(), !missing.empty());
        jobFile_.reset();
        if (!outcome.sent) {
            env_.services.messages.show(
                fillTemplate(run_.text(IDS_IPP_SEND_FAILED), {shownName, printerName, outcome.error}), kMbIconStop);
            env_.status.setStatusText(fillTemplate(run_.text(IDS_RUN_NOT_SENT), {shownName}));
            result_ = kRunSendFailed;
            return true;
        }
        const std::string jobId = std::to_string(outcome.jobId);
        if (outcome.ignored.empty()) {
            env_.status.setStatusText(fillTemplate(run_.text(IDS_IPP_SENT), {shownName, jobId, printerName}));
        } else {
            std::string ignored;
            for (const std::string& name : outcome.ignored) ignored += (ignored.empty() ? "" : ", ") + name;
            env_.status.setStatusText(
                fillTemplate(run_.text(IDS_IPP_SENT_IGNORED), {shownName, jobId, printerName, ignored}));
        }
        return true;
    }

    bool jobFileFailed()
    {
        env_.services.messages.show(run_.text(IDS_JOB_FILE_FAILED), kMbIconStop);
        env_.pages.focusTabControl();
        stop(kRunJobFileFailed);
        return false;
    }

    PrintRun& run_;
    PrintRunEnvironment& env_;
    platform::Printer* printer_;
    IppJobTarget* ipp_;
    std::string ippName_;
    bool keep_;
    RunTempFile jobFile_;
    RunTempFile batchFile_;
    SpoolerOutput output_;
    std::unique_ptr<PdfBatch> batch_;
    std::string names_;
    std::vector<std::string> accepted_;  // settings the operator agreed to print without
    int result_ = kRunOk;
};

int PrintRun::runFiles()
{
    const auto files = env_.pages.filesToPrint();
    if (!files || files->empty()) return refuse(IDS_RUN_NO_FILES, kMbOk, kRunNoFiles);
    // Without a printer page there is no device name, and an empty name would
    // open the print server instead of a queue.
    const std::string device = env_.pages.selectedPrinterDevice();
    if (device.empty()) {
        env_.services.messages.show(text(IDS_RUN_NO_PRINTER_SELECTED), kMbIconStop);
        env_.pages.showPrintersTab();
        return kRunNoPrinter;
    }
    // Files that runs of killed hosts left behind go before this run makes
    // its own; those of runs still going are held and stay. Kept files are
    // left for whoever inspects them.
    if (!keepTempFiles()) env_.services.files.removeStaleRunFiles();
    if (env_.pages.selectedPrinterIsIpp()) return runOnIppPrinter(device, *files);
    std::string errorText;
    std::unique_ptr<platform::Printer> printer = env_.spooler.open(device, &errorText);
    if (!printer) {
        env_.services.messages.show(text(IDS_PRINT_START_FAILED) + "\n\n" + errorText, kMbIconStop);
        return kRunPrinterNotOpened;
    }
    // Destroyed in reverse: the temporary files go, the flag is cleared, then
    // the printer closes.
    PrintingFlag printing(env_.printing);
    FileRun run(*this, printer.get(), nullptr);
    return run.sendAll(*files);
}

int PrintRun::runOnIppPrinter(const std::string& name, std::vector<std::string> files)
{
    const IppPrinter* printer = env_.ippPrinters ? findIppPrinter(*env_.ippPrinters, name) : nullptr;
    std::unique_ptr<IppJobTarget> target = printer && env_.ippTarget ? env_.ippTarget(*printer) : nullptr;
    if (!target) {
        env_.services.messages.show(fillTemplate(text(IDS_IPP_UNKNOWN_PRINTER), {name}), kMbIconStop);
        env_.pages.showPrintersTab();
        return kRunPrinterNotOpened;
    }
    // One question to the printer per run: what it supports. A printer that
    // cannot be asked gets nothing.
    std::string error;
    if (!target->queryPrinter(&error)) {
        env_.services.messages.show(fillTemplate(text(IDS_IPP_QUERY_FAILED), {printer->name, error}), kMbIconStop);
        return kRunSendFailed;
    }
    PrintingFlag printing(env_.printing);
    FileRun run(*this, nullptr, target.get(), printer->name);
    return run.sendAll(std::move(files));
}

} // namespace orvox
