#include "platform/posix/folder_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace orvox::platform {

namespace fs = std::filesystem;

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

bool FolderFileSystem::replaceFile(const std::string& replacement, const std::string& target)
{
    std::error_code ec;
    const fs::file_status status = fs::status(target, ec);
    if (!ec && fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
        return false;
    fs::rename(replacement, target, ec);
    return !ec;
}

void FolderFileSystem::pinFreeSpace(std::initializer_list<std::uint64_t> values)
{
    pinned_.assign(values);
    measurements_ = 0;
}

} // namespace orvox::platform
