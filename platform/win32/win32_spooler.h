#pragma once
// The spooler seam over winspool.
#include "platform/spooler.h"

namespace orvox::platform {

class Win32Spooler : public Spooler {
public:
    std::unique_ptr<Printer> open(const std::string& queueName, std::string* errorText) override;
};

// The system's text for an error code, in the user's default language, without
// the line break the system puts at its end.
std::string systemErrorText(unsigned long errorCode);

} // namespace orvox::platform
