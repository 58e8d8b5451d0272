#pragma once
// Helpers shared by the end-to-end tests: the queue the run prints to and the
// capture folder in which the capture printer behind that queue stores every
// job it receives (tools/printer.sh, started by tools/e2e-env.sh).
//
// The capture printer writes each job under a hidden temporary name and
// renames it to job-NNNN.bin only when the spooler has closed the connection,
// so a job file that can be seen is complete.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace orvox::e2e {

inline std::string envOrEmpty(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The capture folder is named by a Linux path; Wine's Z: drive is the Linux root.
inline std::filesystem::path toWindowsPath(const std::string& path)
{
    if (path.empty() || path[0] != '/') return path;
    std::string dos = "Z:" + path;
    std::replace(dos.begin(), dos.end(), '/', '\\');
    return dos;
}

// Every printer name in the [devices] profile section. Wine fills that section
// from the CUPS queues when winspool is loaded into a process, so a queue made
// after the Wine prefix was created is listed too, as long as the test links
// winspool.
inline std::vector<std::string> deviceNames()
{
    std::vector<char> buffer(64 * 1024);
    DWORD length = GetProfileStringA("devices", nullptr, "", buffer.data(),
                                     static_cast<DWORD>(buffer.size()));
    std::vector<std::string> names;
    for (DWORD at = 0; at < length && buffer[at] != '\0';) {
        std::string name(&buffer[at]);
        at += static_cast<DWORD>(name.size()) + 1;
        names.push_back(name);
    }
    return names;
}

inline std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Offset of the first byte in which two jobs differ, or npos when they are equal;
// a byte-exact comparison of binary data reads better as "where" than as a dump.
inline size_t firstDifference(const std::string& a, const std::string& b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return i;
    return a.size() == b.size() ? std::string::npos : n;
}

// Runs a shell command line of the Linux side (Wine starts Unix programs with
// "start /unix") and returns what it wrote to its result file: Wine does not
// pass a Unix exit code back, so the command writes its own.
inline std::string runOnLinux(const std::string& command, const std::string& linuxResult, const std::string& dosResult)
{
    DeleteFileA(dosResult.c_str());
    std::string line = "start.exe /wait /unix /bin/sh -c \"" + command + "; echo $? >" + linuxResult + ".part; mv " +
                       linuxResult + ".part " + linuxResult + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return "";
    WaitForSingleObject(pi.hProcess, 120000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(dosResult) && std::chrono::steady_clock::now() < deadline)
        Sleep(50);  // poll interval; the deadline bounds the wait
    return readBytes(dosResult);
}

// Ghostscript renders two files of the Linux folder `linuxDir` at 36 dpi, each
// page to its own image: "0\n" when it ran the job whole (no error on its
// output) and both gave the same number of pages, at least one, with equal
// images page by page. Any other answer is the failing step's exit code.
inline std::string sameRendering(const std::string& linuxDir, const std::string& job, const std::string& alone)
{
    const std::string gs = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pnggray -r36 ";
    const std::string command =
        "cd " + linuxDir + " && rm -f job-*.png alone-*.png differs && " + gs + "-sOutputFile=job-%d.png " + job +
        " >job.log 2>&1 && " + gs + "-sOutputFile=alone-%d.png " + alone +
        " && ! grep -q Error job.log && test -e alone-1.png && "
        "test $(ls job-*.png | wc -l) -eq $(ls alone-*.png | wc -l) && "
        "for f in alone-*.png; do cmp -s $f job-${f#alone-} || echo $f >differs; done && test ! -e differs";
    return runOnLinux(command, linuxDir + "/result", toWindowsPath(linuxDir).string() + "\\result");
}

// The page of the tab control that has the control `controlId`.
// The host program's top-level window, of a class of its own that does nothing
// but the default handling.
inline HWND createHostWindow(const char* className)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowA(className, "host", WS_OVERLAPPEDWINDOW, 0, 0, 900, 700, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

inline HWND pageWith(HWND tabs, int controlId)
{
    for (HWND child = GetWindow(tabs, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, controlId)) return child;
    return nullptr;
}

// The branding switch that converts TIFF files (into a PDF batch, after a
// question for printer languages other than PostScript), set in a branding
// file beside the test program for one test and removed when this goes out of
// scope. A branding file that was there already is left alone.
class TiffConversionBranding {
public:
    TiffConversionBranding()
    {
        char exe[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, exe, MAX_PATH);
        path_ = std::filesystem::path(exe).parent_path() / "OrvoxBr.ini";
        existed_ = std::filesystem::exists(path_);
        if (!existed_) std::ofstream(path_) << "[BrandingStrings]\nTypeFilter=1\n";
    }
    ~TiffConversionBranding()
    {
        std::error_code ec;
        if (!existed_) std::filesystem::remove(path_, ec);
    }
    TiffConversionBranding(const TiffConversionBranding&) = delete;
    TiffConversionBranding& operator=(const TiffConversionBranding&) = delete;
    bool written() const { return !existed_; }

private:
    std::filesystem::path path_;
    bool existed_ = false;
};

// Selects, as an operator's click would, the tab whose page has the control
// `probeId`, and returns that page once it is the one shown (null if none is).
inline HWND showPageWith(HWND tabs, int probeId)
{
    const int tabCount = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < tabCount; ++i) {
        SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(i), 0);  // does not notify by itself
        NMHDR change{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(GetParent(tabs), WM_NOTIFY, change.idFrom, reinterpret_cast<LPARAM>(&change));
        HWND page = pageWith(tabs, probeId);
        // The host window is never shown: the page's own style says whether it is the current one.
        if (page && (GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE)) return page;
    }
    return nullptr;
}

// The capture folder as it was when the object was made: the jobs that arrive
// afterwards are this test's.
class CaptureFolder {
public:
    CaptureFolder() : dir_(toWindowsPath(envOrEmpty("ORVOX_CAPTURE_DIR"))) { seen_ = jobFiles(); }

    bool configured() const { return !dir_.empty() && std::filesystem::is_directory(dir_); }
    const std::filesystem::path& dir() const { return dir_; }

    // Waits until COUNT jobs not seen before have arrived, or TIMEOUT has passed;
    // returns the new jobs' bytes in arrival order (fewer than COUNT on timeout).
    // A job already returned is not returned again.
    std::vector<std::string> waitForNewJobs(size_t count,
                                            std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::vector<std::filesystem::path> fresh;
        for (;;) {
            fresh.clear();
            for (const auto& file : jobFiles())
                if (!seen_.count(file)) fresh.push_back(file);
            if (fresh.size() >= count || std::chrono::steady_clock::now() >= deadline) break;
            Sleep(50);  // poll interval; the deadline above bounds the wait
        }
        // job-NNNN.bin names sort in arrival order.
        std::sort(fresh.begin(), fresh.end());
        if (fresh.size() > count) fresh.resize(count);
        std::vector<std::string> jobs;
        for (const auto& file : fresh) {
            jobs.push_back(readBytes(file));
            seen_.insert(file);
        }
        return jobs;
    }

private:
    std::set<std::filesystem::path> jobFiles() const
    {
        std::set<std::filesystem::path> files;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(dir_, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.rfind("job-", 0) == 0 && name.size() > 8 && name.compare(name.size() - 4, 4, ".bin") == 0)
                files.insert(it->path());
        }
        return files;
    }

    std::filesystem::path dir_;
    std::set<std::filesystem::path> seen_;
};

}  // namespace orvox::e2e
