#pragma once
// A C stdio file closed on every way out of its scope. close() reports a
// failure to close (data not written), which the destructor cannot.
#include <cstdio>
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

private:
    std::FILE* file_;
};

} // namespace orvox
