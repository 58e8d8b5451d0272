#pragma once
// What the core needs to know of the file system beyond reading and writing files.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvox::platform {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Folder of the host program's executable, with its trailing separator;
    // empty when it cannot be obtained.
    virtual std::string hostProgramFolder() const = 0;
    virtual std::string tempFolder() const = 0;
    // A new, empty file with a unique name in the temporary folder; empty on failure.
    virtual std::string uniqueTempFile(const std::string& prefix) = 0;
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
