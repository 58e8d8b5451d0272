#pragma once
// What the core needs to know of the file system beyond reading and writing files.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvox::platform {

// The mark in the name of every temporary file of a print run: the library's
// own files are told by it from any other program's, whatever the prefix.
inline constexpr std::string_view kRunFileMark = ".orvox-run-";
inline constexpr std::string_view kRunFileEnding = ".tmp";

// The name of a run file: the prefix (the host program's name), the mark, a
// unique part and ".tmp". The prefix comes from outside (a program name, a
// branding text): characters a file name cannot hold become '_', and only its
// first 32 characters are used, so the path stays short.
inline std::string runFileName(const std::string& prefix, const std::string& unique)
{
    std::string safe = prefix.substr(0, 32);
    for (char& c : safe)
        if (static_cast<unsigned char>(c) < 32 || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos)
            c = '_';
    return safe + std::string(kRunFileMark) + unique + std::string(kRunFileEnding);
}

inline bool isRunFileName(std::string_view name)
{
    return name.size() > kRunFileMark.size() + kRunFileEnding.size() &&
           name.find(kRunFileMark) != std::string_view::npos &&
           name.compare(name.size() - kRunFileEnding.size(), kRunFileEnding.size(), kRunFileEnding) == 0 &&
           name.find_first_of("\\/") == std::string_view::npos;
}

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Folder of the host program's executable, with its trailing separator;
    // empty when it cannot be obtained.
    virtual std::string hostProgramFolder() const = 0;
    virtual std::string tempFolder() const = 0;
    // A new, empty file with a unique name in the temporary folder; empty on failure.
    virtual std::string uniqueTempFile(const std::string& prefix) = 0;
    // A new, empty temporary file of a print run (job file, batch, re-encoded
    // image, header-stripped copy): named by `prefix` and the run-file mark
    // (isRunFileName), and held until releaseRunFile so that no other process
    // can delete it while the run uses it. Empty on failure.
    virtual std::string newRunFile(const std::string& prefix) { return uniqueTempFile(prefix); }
    // Lets go of a run file, and removes it unless `keep`.
    virtual void releaseRunFile(const std::string& path, bool keep)
    {
        if (!keep) removeFile(path);
    }
    // Removes the run files of the temporary folder that no run holds any
    // more: those a run left when its host was killed. Files of runs still
    // going (in this process or another) stay. Returns how many were removed.
    virtual int removeStaleRunFiles() { return 0; }
    virtual std::optional<std::uint64_t> freeDiskSpace(const std::string& folder) const = 0;
    virtual bool fileExists(const std::string& path) const = 0;
    virtual bool removeFile(const std::string& path) = 0;
    // True when the file exists and is marked read-only.
    virtual bool isReadOnly(const std::string& path) const = 0;
    // Makes a file that must not exist yet, writes `bytes` and flushes them to
    // the disk before closing it. False when any step fails (a full disk, a
    // folder that cannot be written); nothing is left behind then.
    virtual bool writeNewFile(const std::string& path, std::string_view bytes) = 0;
    // Puts `replacement` in the place of `target` in one step, so a reader sees
    // either the old or the new file, never a mixture. False (both files left
    // as they were) when the target is read-only or the move fails.
    virtual bool replaceFile(const std::string& replacement, const std::string& target) = 0;
};

} // namespace orvox::platform
