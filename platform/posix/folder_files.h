#pragma once
// The file-system seam over standard C++: temporary files live in one folder
// given at construction. Free space can be pinned, so the disk-space rules of
// the print output can be exercised without filling a disk.
#include <cstdint>
#include <optional>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace orvox::platform {

class FolderFileSystem : public FileSystem {
public:
    // `folder` ends with a separator.
    explicit FolderFileSystem(std::string folder, std::string programFolder = {})
        : folder_(std::move(folder)), programFolder_(std::move(programFolder))
    {
    }

    std::string hostProgramFolder() const override { return programFolder_; }
    std::string tempFolder() const override { return folder_; }
    std::string uniqueTempFile(const std::string& prefix) override;
    // This half cannot stop another process deleting a file: it holds run
    // files for itself only, and its sweep spares just the files it holds.
    std::string newRunFile(const std::string& prefix) override;
    void releaseRunFile(const std::string& path, bool keep) override;
    int removeStaleRunFiles() override;
    std::optional<std::uint64_t> freeDiskSpace(const std::string& folder) const override;
    bool fileExists(const std::string& path) const override;
    bool removeFile(const std::string& path) override;
    // A file without its owner's write permission counts as read-only, even
    // for a user the system would let write it.
    bool isReadOnly(const std::string& path) const override;
    bool writeNewFile(const std::string& path, std::string_view bytes) override;
    // A read-only target is not replaced.
    bool replaceFile(const std::string& replacement, const std::string& target) override;

    // Free space reported from now on; each measurement takes the next value of
    // the list and the last one stays (empty: the real free space).
    void pinFreeSpace(std::initializer_list<std::uint64_t> values);
    int freeSpaceMeasurements() const { return measurements_; }
    // Makes uniqueTempFile fail.
    bool refuseTempFiles = false;

private:
    std::string folder_;
    std::string programFolder_;
    std::vector<std::uint64_t> pinned_;
    mutable int measurements_ = 0;
    unsigned counter_ = 0;
    std::set<std::string> held_;
};

} // namespace orvox::platform
