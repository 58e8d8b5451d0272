#pragma once
// Helpers shared by the end-to-end tests: the queue the run prints to and the
// capture folder in which the capture printer behind that queue stores every
// job it receives (tools/printer.sh, started by tools/e2e-env.sh).
//
// The capture printer writes each job under a hidden temporary name and
// renames it to job-NNNN.bin only when the spooler has closed the connection,
// so a job file that can be seen is complete.
#include <windows.h>

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
