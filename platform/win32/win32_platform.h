#pragma once
// The Win32 halves of the platform seams: the real API behind each interface.
#include <windows.h>

#include <map>
#include <string>

#include "platform/files.h"
#include "platform/messages.h"
#include "platform/profile.h"
#include "platform/posix/ini_profile.h"
#include "platform/strings.h"

namespace orvox::platform {

// The module whose resources are current; exported calls switch it to the
// resource module for their duration (ResourceScope).
HINSTANCE currentResourceHandle();
void setCurrentResourceHandle(HINSTANCE module);

// Makes `module` the current resource source and puts the previous one back on
// every way out of the scope.
class ResourceScope {
public:
    explicit ResourceScope(HINSTANCE module) : previous_(currentResourceHandle())
    {
        setCurrentResourceHandle(module);
    }
    ~ResourceScope() { setCurrentResourceHandle(previous_); }
    ResourceScope(const ResourceScope&) = delete;
    ResourceScope& operator=(const ResourceScope&) = delete;

private:
    HINSTANCE previous_;
};

// Strings from the current resource module.
class Win32Strings : public StringSource {
public:
    std::string load(unsigned id) const override;
};

class Win32FileSystem : public FileSystem {
public:
    // Prefix of temporary names when the caller gives none.
    static constexpr const char* kDefaultTempPrefix = "~TM";

    Win32FileSystem() = default;
    // Run files still held are let go (and stay on the disk).
    ~Win32FileSystem() override;
    Win32FileSystem(const Win32FileSystem&) = delete;
    Win32FileSystem& operator=(const Win32FileSystem&) = delete;

    // Where the system error of a missing temporary folder is shown; none: not shown.
    void setMessages(MessageSink* messages) { messages_ = messages; }

    std::string hostProgramFolder() const override;
    // The system's temporary folder; when the system has none, the current
    // working folder, after the system's error text has been shown.
    std::string tempFolder() const override;
    std::string uniqueTempFile(const std::string& prefix) override;
    // A run file is held by a handle of its own that shares reading and
    // writing but not deletion: the run's own opens work, and while the
    // process lives nobody deletes the file. A killed process's handles are
    // closed by the system, so its files become deletable.
    std::string newRunFile(const std::string& prefix) override;
    void releaseRunFile(const std::string& path, bool keep) override;
    // Deleting is the test: a file that another run holds refuses it.
    int removeStaleRunFiles() override;
    std::optional<std::uint64_t> freeDiskSpace(const std::string& folder) const override;
    bool fileExists(const std::string& path) const override;
    bool removeFile(const std::string& path) override;
    bool isReadOnly(const std::string& path) const override;
    bool writeNewFile(const std::string& path, std::string_view bytes) override;
    bool replaceFile(const std::string& replacement, const std::string& target) override;

protected:
    // GetTempPathA; empty (with the thread's last error set) when it fails.
    virtual std::string systemTempFolder() const;

private:
    MessageSink* messages_ = nullptr;
    std::map<std::string, HANDLE> held_;
    unsigned runFileCount_ = 0;
};

// Reads through the system's profile functions. Writes edit the file with the
// same rules but replace it in one step: WritePrivateProfileStringA rewrites
// the file in place and, under Wine, reports success on a full disk after
// leaving a cut-off file.
class Win32Profile : public Profile {
public:
    Win32Profile() { writer_.setFileSystem(&files_); }
    Win32Profile(const Win32Profile&) = delete;
    Win32Profile& operator=(const Win32Profile&) = delete;

    std::string getString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultValue, std::size_t maxChars) const override;
    int getInt(const std::string& file, const std::string& section, const std::string& key,
               int defaultValue) const override;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override;
    bool deleteSection(const std::string& file, const std::string& section) override;

private:
    Win32FileSystem files_;
    IniProfile writer_;
};

} // namespace orvox::platform
