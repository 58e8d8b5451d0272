#pragma once
// A C stdio file closed on every way out of its scope. close() reports a
// failure to close (data not written), which the destructor cannot.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace orvox {

class StdioFile {
public:
    StdioFile(const std::string& path, const char* mode) : file_(std::fopen(path.c_str(), mode)) {}
    ~StdioFile()
    {
        if (file_) std::fclose(file_);
    }
    StdioFile(const StdioFile&) = delete;
    StdioFile& operator=(const StdioFile&) = delete;

    explicit operator bool() const { return file_ != nullptr; }
    std::FILE* get() const { return file_; }
    bool close()
    {
        if (!file_) return false;
        const int result = std::fclose(file_);
        file_ = nullptr;
        return result == 0;
    }
    // close() for a file written front to back at `path`: also false when
    // not every byte written reached the disk (see closeWrittenFile).
    bool closeWritten(const std::string& path);

private:
    std::FILE* file_;
};

// Closes a file that was written front to back and checks that every byte
// reached the disk: on a full disk a C runtime may drop the buffered bytes and
// still report a successful close (Wine's does).
inline bool closeWrittenFile(std::FILE* file, const std::string& path)
{
    const long written = std::ftell(file);
    const bool closed = std::fclose(file) == 0;
    if (!closed || written < 0) return false;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    return !ec && size == static_cast<std::uintmax_t>(written);
}

inline bool StdioFile::closeWritten(const std::string& path)
{
    if (!file_) return false;
    std::FILE* file = file_;
    file_ = nullptr;
    return closeWrittenFile(file, path);
}

} // namespace orvox
