#include "submit/portable/stability.h"

namespace orvox::submit {

bool StabilityTracker::observe(const std::string& name, FileState state, Clock::time_point now)
{
    auto [at, added] = seen_.try_emplace(name, Seen{state, now});
    if (!added && !(at->second.state == state)) at->second = Seen{state, now};
    return now - at->second.since >= wait_;
}

void StabilityTracker::keepOnly(const std::set<std::string>& present)
{
    for (auto at = seen_.begin(); at != seen_.end();)
        at = present.count(at->first) ? std::next(at) : seen_.erase(at);
}

} // namespace orvox::submit
