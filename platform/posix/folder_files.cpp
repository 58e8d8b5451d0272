#include "platform/posix/folder_files.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

namespace orvox::platform {

namespace fs = std::filesystem;

namespace {

// This half also builds with MinGW (the unit tests run under Wine as well).
#ifdef _WIN32
constexpr int kNewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_BINARY;
int flushToDisk(int fd) { return _commit(fd); }
void flushFolder(const std::string&) {}
#else
constexpr int kNewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
int flushToDisk(int fd) { return ::fsync(fd); }
// A new name reaches the disk with the folder's own entry.
void flushFolder(const std::string& folder)
{
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    ::fsync(dir);
    ::close(dir);
}
#endif

} // namespace

std::string FolderFileSystem::uniqueTempFile(const std::string& prefix)
{
    if (refuseTempFiles || folder_.empty()) return {};
    // Like the system's temporary names: the first three characters of the
    // prefix, a number, ".tmp"; the file is created so the name stays taken.
    const std::string stem = prefix.substr(0, std::min<std::size_t>(prefix.size(), 3));
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        const std::string path = folder_ + stem + std::to_string(++counter_) + ".tmp";
        std::error_code ec;
        if (fs::exists(path, ec)) continue;
        std::ofstream create(path, std::ios::binary);
        if (create) return path;
        return {};
    }
    return {};
}

std::string FolderFileSystem::newRunFile(const std::string& prefix)
{
    if (refuseTempFiles || folder_.empty()) return {};
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        const std::string path = folder_ + runFileName(prefix.empty() ? "~TM" : prefix, std::to_string(++counter_));
        std::error_code ec;
        if (fs::exists(path, ec)) continue;
        if (!std::ofstream(path, std::ios::binary)) return {};
        held_.insert(path);
        return path;
    }
    return {};
}

void FolderFileSystem::releaseRunFile(const std::string& path, bool keep)
{
    held_.erase(path);
    if (!keep) removeFile(path);
}

int FolderFileSystem::removeStaleRunFiles()
{
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string path = folder_ + it->path().filename().string();
        if (it->is_regular_file(ec) && isRunFileName(it->path().filename().string()) && !held_.count(path) &&
            fs::remove(path, ec))
            ++removed;
    }
    return removed;
}

std::optional<std::uint64_t> FolderFileSystem::freeDiskSpace(const std::string& folder) const
{
    const std::size_t at = static_cast<std::size_t>(measurements_++);
    if (!pinned_.empty()) return pinned_[std::min(at, pinned_.size() - 1)];
    std::error_code ec;
    const fs::space_info info = fs::space(folder, ec);
    if (ec) return std::nullopt;
    return info.available;
}

bool FolderFileSystem::fileExists(const std::string& path) const
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool FolderFileSystem::removeFile(const std::string& path)
{
    std::error_code ec;
    return fs::remove(path, ec);
}

bool FolderFileSystem::isReadOnly(const std::string& path) const
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return !ec && fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

bool FolderFileSystem::writeNewFile(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), kNewFileFlags, 0666);
    if (fd < 0) return false;
    bool ok = true;
    while (ok && !bytes.empty()) {
        const unsigned part = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 20));
        const auto n = ::write(fd, bytes.data(), part);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    ok = ok && flushToDisk(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) removeFile(path);
    return ok;
}

bool FolderFileSystem::replaceFile(const std::string& replacement, const std::string& target)
{
    if (isReadOnly(target)) return false;
    std::error_code ec;
    fs::rename(replacement, target, ec);
    if (ec) return false;
    flushFolder(fs::path(target).parent_path().string());
    return true;
}

void FolderFileSystem::pinFreeSpace(std::initializer_list<std::uint64_t> values)
{
    pinned_.assign(values);
    measurements_ = 0;
}

} // namespace orvox::platform
