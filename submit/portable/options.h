#pragma once
// The command line of OrvoxSubmit.
#include <chrono>
#include <string>
#include <vector>

namespace orvox::submit {

struct FolderOption {
    std::string path;
    std::string printer;  // empty: the ticket's own choice
};

// Files with the folder's ticket that go through one print run at most.
inline constexpr int kDefaultBatch = 100;
inline constexpr int kMaxBatch = 1000;

struct Options {
    enum class Command { Help, Print, Watch, Save } command = Command::Help;
    std::string ticket;                 // print
    std::string printer;                // print
    std::vector<std::string> files;     // print; save: the settings file to write
    std::vector<FolderOption> folders;  // watch
    std::string json;                   // JSON lines file, empty: none
    bool yes = false;                   // questions answered with Yes/OK
    std::chrono::milliseconds stableWait{5000};
    std::chrono::milliseconds pollInterval{1000};
    std::chrono::milliseconds idleExit{-1};  // watch: end after this long with nothing to do; < 0: never
    int batch = kDefaultBatch;          // watch: files with the folder's ticket per print run
    std::string error;                  // why the command line was refused
};

Options parseOptions(const std::vector<std::string>& args);

// Exit status for a command line that cannot be used; the library's codes are 0 to 43.
inline constexpr int kUsageError = 64;

std::string usageText();

} // namespace orvox::submit
