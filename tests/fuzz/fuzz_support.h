#pragma once
// What every fuzz target needs: the shipped string table and a private scratch
// file for inputs that the code under test reads from disk.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/messages.h"
#include "platform/posix/res_strings.h"

namespace orvox::fuzz {

inline const platform::StringSource& shippedStrings()
{
    static platform::ResFileStrings strings = [] {
        platform::ResFileStrings s;
        if (!s.open(ORVOX_RES_FILE_PATH)) std::abort();  // fuzzing without the real texts proves little
        return s;
    }();
    return strings;
}

// A folder of this process's own (parallel fuzzing jobs do not share inputs),
// removed when the process exits normally.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() / ("orvox-fuzz-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline std::string scratchFile(const std::string& name)
{
    static const ScratchFolder folder;
    return (folder.path() / name).string();
}

inline void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Message boxes answer "No" at once; the fuzzer never waits on a person.
class SilentSink : public platform::MessageSink {
public:
    int show(const std::string&, unsigned) override { return platform::kIdNo; }
};

} // namespace orvox::fuzz
