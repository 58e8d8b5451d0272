#pragma once
// What the fault tests share: a small filesystem of their own, the library
// started inside a host window, and a temporary folder moved for a while.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "orvox_binding.h"

namespace orvox::e2e {

namespace fs = std::filesystem;

inline std::vector<std::string> g_faultBoxes;

inline int recordFaultBox(const char* text, unsigned, int* show)
{
    g_faultBoxes.push_back(text ? text : "");
    *show = 0;
    return IDOK;
}

inline std::string faultBoxesSaid()
{
    std::string said;
    for (const auto& box : g_faultBoxes) said += box + "\n";
    return said;
}

// A small filesystem (64 KB unless told) of the test's own on the Linux side
// (the tests run as root), seen from Windows through the Z: drive.
class SmallDisk {
public:
    explicit SmallDisk(const std::string& size = "64k")
        : linux_("/tmp/orvox-fault-disk-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count_)),
          dos_(toWindowsPath(linux_).string())
    {
        fs::create_directories(dos_);
        mounted_ = runOnLinux("mount -t tmpfs -o size=" + size + " tmpfs " + linux_, "/tmp/" + resultName(),
                              toWindowsPath("/tmp/" + resultName()).string()) == "0\n";
    }
    ~SmallDisk()
    {
        if (mounted_)
            runOnLinux("umount -l " + linux_, "/tmp/" + resultName(), toWindowsPath("/tmp/" + resultName()).string());
        std::error_code ec;
        fs::remove_all(dos_, ec);
        DeleteFileA(toWindowsPath("/tmp/" + resultName()).string().c_str());
    }
    bool mounted() const { return mounted_; }
    std::string file(const std::string& name) const { return dos_ + "\\" + name; }
    const std::string& folder() const { return dos_; }

    // Fills the disk to the last byte (from the Linux side, where a write that
    // finds no room reports it at once); true when no byte more fits.
    bool fill()
    {
        runOnLinux("dd if=/dev/zero of=" + linux_ + "/filler bs=4096 2>/dev/null; true", "/tmp/" + resultName(),
                   toWindowsPath("/tmp/" + resultName()).string());
        std::FILE* probe = std::fopen(file("probe").c_str(), "wb");
        const bool wrote = probe && std::fputs("probe", probe) >= 0 && std::fflush(probe) == 0;
        if (probe) std::fclose(probe);
        DeleteFileA(file("probe").c_str());
        return !wrote;
    }
    // Fills the disk until `bytes` are left free; true when that many are.
    bool leave(unsigned long long bytes)
    {
        const std::string n = std::to_string(bytes);
        runOnLinux("a=$(df -B1 --output=avail " + linux_ + " | tail -1); head -c $((a - " + n + ")) /dev/zero >" +
                       linux_ + "/filler; true",
                   "/tmp/" + resultName(), toWindowsPath("/tmp/" + resultName()).string());
        ULARGE_INTEGER free{};
        return GetDiskFreeSpaceExA((dos_ + "\\").c_str(), &free, nullptr, nullptr) && free.QuadPart <= bytes &&
               free.QuadPart + 64 * 1024 >= bytes;
    }
    void empty() { DeleteFileA(file("filler").c_str()); }
    // Every file on the disk except the filler. (Wine's spooler keeps a folder
    // of its own in the temporary folder; folders are not listed.)
    std::vector<std::string> names() const
    {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(dos_)) {
            const std::string name = e.path().filename().string();
            if (name != "filler" && e.is_regular_file()) found.push_back(name);
        }
        return found;
    }

private:
    std::string resultName() const { return "orvox-fault-mount-" + std::to_string(GetCurrentProcessId()); }

    static inline int count_ = 0;
    std::string linux_;
    std::string dos_;
    bool mounted_ = false;
};

// The library loaded and its main window made inside a host window of its own.
class FaultHost {
public:
    explicit FaultHost(const char* className)
    {
        loaded = orvox.load("Orvox.dll") == 0;
        host = createHostWindow(className);
        started = loaded && orvox.InitMain(recordFaultBox, nullptr) == 0 && orvox.CreateMain(host, 0, "faults") == 0;
        g_faultBoxes.clear();
    }
    ~FaultHost()
    {
        if (started) orvox.Exit(1);
        DestroyWindow(host);
    }
    int applyXml(const std::string& xml)
    {
        int line = -1;
        return orvox.OpenXMLSettings(xml.c_str(), &line);
    }

    test::OrvoxBinding orvox;
    HWND host = nullptr;
    bool loaded = false;
    bool started = false;
};

// Points the process's temporary folder (TMP and TEMP) at `folder` while it lives.
class TemporaryFolderAt {
public:
    explicit TemporaryFolderAt(const std::string& folder)
    {
        GetEnvironmentVariableA("TMP", tmp_, MAX_PATH);
        GetEnvironmentVariableA("TEMP", temp_, MAX_PATH);
        SetEnvironmentVariableA("TMP", (folder + "\\").c_str());
        SetEnvironmentVariableA("TEMP", (folder + "\\").c_str());
    }
    ~TemporaryFolderAt()
    {
        SetEnvironmentVariableA("TMP", tmp_);
        SetEnvironmentVariableA("TEMP", temp_);
    }

private:
    char tmp_[MAX_PATH] = {};
    char temp_[MAX_PATH] = {};
};

#define REQUIRE_SMALL_DISK(disk) \
    if (!(disk).mounted()) GTEST_SKIP() << "a small filesystem cannot be mounted here (the tests need root)"

// Runs `script` with the Linux shell and returns its output (standard output
// and errors) followed by "exit N". The script goes through a file, so it may
// hold any quotes.
inline std::string onLinux(const std::string& script)
{
    static int calls = 0;
    const std::string base = "/tmp/orvox-fault-sh-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetCurrentThreadId()) + "-" + std::to_string(++calls);
    {
        std::FILE* f = std::fopen(toWindowsPath(base + ".sh").string().c_str(), "wb");
        if (!f) return "";
        std::fputs(script.c_str(), f);
        std::fclose(f);
    }
    const std::string status = runOnLinux("/bin/sh " + base + ".sh >" + base + ".out 2>&1", base + ".rc",
                                          toWindowsPath(base + ".rc").string());
    std::string said = readBytes(toWindowsPath(base + ".out"));
    for (const char* ending : {".sh", ".out", ".rc"}) DeleteFileA(toWindowsPath(base + ending).string().c_str());
    return said + "exit " + status;
}

// The names of the files (not folders) in `folder`.
inline std::vector<std::string> fileNamesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file()) names.push_back(it->path().filename().string());
    return names;
}

} // namespace orvox::e2e
