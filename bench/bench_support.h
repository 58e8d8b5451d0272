#pragma once
// What the native benchmark programs share: the platform services over a
// scratch folder with the shipped strings, a clock, and the refusal to report
// figures from a build that is not the optimised one.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/messages.h"
#include "platform/posix/folder_files.h"
#include "platform/posix/ini_profile.h"
#include "platform/posix/res_strings.h"
#include "platform/services.h"

namespace orvox::bench {

#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
inline constexpr bool kOptimisedBuild = false;
#else
inline constexpr bool kOptimisedBuild = true;
#endif

// A debug or sanitizer build still runs the work (so that it is known to
// work), but its times say nothing: it marks every figure it prints.
inline const char* buildNote() { return kOptimisedBuild ? "" : " [NOT an optimised build: no figure]"; }

// Messages go to standard error: a benchmark shows no boxes.
class StderrMessages : public platform::MessageSink {
public:
    int show(const std::string& text, unsigned) override
    {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        return platform::kIdOk;
    }
};

// The services of the portable core; strings from the compiled resource table
// named by ORVOX_RES_FILE, temporary files in `scratch`.
class BenchServices {
public:
    explicit BenchServices(const std::string& scratch) : files(withSeparator(scratch))
    {
        std::filesystem::create_directories(scratch);
        const char* res = std::getenv("ORVOX_RES_FILE");
        if (!res || !strings.open(res)) {
            std::fprintf(stderr, "ORVOX_RES_FILE must name the compiled resource table (orvoxRes.res)\n");
            std::exit(2);
        }
    }

    platform::ResFileStrings strings;
    platform::IniProfile profile;
    StderrMessages messages;
    platform::FolderFileSystem files;
    platform::Services services{strings, profile, messages, files};

private:
    static std::string withSeparator(std::string folder)
    {
        if (folder.empty() || folder.back() != '/') folder += '/';
        return folder;
    }
};

inline double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace orvox::bench
