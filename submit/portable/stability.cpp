#include "submit/portable/stability.h"

namespace orvox::submit {

bool StabilityTracker::observe(const std::string& name, FileState state, Clock::time_point now)
{
    auto [at, added] = seen_.try_emplace(name, Seen{state, now});
    if (!added && !(at->second.state == state)) at->second = Seen{state, now};
    return now - at->second.since >= wait_;
}

std::vector<std::string> StabilityTracker::keepOnly(const std::set<std::string>& present)
{
    std::vector<std::string> dropped;
    for (auto at = seen_.begin(); at != seen_.end();) {
        if (present.count(at->first)) {
            ++at;
        } else {
            dropped.push_back(at->first);
            at = seen_.erase(at);
        }
    }
    return dropped;
}

} // namespace orvox::submit
