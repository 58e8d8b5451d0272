#pragma once
// Helpers shared by the unit tests: the shipped string table and scratch folders.
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "platform/posix/res_strings.h"

namespace orvox::test {

// Where the build put the compiled string table and where the sources are; the
// build bakes both in so that the test binary runs on its own, and the
// environment may point elsewhere.
#ifndef ORVOX_DEFAULT_RES_FILE
#define ORVOX_DEFAULT_RES_FILE ""
#endif
#ifndef ORVOX_DEFAULT_SOURCE_DIR
#define ORVOX_DEFAULT_SOURCE_DIR "."
#endif

inline std::string settingOrDefault(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    return value && *value ? value : fallback;
}

inline std::string resFilePath() { return settingOrDefault("ORVOX_RES_FILE", ORVOX_DEFAULT_RES_FILE); }

// The string table compiled from resources/*.rc for this build.
inline const platform::ResFileStrings& shippedStrings()
{
    static platform::ResFileStrings strings = [] {
        platform::ResFileStrings s;
        const std::string path = resFilePath();
        if (!path.empty()) s.open(path);
        return s;
    }();
    return strings;
}

inline std::string sourceDir() { return settingOrDefault("ORVOX_SOURCE_DIR", ORVOX_DEFAULT_SOURCE_DIR); }

// A folder of the test's own, removed when the object goes.
class ScratchDir {
public:
    ScratchDir()
    {
        namespace fs = std::filesystem;
        static int counter = 0;
        // Unique across processes too: test runs of several checkouts share the
        // temporary folder, and an unseeded rand() gives each the same names.
        static const std::string run = std::to_string(std::random_device{}());
        path_ = fs::temp_directory_path() / ("orvox-test-" + run + "-" + std::to_string(++counter));
        fs::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // With the trailing separator, as the installation folder is given.
    std::string folder() const { return (path_ / "").string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

} // namespace orvox::test
