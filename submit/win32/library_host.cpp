#include "submit/win32/library_host.h"

#include <fstream>
#include <iterator>

namespace orvox::submit {
namespace {

constexpr const char* kHostVersion = "OrvoxSubmit.exe - 01_00_00";
constexpr const char* kWindowClass = "OrvoxSubmitHost";
// A bound on one round of message handling, so a flood of posted messages
// cannot hold the host.
constexpr int kMaxMessagesPerPump = 10000;
// How long one start of the library serves jobs: the printer list is read
// when the library starts, and a queue installed since is found by the next.
constexpr std::chrono::milliseconds kMaxStartAge{60000};
// Empties the list of files to print between two jobs on one start.
constexpr const char* kEmptyFileList =
    "<PRINTER_SETTINGS><FILES_TO_PRINT><REPLACE_FILES>ON</REPLACE_FILES></FILES_TO_PRINT></PRINTER_SETTINGS>";

LibraryHost* g_host = nullptr;

int ORVOX_CALL messageHook(const char* text, unsigned type, int* show)
{
    // Nobody is at the screen: no box is ever shown.
    *show = 0;
    return g_host ? g_host->answerMessage(text, type) : IDCANCEL;
}

void ORVOX_CALL titleHook(const char*, const char*, int) {}

// The status window's controls are subclassed to hear each new status text.
constexpr const char* kOriginalProc = "OrvoxSubmit.OriginalProc";

LRESULT CALLBACK statusControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto original = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kOriginalProc));
    if (message == WM_SETTEXT && lParam && g_host) g_host->statusChanged(reinterpret_cast<const char*>(lParam));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropA(hwnd, kOriginalProc);
    }
    return original ? CallWindowProcA(original, hwnd, message, wParam, lParam) : DefWindowProcA(hwnd, message, wParam, lParam);
}

BOOL CALLBACK subclassControl(HWND control, LPARAM count)
{
    const LONG_PTR original = GetWindowLongPtrA(control, GWLP_WNDPROC);
    if (!original || !SetPropA(control, kOriginalProc, reinterpret_cast<HANDLE>(original))) return TRUE;
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(statusControlProc));
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// The library takes and shows names in the ANSI code page, while a path's
// string() is UTF-8 here: a name such as "café.pdf" must reach the library,
// and every ...A call, as ANSI.
std::string ansiOf(const std::wstring& wide)
{
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), n, nullptr, nullptr);
    return ansi;
}

std::wstring wideOfAnsi(const std::string& ansi)
{
    if (ansi.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return wide;
}

std::string fullPath(const std::filesystem::path& path)
{
    wchar_t full[MAX_PATH * 4];
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    return ansiOf(n > 0 && n < MAX_PATH * 4 ? std::wstring(full, n) : path.wstring());
}

bool readWhole(const std::string& path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Held open for reading while the library prints: nobody can delete, move or
// change the file meanwhile. A print file gone missing during a run would make
// the library ask for it with a file dialog, which nobody here could answer.
class HeldFiles {
public:
    ~HeldFiles()
    {
        for (HANDLE file : files_) CloseHandle(file);
    }
    bool hold(const std::string& path)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        files_.push_back(file);
        return true;
    }

private:
    std::vector<HANDLE> files_;
};

bool canRead(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
           !(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

std::filesystem::path pathOfAnsi(const std::string& ansi) { return std::filesystem::path(wideOfAnsi(ansi)); }

bool Win32FolderAccess::append(const std::filesystem::path& file, const std::string& text, bool durable)
{
    HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size() && (!durable || FlushFileBuffers(handle));
    CloseHandle(handle);
    return ok;
}

std::string Win32FolderAccess::text(const std::filesystem::path& path) { return ansiOf(path.wstring()); }

bool Win32FolderAccess::canOpenExclusively(const std::filesystem::path& file)
{
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

LibraryHost::LibraryHost(bool yesToQuestions, EventSink events)
    : yes_(yesToQuestions), events_(std::move(events)), policy_(kMaxStartAge)
{
    g_host = this;
}

LibraryHost::~LibraryHost()
{
    if (policy_.running()) orvox_.Exit(1);
    if (window_) DestroyWindow(window_);
    g_host = nullptr;
}

int LibraryHost::load()
{
    const int loaded = orvox_.load("Orvox.dll");
    if (loaded != 0) return loaded;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    // Never shown: it only holds the library's job-setup window.
    window_ = CreateWindowA(kWindowClass, "OrvoxSubmit", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 900, 700,
                            nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return window_ ? 0 : 10;
}

void LibraryHost::pumpMessages()
{
    MSG msg;
    for (int i = 0; i < kMaxMessagesPerPump && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int LibraryHost::startLibrary(std::string& note)
{
    const ULONGLONG began = GetTickCount64();
    int rc = orvox_.InitMain(messageHook, titleHook);
    if (rc == 6) {
        // A previous job left the library started: end that first.
        orvox_.Exit(1);
        rc = orvox_.InitMain(messageHook, titleHook);
    }
    if (rc != 0) {
        note = "Orvo_InitMain failed";
        return rc;
    }
    // The status window, never shown, tells how each file of a run went.
    const bool statusMade = orvox_.InitStatus() == 0;
    rc = orvox_.CreateMain(window_, 0, kHostVersion);
    pumpMessages();
    if (rc != 0) {
        note = "Orvo_CreateMain failed";
        orvox_.Exit(1);
        return rc;
    }
    HWND status = nullptr;
    int subclassed = 0;
    if (statusMade && orvox_.CreateStatus(window_) == 0 && orvox_.GetWindowStatus(&status) == 0 && status)
        EnumChildWindows(status, subclassControl, reinterpret_cast<LPARAM>(&subclassed));
    readsStatus_ = subclassed > 0;
    if (!readsStatus_ && events_) events_("the library's status line cannot be read: every file gets a run of its own");
    policy_.started(Clock::now());
    if (events_) {
        const ULONGLONG ms = GetTickCount64() - began;
        events_("library started in " + std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s");
    }
    return 0;
}

void LibraryHost::endLibrary()
{
    const int ended = orvox_.Exit(1);
    pumpMessages();
    policy_.ended();
    startMessages_.clear();
    // A library that refuses to end is found by the next Orvo_InitMain (6), which ends it again.
    if (ended != 0 && events_) events_("Orvo_Exit returned " + std::to_string(ended));
}

void LibraryHost::startAhead()
{
    // A start that failed is not tried again before a job has been run, so a
    // broken installation does not fill standard error while the watcher waits.
    if (startFailed_) return;
    if (policy_.running() && policy_.needsRenewal(Clock::now())) endLibrary();
    if (policy_.running()) {
        // The last job's settings and files are cleared while nothing else is
        // to be done; what the library says meanwhile belongs to the next job.
        if (policy_.clean()) return;
        JobReport scratch;
        current_ = &scratch;
        resetLibrary(false);
        current_ = nullptr;
        startMessages_.insert(startMessages_.end(), scratch.messages.begin(), scratch.messages.end());
        if (policy_.running()) return;
    }
    JobReport scratch;
    current_ = &scratch;
    std::string note;
    const bool started = startLibrary(note) == 0;
    startFailed_ = !started;
    current_ = nullptr;
    // A start that failed is made again, and reported, by the job itself.
    if (started) startMessages_ = std::move(scratch.messages);
}

bool LibraryHost::resetLibrary(bool ticketResets)
{
    // The job before left its settings and files: new settings, then an empty
    // list (the new settings do not touch the files page). A settings file
    // resets the settings itself as it is opened, and new settings are the
    // slowest step of a job (every page is loaded again).
    int line = 0;
    int rc = 0;
    if (!ticketResets) {
        rc = orvox_.NewSettings();
        pumpMessages();
    }
    if (rc == 0) {
        rc = orvox_.OpenXMLSettings(kEmptyFileList, &line);
        pumpMessages();
        // A library that does not know how to empty the list gets a start for every job.
        if (rc != 0) policy_.reuseRefused();
    }
    if (rc != 0) {
        if (events_) events_("the library could not be reset for the next job (" + std::to_string(rc) +
                             "); it is started again");
        endLibrary();
        return false;
    }
    if (!ticketResets) policy_.cleaned();
    return true;
}

int LibraryHost::prepareStart(JobReport& report, bool jobNamesPrinter, bool ticketResets)
{
    if (policy_.running() && !policy_.canServe(jobNamesPrinter, Clock::now())) endLibrary();
    if (policy_.running() && !policy_.clean()) resetLibrary(ticketResets);
    if (policy_.running()) {
        // The start made while the watcher waited: its messages belong to this job.
        report.messages.insert(report.messages.begin(), startMessages_.begin(), startMessages_.end());
        startMessages_.clear();
        return 0;
    }
    return startLibrary(report.note);
}

int LibraryHost::answerMessage(const char* text, unsigned type)
{
    const int answer = answerFor(type, yes_);
    HostMessage message{describeBox(type), text ? text : "", describeAnswer(answer)};
    if (events_) events_("message " + message.kind + " -> " + message.answer + ": " + message.text);
    if (events_run_) events_run_->push_back(RunEvent{RunEvent::Kind::Message, {}, message});
    if (current_) current_->messages.push_back(std::move(message));
    return answer;
}

void LibraryHost::statusChanged(const char* text)
{
    // The sink (the run's journal) names files as the folder's paths do: in UTF-8.
    if (statusSink_ && *statusSink_) (*statusSink_)(std::filesystem::path(wideOfAnsi(text)).string());
    if (!events_run_) return;
    events_run_->push_back(RunEvent{RunEvent::Kind::Status, text, {}});
    if (!stop_ || !*stop_) return;
    // A stop was asked for while the run goes through its files: Escape, as
    // the operator would press it, ends the run before its next file. The
    // library hears keys through its message hook as they are taken from the
    // queue; only this one key message is taken, and none is dispatched. It
    // is pressed at every new status text, since the first texts come before
    // the run is under way and could not stop it yet.
    HWND main = nullptr;
    if (orvox_.GetWindowMain(&main) != 0 || !main) return;
    if (!PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 0)) return;
    MSG msg;
    PeekMessageA(&msg, main, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
    if (!escapeSent_ && events_) events_("stopping: the print run ends after the file in progress");
    escapeSent_ = true;
}

std::vector<JobReport> LibraryHost::runEach(const JobRequest& request)
{
    if (request.files.size() <= 1) return {run(request)};
    // Whether the status line can be read is known once the library has started.
    if (!policy_.running()) startAhead();
    std::vector<JobReport> reports(request.files.size());
    std::vector<std::size_t> together;
    for (std::size_t i = 0; i < request.files.size(); ++i) {
        // A file that cannot be read fails alone, before the run of the others.
        if (!canRead(fullPath(request.files[i]))) {
            JobRequest one = request;
            one.files = {request.files[i]};
            reports[i] = run(one);
        } else {
            together.push_back(i);
        }
    }
    if (together.empty()) return reports;
    JobRequest rest = request;
    rest.files.clear();
    for (std::size_t i : together) rest.files.push_back(request.files[i]);
    if (!readsStatus_) {
        for (std::size_t k = 0; k < together.size(); ++k) {
            JobRequest one = request;
            one.files = {rest.files[k]};
            reports[together[k]] = run(one);
        }
        return reports;
    }
    std::vector<RunEvent> events;
    events_run_ = &events;
    escapeSent_ = false;
    const JobReport whole = run(rest);
    events_run_ = nullptr;
    std::vector<JobReport> split = splitRun(whole, events);
    for (std::size_t k = 0; k < together.size(); ++k) reports[together[k]] = std::move(split[k]);
    return reports;
}

JobReport LibraryHost::run(const JobRequest& request)
{
    JobReport report = start(request);
    current_ = &report;
    statusSink_ = &request.status;
    report.result = runSteps(report, {});
    statusSink_ = nullptr;
    current_ = nullptr;
    return report;
}

JobReport LibraryHost::save(const JobRequest& request, const std::string& settingsFile)
{
    JobReport report = start(request);
    current_ = &report;
    report.result = runSteps(report, fullPath(pathOfAnsi(settingsFile)));
    current_ = nullptr;
    return report;
}

JobReport LibraryHost::start(const JobRequest& request)
{
    startFailed_ = false;
    JobReport report;
    report.time = utcTimestamp(std::chrono::system_clock::now());
    report.ticket = request.ticket.empty() ? std::string() : fullPath(request.ticket);
    report.printer = request.printer;
    for (const auto& file : request.files) report.files.push_back(fullPath(file));
    return report;
}

int LibraryHost::runSteps(JobReport& report, const std::string& saveTo)
{
    std::string ticketText;
    if (!readWhole(report.ticket, ticketText)) {
        report.note = "the ticket cannot be read: " + report.ticket;
        return 17;
    }
    const bool xmlTicket = ticketKindOf(ticketText) == TicketKind::Xml;
    // Only a printer asked for on the command line is selected again; the record names the ticket's.
    const std::string printerAskedFor = report.printer;
    if (report.printer.empty() && xmlTicket) report.printer = printerNamedIn(ticketText);
    HeldFiles held;
    for (const std::string& file : report.files)
        if (!canRead(file) || !held.hold(file)) {
            report.note = "the print file cannot be opened: " + file;
            return 17;
        }
    const std::string filesText = filesXml(report.files, printerAskedFor);
    if (filesText.empty()) {
        report.note = "a file or printer name holds '<' or '>', which job settings cannot carry";
        return 4;
    }

    // A job that names no printer takes the first queue of the list, which only
    // a start that no job has given a printer still shows.
    const bool namesPrinter = !report.printer.empty();
    const bool mayChoosePrinter = !printerAskedFor.empty() || xmlTicket;
    int rc = prepareStart(report, namesPrinter, !xmlTicket);
    if (rc != 0) return rc;
    {
        int line = 0;
        rc = xmlTicket ? orvox_.OpenXMLSettings(ticketText.c_str(), &line) : orvox_.OpenSettings(report.ticket.c_str());
        if (rc != 0) {
            report.line = xmlTicket ? line : 0;
            report.note = xmlTicket ? "the XML ticket was refused at line " + std::to_string(line)
                                    : "the settings file was refused";
        }
        pumpMessages();
    }
    if (rc == 0) {
        int line = 0;
        rc = orvox_.OpenXMLSettings(filesText.c_str(), &line);
        if (rc != 0) {
            report.line = line;
            report.note = "the files and printer were refused";
        }
        pumpMessages();
    }
    if (rc == 0) {
        rc = saveTo.empty() ? orvox_.Print() : orvox_.SaveSettings(saveTo.c_str());
        pumpMessages();
    }
    policy_.served(rc, mayChoosePrinter);
    return rc;
}

} // namespace orvox::submit
