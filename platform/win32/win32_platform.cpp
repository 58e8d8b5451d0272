#include "platform/win32/win32_platform.h"

#include <algorithm>
#include <vector>

namespace orvox::platform {

namespace {
HINSTANCE g_resourceHandle = nullptr;
}

HINSTANCE currentResourceHandle() { return g_resourceHandle; }
void setCurrentResourceHandle(HINSTANCE module) { g_resourceHandle = module; }

std::string Win32Strings::load(unsigned id) const
{
    // A string resource is at most 65535 characters; LoadStringA reports how
    // many it copied, so grow the buffer until the text fits.
    std::vector<char> buffer(512);
    for (;;) {
        const int n = LoadStringA(g_resourceHandle, id, buffer.data(), static_cast<int>(buffer.size()));
        if (n <= 0) return {};
        if (static_cast<std::size_t>(n) + 1 < buffer.size() || buffer.size() >= 65536)
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 4);
    }
}

std::string Win32Profile::getString(const std::string& file, const std::string& section,
                                    const std::string& key, const std::string& defaultValue,
                                    std::size_t maxChars) const
{
    std::vector<char> buffer(maxChars + 1);
    const DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                             static_cast<DWORD>(buffer.size()), file.c_str());
    return std::string(buffer.data(), n);
}

int Win32Profile::getInt(const std::string& file, const std::string& section, const std::string& key,
                         int defaultValue) const
{
    return static_cast<int>(GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str()));
}

bool Win32Profile::writeString(const std::string& file, const std::string& section, const std::string& key,
                               const std::string& value)
{
    return writer_.writeString(file, section, key, value);
}

bool Win32Profile::deleteSection(const std::string& file, const std::string& section)
{
    return writer_.deleteSection(file, section);
}

std::string Win32FileSystem::hostProgramFolder() const
{
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    std::string folder(path, n);
    const auto slash = folder.find_last_of("\\/");
    if (slash == std::string::npos) return {};
    folder.resize(slash + 1);
    return folder;
}

std::string Win32FileSystem::systemTempFolder() const
{
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(MAX_PATH, path);
    return (n == 0 || n > MAX_PATH) ? std::string() : std::string(path, n);
}

namespace {

std::string systemErrorText(DWORD error)
{
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = n && text ? std::string(text, n) : "Error " + std::to_string(error);
    if (text) LocalFree(text);
    return result;
}

} // namespace

std::string Win32FileSystem::tempFolder() const
{
    SetLastError(ERROR_SUCCESS);
    std::string folder = systemTempFolder();
    if (!folder.empty()) return folder;
    // Temporary files still need a place: the current folder, once the operator knows why.
    const DWORD error = GetLastError();
    if (messages_) messages_->show(systemErrorText(error == ERROR_SUCCESS ? ERROR_PATH_NOT_FOUND : error), kMbOk);
    char current[MAX_PATH + 1] = {};
    const DWORD n = GetCurrentDirectoryA(MAX_PATH, current);
    if (n == 0 || n > MAX_PATH) return {};
    folder.assign(current, n);
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder;
}

std::string Win32FileSystem::uniqueTempFile(const std::string& prefix)
{
    const std::string folder = tempFolder();
    const std::string used = prefix.empty() ? kDefaultTempPrefix : prefix;
    char name[MAX_PATH + 1] = {};
    if (folder.empty() || GetTempFileNameA(folder.c_str(), used.c_str(), 0, name) == 0) return {};
    return name;
}

Win32FileSystem::~Win32FileSystem()
{
    for (const auto& [path, handle] : held_) CloseHandle(handle);
}

std::string Win32FileSystem::newRunFile(const std::string& prefix)
{
    const std::string folder = tempFolder();
    if (folder.empty()) return {};
    const std::string used = prefix.empty() ? kDefaultTempPrefix : prefix;
    char process[16] = {};
    wsprintfA(process, "%lx", GetCurrentProcessId());
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char unique[40] = {};
        // Process, time and a count: a name a later process with the same id
        // does not make again.
        wsprintfA(unique, "%s-%lx-%x", process, GetTickCount(), ++runFileCount_);
        const std::string path = folder + runFileName(used, unique);
        HANDLE hold = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (hold != INVALID_HANDLE_VALUE) {
            held_[path] = hold;
            return path;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

void Win32FileSystem::releaseRunFile(const std::string& path, bool keep)
{
    const auto held = held_.find(path);
    if (held != held_.end()) {
        CloseHandle(held->second);
        held_.erase(held);
    }
    if (!keep) DeleteFileA(path.c_str());
}

int Win32FileSystem::removeStaleRunFiles()
{
    const std::string folder = systemTempFolder();
    if (folder.empty()) return 0;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "*" + std::string(kRunFileMark) + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int removed = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!isRunFileName(found.cFileName)) continue;
        const std::string path = folder + found.cFileName;
        if (held_.count(path)) continue;
        // A file of a live run (of this or another process) refuses deletion.
        if (DeleteFileA(path.c_str())) ++removed;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return removed;
}

std::optional<std::uint64_t> Win32FileSystem::freeDiskSpace(const std::string& folder) const
{
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr)) return std::nullopt;
    return available.QuadPart;
}

bool Win32FileSystem::fileExists(const std::string& path) const
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::removeFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

bool Win32FileSystem::isReadOnly(const std::string& path) const
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool Win32FileSystem::writeNewFile(const std::string& path, std::string_view bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    while (ok && !bytes.empty()) {
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
        DWORD written = 0;
        ok = WriteFile(file, bytes.data(), part, &written, nullptr) && written > 0;
        bytes.remove_prefix(written);
    }
    // The bytes are on the disk before the file can take another's place.
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok) DeleteFileA(path.c_str());
    return ok;
}

bool Win32FileSystem::replaceFile(const std::string& replacement, const std::string& target)
{
    if (isReadOnly(target)) return false;
    return MoveFileExA(replacement.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
           FALSE;
}

} // namespace orvox::platform
