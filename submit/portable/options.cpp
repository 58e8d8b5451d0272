#include "submit/portable/options.h"

#include <cmath>
#include <cstdlib>

namespace orvox::submit {
namespace {

// Seconds with an optional fraction ("0.5"), within a day.
bool parseSeconds(const std::string& text, std::chrono::milliseconds& out)
{
    if (text.empty()) return false;
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(seconds) || seconds < 0 || seconds > 86400) return false;
    out = std::chrono::milliseconds(static_cast<long long>(std::llround(seconds * 1000)));
    return true;
}

} // namespace

Options parseOptions(const std::vector<std::string>& args)
{
    Options o;
    if (args.empty()) {
        o.error = "no command";
        return o;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "/?" || command == "help") return o;
    if (command == "print") o.command = Options::Command::Print;
    else if (command == "watch") o.command = Options::Command::Watch;
    else if (command == "save") o.command = Options::Command::Save;
    else {
        o.error = "unknown command \"" + command + "\"";
        return o;
    }

    std::string folderPrinter;  // watch: --printer applies to the folders after it
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                o.error = arg + " needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        auto seconds = [&](std::chrono::milliseconds& into) {
            std::string text;
            if (!value(text)) return false;
            if (!parseSeconds(text, into)) {
                o.error = arg + " takes seconds (0 to 86400), not \"" + text + "\"";
                return false;
            }
            return true;
        };
        bool ok = true;
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (o.command == Options::Command::Watch) o.folders.push_back({arg, folderPrinter});
            else o.files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help") {
            o.command = Options::Command::Help;
            return o;
        } else if (arg == "--yes") {
            o.yes = true;
        } else if (arg == "--json") {
            ok = value(o.json);
        } else if (arg == "--printer") {
            ok = value(o.command == Options::Command::Watch ? folderPrinter : o.printer);
        } else if (arg == "--ticket" && o.command != Options::Command::Watch) {
            ok = value(o.ticket);
        } else if (arg == "--stable" && o.command == Options::Command::Watch) {
            ok = seconds(o.stableWait);
        } else if (arg == "--poll" && o.command == Options::Command::Watch) {
            ok = seconds(o.pollInterval);
            if (ok && o.pollInterval.count() < 10) o.pollInterval = std::chrono::milliseconds(10);
        } else if (arg == "--idle-exit" && o.command == Options::Command::Watch) {
            ok = seconds(o.idleExit);
        } else if (arg == "--batch" && o.command == Options::Command::Watch) {
            std::string text;
            ok = value(text);
            char* end = nullptr;
            const long files = ok ? std::strtol(text.c_str(), &end, 10) : 0;
            if (ok && (end == text.c_str() || *end != '\0' || files < 1 || files > kMaxBatch)) {
                o.error = "--batch takes a number of files (1 to " + std::to_string(kMaxBatch) + "), not \"" + text + "\"";
                ok = false;
            }
            if (ok) o.batch = static_cast<int>(files);
        } else if (arg == "--once" && o.command == Options::Command::Watch) {
            o.idleExit = std::chrono::milliseconds(0);
        } else {
            o.error = "unknown option " + arg + " for " + command;
            ok = false;
        }
        if (!ok) return o;
    }
    if (o.command == Options::Command::Print) {
        if (o.ticket.empty()) o.error = "print needs --ticket FILE";
        else if (o.files.empty()) o.error = "print needs at least one print file";
    } else if (o.command == Options::Command::Save) {
        if (o.ticket.empty()) o.error = "save needs --ticket FILE";
        else if (o.files.size() != 1) o.error = "save needs exactly one settings file to write";
    } else if (o.folders.empty()) {
        o.error = "watch needs at least one folder";
    }
    return o;
}

std::string usageText()
{
    return R"USAGE(OrvoxSubmit: prints through Orvox.dll with nobody at the screen.

OrvoxSubmit print --ticket TICKET [--printer NAME] [--json FILE] [--yes] FILE...
    Prints the files as one job with the settings of TICKET: a settings file
    (.ovx, as the job-setup window saves it) or XML settings (.xml). --printer
    selects that printer queue instead of the ticket's.
    Exit status: the library's result code, 0 when every file was printed:
      17 the ticket or a print file cannot be opened, 19 the printer is not
      there, 20 the settings were refused, 23 a question was answered No or
      Cancel, 24/25 not a settings file of this version, 28 no file to
      print, 29 the printer cannot be opened, 31 sending failed, 32 to 37 a
      TIFF file cannot be converted, 38 to 43 the XML ticket is wrong (the
      line is in the log); 26/27 Orvox.dll cannot be loaded; 64 the command
      line is wrong.

OrvoxSubmit watch [--printer NAME] FOLDER [[--printer NAME] FOLDER...]
                  [--stable SECONDS] [--poll SECONDS] [--idle-exit SECONDS]
                  [--batch FILES] [--once] [--json FILE] [--yes]
    Serves hot folders: every print file dropped into a folder is printed as
    its own job, with its own ticket (same base name, .xml or .ovx) or with
    the folder's ticket (_ticket.xml or _ticket.ovx). A file is taken once
    its size and time have not changed for --stable seconds (default 5) and
    nobody else has it open; it moves to Processing, then to Done or Failed
    with NAME.log beside it. Names already in Done or Failed get " (2)", " (3)"...
    A restart files what a killed run had sent in Done and puts back what it
    had not begun; the rest of Processing goes to Failed, never printed again.
    --printer applies to the folders after it. --poll: seconds between looks
    (default 1). --idle-exit: end after that long with nothing to do; --once:
    end as soon as nothing is left. Ctrl+C or closing the console ends the
    watcher after the job in progress. Exit status 0, or 26/27, 64.
    Files that print with the folder's ticket and are ready together go to
    the printer in one print run of the library, up to --batch files
    (default 100; 1: a run for every file); each is still a job of its own at
    the printer, with its own result and log. A file with its own ticket,
    and a TIFF file, always has a run of its own.

OrvoxSubmit save --ticket TICKET [--printer NAME] SETTINGS.ovx
    Writes the settings of TICKET (with the printer, when one is given) as a
    settings file, as the job-setup window would save them: a way to make
    .ovx tickets from XML ones. Exit status: the library's result code.

print and watch:
    --json FILE  appends one JSON line per job: time, files, ticket, printer,
                 result, resultText, the messages with the answers given.
    --yes        answers the library's questions with Yes (OK) instead of
                 No (Cancel); by default a question stops the job.
    Standard error gets one line per event: each message of the library with
    its kind and the answer given, and the result of each job.
)USAGE";
}

} // namespace orvox::submit
