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

// A file name of this process's own, so that parallel fuzzing jobs do not share inputs.
inline std::string scratchFile(const std::string& name)
{
    static const std::string folder = [] {
        std::random_device rd;
        const auto dir = std::filesystem::temp_directory_path() / ("orvox-fuzz-" + std::to_string(rd()));
        std::filesystem::create_directories(dir);
        return dir.string();
    }();
    return (std::filesystem::path(folder) / name).string();
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
