#pragma once
// Progress of a long piece of work as the operator sees it: the status line and
// the wait cursor. Without a status window nothing is shown.
#include <string>

namespace orvox::platform {

class StatusDisplay {
public:
    virtual ~StatusDisplay() = default;
    virtual void setStatusText(const std::string& text) = 0;
    // The wait cursor from beginWait to endWait.
    virtual void beginWait() {}
    virtual void endWait() {}
};

} // namespace orvox::platform
