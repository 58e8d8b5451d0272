#include "submit/portable/hot_folder.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>

#include "submit/portable/job_names.h"
#include "submit/portable/run_split.h"

namespace orvox::submit {

namespace fs = std::filesystem;

namespace {

// A job that was in Processing when the watcher stopped without finishing it.
constexpr int kInterruptedResult = 1;
// A file that is gone before it could be taken, or a job without a ticket.
constexpr int kCannotOpenResult = 17;

bool present(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

bool fileState(const fs::path& path, FileState& state)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    state.size = fs::file_size(path, ec);
    if (ec) return false;
    const auto written = fs::last_write_time(path, ec);
    if (ec) return false;
    state.written = static_cast<std::int64_t>(written.time_since_epoch().count());
    return true;
}

// Names are kept as UTF-8 text and made into paths again as UTF-8, so that a
// name such as "café.pdf" comes back as the same file on every system.
std::string nameOf(const fs::path& path)
{
    const std::u8string name = path.filename().u8string();
    return std::string(name.begin(), name.end());
}

fs::path named(const std::string& name) { return fs::path(std::u8string(name.begin(), name.end())); }

} // namespace

bool FolderAccess::writeText(const fs::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

bool FolderAccess::move(const fs::path& from, const fs::path& to)
{
    // Never over an existing name: the caller has chosen a free one, and a
    // name that appeared meanwhile is not ours to replace.
    if (present(to)) return false;
    std::error_code ec;
    fs::rename(from, to, ec);
    return !ec;
}

bool FolderAccess::append(const fs::path& file, const std::string& text, bool)
{
    // Standard C++ has no way to push a file to the disk; the system's own
    // access does (the Windows one does).
    std::ofstream out(file, std::ios::binary | std::ios::app);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return !out.fail();
}

HotFolder::HotFolder(fs::path root, std::string printer, std::chrono::milliseconds stableWait, FolderAccess& access,
                     EventSink events, RecordSink records)
    : root_(std::move(root)), printer_(std::move(printer)), access_(access), events_(std::move(events)),
      records_(std::move(records)), tracker_(stableWait)
{
    processing_ = root_ / std::string(kProcessingFolder);
    done_ = root_ / std::string(kDoneFolder);
    failed_ = root_ / std::string(kFailedFolder);
}

void HotFolder::event(const std::string& text) const
{
    if (events_) events_(root_.string() + ": " + text);
}

bool HotFolder::prepare()
{
    std::error_code ec;
    if (!fs::is_directory(root_, ec)) {
        event("not a folder");
        return false;
    }
    for (const fs::path& folder : {processing_, done_, failed_}) {
        fs::create_directories(folder, ec);
        if (!fs::is_directory(folder, ec)) {
            event("cannot make " + folder.string());
            return false;
        }
    }
    // Print files first, each with the ticket it brought; then any ticket left alone.
    std::vector<fs::path> prints, tickets;
    for (fs::directory_iterator it(processing_, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || nameOf(it->path()) == kRunJournal) continue;
        (isTicketName(nameOf(it->path())) ? tickets : prints).push_back(it->path());
    }
    std::sort(prints.begin(), prints.end());
    const std::vector<JobReport> journaled = readJournal();
    for (const fs::path& file : prints) {
        fs::path ownTicket;
        for (const std::string& name : ownTicketNames(nameOf(file))) {
            auto at = std::find_if(tickets.begin(), tickets.end(),
                                   [&](const fs::path& t) { return equalNoCase(nameOf(t), name); });
            if (at == tickets.end()) continue;
            ownTicket = *at;
            tickets.erase(at);
            break;
        }
        JobReport report;
        report.time = utcTimestamp(std::chrono::system_clock::now());
        report.folder = access_.text(root_);
        report.files = {access_.text(file)};
        report.ticket = ownTicket.empty() ? std::string() : access_.text(ownTicket);
        report.printer = printer_;
        report.result = kInterruptedResult;
        report.note = "the watcher stopped while this job was in Processing (crash, kill or power loss); "
                      "it was not printed again, because it may already have reached the printer: "
                      "drop it into the folder again to print it";
        event("found " + nameOf(file) + " in Processing after a restart");
        auto known = std::find_if(journaled.begin(), journaled.end(), [&](const JobReport& r) {
            return equalNoCase(shownName(r.files.at(0)), nameOf(file));
        });
        fs::path target = failed_;
        if (known != journaled.end()) {
            if (known->result == 0) {
                report.result = 0;
                report.note = "the watcher stopped before this job was filed; the library had said it was sent";
                target = done_;
            } else if (known->result == kSendFailedResult) {
                report.result = kSendFailedResult;
                report.note = "the watcher stopped before this job was filed; the library could not send it";
            } else if (!known->reached && ownTicket.empty()) {
                // Never begun: it goes back to be printed, for the first time.
                if (access_.move(file, root_ / named(nameOf(file)))) {
                    event(nameOf(file) + ": its print run had not begun it when the watcher stopped; "
                          "it goes back into the folder");
                    continue;
                }
                report.note = "the watcher stopped before its print run began this job: it was not printed; "
                              "it could not go back into the folder (a file of its name is there): drop it again";
            }
        }
        if (!placeIn(target, report, file, ownTicket) && !(target == done_ && placeIn(failed_, report, file, ownTicket))) {
            event("cannot move " + file.string() + " to " + nameOf(target) + "; it stays in Processing");
            continue;
        }
        event(nameOf(file) + " -> " + report.outcome + (report.result == 0 ? " (printed before the stop)" : " (not printed again)"));
        if (records_) records_(report);
    }
    std::error_code gone;
    fs::remove(journal(), gone);
    for (const fs::path& ticket : tickets) {
        const int n = freeSuffix(nameOf(ticket), {}, [&](const std::string& name) { return present(failed_ / named(name)); });
        if (n == 0 || !access_.move(ticket, failed_ / named(suffixedName(nameOf(ticket), n))))
            event("cannot move " + ticket.string() + " to Failed");
    }
    return true;
}

std::vector<std::string> HotFolder::readyFiles(Clock::time_point now)
{
    std::set<std::string> present;
    std::map<std::string, bool> stable;
    std::vector<std::string> prints;
    std::error_code ec;
    for (fs::directory_iterator it(root_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = nameOf(it->path());
        if (isTemporaryName(name)) continue;
        FileState state;
        if (!fileState(it->path(), state)) continue;
        present.insert(name);
        stable[name] = tracker_.observe(name, state, now);
        if (!isTicketName(name)) prints.push_back(name);
    }
    // A print file seen before and gone now was never taken: its log says so.
    for (const std::string& name : tracker_.keepOnly(present))
        if (!isTicketName(name)) failWithoutFile(name, "the file vanished before it was taken", kCannotOpenResult);

    // A ticket that is still being written keeps back the files it is for.
    auto ticketSettled = [&](const std::string& name) {
        auto at = std::find_if(stable.begin(), stable.end(),
                               [&](const auto& entry) { return equalNoCase(entry.first, name); });
        return at == stable.end() || at->second;
    };
    std::vector<std::string> ready;
    waiting_ = false;
    for (const std::string& name : prints) {
        bool complete = stable[name];
        for (const std::string& ticket : ownTicketNames(name)) complete = complete && ticketSettled(ticket);
        complete = complete && ticketSettled(std::string(kFolderTicketXml)) &&
                   ticketSettled(std::string(kFolderTicketSettings));
        complete = complete && access_.canOpenExclusively(root_ / named(name));
        if (complete) ready.push_back(name);
        else waiting_ = true;
    }
    std::sort(ready.begin(), ready.end());
    return ready;
}

fs::path HotFolder::ticketFor(const std::string& name, std::string& ownTicket) const
{
    ownTicket.clear();
    for (const std::string& ticket : ownTicketNames(name))
        if (!isFolderTicketName(ticket) && present(root_ / named(ticket))) {
            ownTicket = ticket;
            return root_ / named(ticket);
        }
    for (const std::string_view ticket : {kFolderTicketXml, kFolderTicketSettings})
        if (present(root_ / std::string(ticket))) return root_ / std::string(ticket);
    return {};
}

void HotFolder::failWithoutFile(const std::string& name, const std::string& note, int result)
{
    JobReport report;
    report.time = utcTimestamp(std::chrono::system_clock::now());
    report.folder = access_.text(root_);
    report.files = {access_.text(root_ / named(name))};
    report.printer = printer_;
    report.result = result;
    report.note = note;
    const int n = freeSuffix(name, {}, [&](const std::string& candidate) { return present(failed_ / named(candidate)); });
    if (n > 0) {
        report.outcome = std::string(kFailedFolder) + "/" + access_.text(named(logNameOf(suffixedName(name, n)))) + " (log only)";
        if (!access_.writeText(failed_ / named(logNameOf(suffixedName(name, n))), logText(report)))
            event("cannot write the log of " + name + " in Failed");
    }
    event(name + ": " + note);
    if (records_) records_(report);
}

bool HotFolder::take(const std::string& name, const fs::path& ticket, const std::string& ownTicketName, Taken& taken)
{
    const fs::path source = root_ / named(name);
    FileState state;
    if (!fileState(source, state)) {
        tracker_.forget(name);
        failWithoutFile(name, "the file vanished before it was taken", kCannotOpenResult);
        return false;
    }
    // The file may have changed since the poll that found it complete.
    if (!tracker_.observe(name, state, Clock::now()) || !access_.canOpenExclusively(source)) return false;

    const int n = freeSuffix(name, ownTicketName.empty() ? std::vector<std::string>{} : std::vector{ownTicketName},
                             [&](const std::string& candidate) { return present(processing_ / named(candidate)); });
    taken = Taken{name, processing_ / named(suffixedName(name, n)), ticket, {}, nameOf(ticket)};
    if (n == 0 || !access_.move(source, taken.file)) {
        tracker_.forget(name);
        if (!present(source)) failWithoutFile(name, "the file vanished before it was taken", kCannotOpenResult);
        else event("cannot move " + name + " to Processing; it is tried again later");
        return false;
    }
    tracker_.forget(name);
    if (!ownTicketName.empty()) {
        const fs::path movedTicket = processing_ / named(suffixedName(ownTicketName, n));
        if (access_.move(ticket, movedTicket)) taken.ticket = taken.ownTicket = movedTicket;
    }
    event("took " + name + (taken.ticket.empty() ? " (no ticket)" : " with ticket " + taken.ticketShown));
    return true;
}

int HotFolder::serveAll(const std::vector<std::string>& names, const JobRunner& run, const std::atomic<bool>* stop)
{
    int served = 0;
    std::vector<Taken> group;
    auto runGroup = [&] {
        std::vector<Taken> pending;
        pending.swap(group);
        // Each run files at least the file it stopped at, so this ends.
        while (!pending.empty()) {
            std::vector<Unsent> unsent = runTaken(pending, run);
            pending.clear();
            for (Unsent& file : unsent) {
                if (stop && *stop) {
                    putBack(file.taken, file.report);
                } else {
                    event(file.taken.name + ": not sent, " + file.report.note + "; it goes into the next print run");
                    pending.push_back(std::move(file.taken));
                }
            }
        }
    };
    auto runsAlone = [](const std::string& name, const fs::path& ticket, bool ownTicket) {
        return ownTicket || ticket.empty() || isTiffName(name);
    };
    for (const std::string& name : names) {
        if (stop && *stop) break;
        // Which run the file joins is known before it is taken, so that
        // Processing holds only the files of the run being gathered, each
        // named in the journal.
        std::string ownTicketName;
        const fs::path ticket = ticketFor(name, ownTicketName);
        const bool alone = runsAlone(name, ticket, !ownTicketName.empty());
        if (alone || (!group.empty() && group.front().ticket != ticket)) runGroup();
        Taken taken;
        if (!take(name, ticket, ownTicketName, taken)) continue;
        ++served;
        // Taken, not yet handed to the library: a restart after a kill puts it
        // back. The run's list, written through to the disk before the library
        // is called, takes these lines with it.
        access_.append(journal(), "taken " + taken.file.string() + "\n", false);
        group.push_back(std::move(taken));
        if (alone || group.size() >= batchSize_) runGroup();
    }
    runGroup();
    return served;
}

std::vector<HotFolder::Unsent> HotFolder::runTaken(const std::vector<Taken>& group, const JobRunner& run)
{
    std::vector<Unsent> unsent;
    const Taken& first = group.front();
    std::vector<JobReport> reports;
    if (first.ticket.empty()) {
        JobReport report;
        report.time = utcTimestamp(std::chrono::system_clock::now());
        report.files = {access_.text(first.file)};
        report.printer = printer_;
        report.result = kCannotOpenResult;
        report.note = "no ticket: neither " + ownTicketNames(first.name)[0] + " nor " + ownTicketNames(first.name)[1] +
                      " nor " + std::string(kFolderTicketXml) + " nor " + std::string(kFolderTicketSettings) +
                      " is in the folder";
        reports.push_back(std::move(report));
    } else {
        JobRequest request{first.ticket, {}, printer_, {}};
        std::string head;
        for (const Taken& taken : group) {
            request.files.push_back(taken.file);
            head += "file " + taken.file.string() + "\n";
        }
        // The journal: the files taken for the run, then the run's files,
        // then each status text, on the disk before the library goes on, so
        // a restart after a kill knows which files were sent and which were
        // never begun.
        const fs::path journalFile = journal();
        if (access_.append(journalFile, head, true)) {
            // A status text that did not reach the disk would make a restart
            // take a file the library went on to print for one never begun:
            // the journal goes, and with it the restart's trust in this run.
            auto broken = std::make_shared<bool>(false);
            request.status = [this, journalFile, broken](const std::string& text) {
                if (*broken) return;
                std::string line = text;
                for (char& c : line)
                    if (c == '\n' || c == '\r') c = ' ';
                // A job that begins must be on the disk before the library
                // sends it; an outcome that is lost only leaves its file to
                // the rule for a file in progress.
                if (access_.append(journalFile, "status " + line + "\n", !reportsOutcome(line))) return;
                *broken = true;
                std::error_code gone;
                fs::remove(journalFile, gone);
                event(gone ? "cannot write the run's journal, nor remove it: " + journalFile.string()
                           : "cannot write the run's journal any more; a restart after a kill would move this "
                             "run's files to Failed");
            };
        } else {
            // Its "taken" lines alone would tell a restart that the run never
            // began: the journal goes.
            std::error_code gone;
            fs::remove(journalFile, gone);
            event("cannot write the run's journal in Processing; a restart after a kill would move this run's "
                  "files to Failed");
        }
        reports = run(request);
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        // A runner that reports fewer files than it was given has not said
        // what became of the rest: they may have been printed.
        JobReport report;
        if (i < reports.size()) {
            report = std::move(reports[i]);
        } else {
            report.time = utcTimestamp(std::chrono::system_clock::now());
            report.files = {access_.text(group[i].file)};
            report.printer = printer_;
            report.result = kInterruptedResult;
            report.note = "no result was reported for this file; it may have been printed";
        }
        report.folder = access_.text(root_);
        if (!report.reached) unsent.push_back(Unsent{group[i], std::move(report)});
        else finish(report, group[i].file, group[i].ownTicket);
    }
    // Every file is filed, or stays in Processing, which the next start
    // handles by the rule without a journal, or is the caller's to run again.
    std::error_code ec;
    fs::remove(journal(), ec);
    return unsent;
}

fs::path HotFolder::journal() const { return processing_ / std::string(kRunJournal); }

std::vector<JobReport> HotFolder::readJournal() const
{
    std::ifstream in(journal(), std::ios::binary);
    if (!in) return {};
    JobReport run;
    run.result = kInterruptedResult;
    std::vector<std::string> taken;
    std::vector<RunEvent> events;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("taken ", 0) == 0 && run.files.empty()) taken.push_back(line.substr(6));
        else if (line.rfind("file ", 0) == 0 && events.empty()) run.files.push_back(line.substr(5));
        else if (line.rfind("status ", 0) == 0) events.push_back(RunEvent{RunEvent::Kind::Status, line.substr(7), {}});
    }
    // A last line cut off by the stop is read as it stands: a name cut short
    // matches no file, and a status cut short says nothing.
    std::vector<JobReport> reports = splitRun(run, events);
    // Taken, but the kill came before the run named them to the library.
    for (const std::string& file : taken) {
        if (std::find(run.files.begin(), run.files.end(), file) != run.files.end()) continue;
        JobReport never;
        never.files = {file};
        never.result = kInterruptedResult;
        never.reached = false;
        never.note = "it was taken, but the watcher stopped before handing it to the library";
        reports.push_back(std::move(never));
    }
    return reports;
}

void HotFolder::putBack(const Taken& taken, JobReport& report)
{
    // Never sent: back into the folder under its own name, to be taken again
    // once it is seen complete. A new file of that name meanwhile keeps it out.
    if (access_.move(taken.file, root_ / named(taken.name))) {
        event(taken.name + ": not sent, " + report.note + "; it goes back into the folder");
        return;
    }
    // It was not printed: it goes to Failed, whatever the run's result was.
    report.reached = true;
    if (report.result == 0) report.result = kInterruptedResult;
    report.note += "; it could not go back into the folder (a file of its name is there): drop it again";
    finish(report, taken.file, taken.ownTicket);
}

bool HotFolder::placeIn(const fs::path& folder, JobReport& report, const fs::path& file, const fs::path& ownTicket)
{
    const std::string fileName = nameOf(file);
    const std::string ticketName = ownTicket.empty() ? std::string() : nameOf(ownTicket);
    const int n = freeSuffix(fileName, ticketName.empty() ? std::vector<std::string>{} : std::vector{ticketName},
                             [&](const std::string& candidate) { return present(folder / named(candidate)); });
    if (n == 0) return false;
    const fs::path placed = folder / named(suffixedName(fileName, n));
    if (!access_.move(file, placed)) return false;
    fs::path placedTicket;
    if (!ticketName.empty()) {
        placedTicket = folder / named(suffixedName(ticketName, n));
        if (!access_.move(ownTicket, placedTicket)) placedTicket.clear();
    }
    const std::string before = report.outcome;
    report.outcome = nameOf(folder) + "/" + access_.text(placed.filename());
    if (access_.writeText(folder / named(logNameOf(nameOf(placed))), logText(report))) return true;

    // No log, no finished job: the file goes back where it was, so that the
    // caller can place it elsewhere (a full disk under Done).
    std::error_code ec;
    fs::remove(folder / named(logNameOf(nameOf(placed))), ec);
    report.outcome = before;
    access_.move(placed, file);
    if (!placedTicket.empty()) access_.move(placedTicket, ownTicket);
    return false;
}

void HotFolder::finish(JobReport& report, const fs::path& file, const fs::path& ownTicket)
{
    const bool printed = report.result == 0;
    bool placed = placeIn(printed ? done_ : failed_, report, file, ownTicket);
    if (!placed && printed) {
        const std::string why = "printed, but it could not be placed in Done with its log (disk full?)";
        report.note = report.note.empty() ? why : report.note + "; " + why;
        placed = placeIn(failed_, report, file, ownTicket);
    }
    if (placed) event(nameOf(file) + ": result " + std::to_string(report.result) + " " +
                      resultDescription(report.result, report.line) + " -> " + report.outcome);
    else event(nameOf(file) + ": result " + std::to_string(report.result) +
               "; neither Done nor Failed took it, it stays in Processing until the next start");
    if (records_) records_(report);
}

bool Watcher::poll(Clock::time_point now)
{
    bool busy = false;
    served_ = 0;
    for (HotFolder* folder : folders_) {
        if (stop_) break;
        const std::vector<std::string> ready = folder->readyFiles(now);
        if (ready.empty()) {
            busy = busy || folder->waiting();
            continue;
        }
        served_ += folder->serveAll(ready, run_, &stop_);
        busy = true;
    }
    return busy;
}

} // namespace orvox::submit
