#pragma once
// A file is complete once it has kept the same size and time of last write for
// the whole stability wait, seen by polls at least that far apart. A writer that
// pauses for less than the wait between two parts is never caught half-way.
#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace orvox::submit {

using Clock = std::chrono::steady_clock;

struct FileState {
    std::uintmax_t size = 0;
    std::int64_t written = 0;  // time of last write, in the file system's own ticks
    bool operator==(const FileState&) const = default;
};

class StabilityTracker {
public:
    explicit StabilityTracker(std::chrono::milliseconds wait) : wait_(wait) {}

    // Records what a poll saw; true when the file has looked the same since
    // at least `wait` ago.
    bool observe(const std::string& name, FileState state, Clock::time_point now);
    // Drops every file not seen in the last poll, so a name that comes back is
    // watched anew; returns the names dropped.
    std::vector<std::string> keepOnly(const std::set<std::string>& present);
    void forget(const std::string& name) { seen_.erase(name); }
    bool watching() const { return !seen_.empty(); }

private:
    struct Seen {
        FileState state;
        Clock::time_point since;
    };
    std::chrono::milliseconds wait_;
    std::map<std::string, Seen> seen_;
};

} // namespace orvox::submit
