#include "submit/portable/run_split.h"

#include <cctype>

namespace orvox::submit {

namespace {

enum class FileState { NotBegun, Begun, Sent, NotSent };

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The library shows names in its own case (upper case under some systems).
bool sameAt(const std::string& text, std::size_t at, const std::string& part)
{
    if (at > text.size() || text.size() - at < part.size()) return false;
    for (std::size_t i = 0; i < part.size(); ++i)
        if (lower(text[at + i]) != lower(part[i])) return false;
    return true;
}

bool startsWith(const std::string& text, const std::string& start) { return sameAt(text, 0, start); }

// "Sent: NAME", "Sent: C:\FOLDER\NAME" or "Sent: NAME (job 12 on P)": the
// name stands alone or ends a path, and ends the text or is followed by a
// blank, so "a.pdf" never matches the text of "xa.pdf" or "a.pdf.pdf".
bool namesFile(const std::string& text, const std::string& prefix, const std::string& name)
{
    if (!startsWith(text, prefix)) return false;
    for (std::size_t at = prefix.size(); at + name.size() <= text.size(); ++at) {
        if (at > prefix.size() && text[at - 1] != '\\' && text[at - 1] != '/') continue;
        const std::size_t end = at + name.size();
        if (sameAt(text, at, name) && (end == text.size() || text[end] == ' ')) return true;
    }
    return false;
}

} // namespace

bool reportsOutcome(const std::string& status)
{
    return startsWith(status, "Sent: ") || startsWith(status, "Not sent: ");
}

std::string shownName(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<JobReport> splitRun(const JobReport& run, const std::vector<RunEvent>& events)
{
    const std::size_t count = run.files.size();
    std::vector<std::string> names;
    for (const std::string& file : run.files) names.push_back(shownName(file));
    std::vector<FileState> state(count, FileState::NotBegun);
    std::vector<std::vector<HostMessage>> said(count);
    std::vector<HostMessage> beforeAnyJob;
    std::size_t current = count;  // none begun yet

    for (const RunEvent& event : events) {
        if (event.kind == RunEvent::Kind::Message) {
            (current == count ? beforeAnyJob : said[current]).push_back(event.message);
            continue;
        }
        // The jobs go in the order of the list: a new one is looked for after the current one.
        bool began = false;
        for (std::size_t i = current == count ? 0 : current + 1; i < count && !began; ++i)
            if (startsWith(event.status, "Printing \"" + names[i] + "\"")) {
                current = i;
                state[i] = FileState::Begun;
                began = true;
            }
        if (began || current == count || state[current] != FileState::Begun) continue;
        if (namesFile(event.status, "Sent: ", names[current])) state[current] = FileState::Sent;
        else if (namesFile(event.status, "Not sent: ", names[current])) state[current] = FileState::NotSent;
    }

    // What the library said before the run's events were heard (as it
    // started for this run) leads the run's messages: it concerns every file.
    std::size_t heard = 0;
    for (const RunEvent& event : events) heard += event.kind == RunEvent::Kind::Message ? 1 : 0;
    const std::size_t unheard = run.messages.size() > heard ? run.messages.size() - heard : 0;
    beforeAnyJob.insert(beforeAnyJob.begin(), run.messages.begin(),
                        run.messages.begin() + static_cast<std::ptrdiff_t>(unheard));

    std::vector<JobReport> reports;
    for (std::size_t i = 0; i < count; ++i) {
        JobReport report = run;
        report.files = {run.files[i]};
        report.messages = beforeAnyJob;
        report.messages.insert(report.messages.end(), said[i].begin(), said[i].end());
        if (run.result == 0) {
            // The run went through every file.
            report.note.clear();
        } else if (current == count) {
            // Refused before any job began: the checks concern what every file shares.
        } else if (state[i] == FileState::Sent) {
            report.result = 0;
            report.line = 0;
            report.note.clear();
        } else if (state[i] == FileState::NotSent) {
            report.result = kSendFailedResult;
            report.line = 0;
            report.note = "the library could not send this file";
        } else if (state[i] == FileState::NotBegun && i > current) {
            report.reached = false;
            report.note = "the print run stopped before this file's job began (" + names[current] + ")";
        } else if (i != current) {
            // Never expected: a job that began and was neither sent nor failed
            // while later ones went on. It may have reached the printer.
            report.note = "the library did not say whether this file was sent; it may have been printed";
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

} // namespace orvox::submit
