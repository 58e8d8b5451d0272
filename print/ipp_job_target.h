#pragma once
// What a print run needs of an IPP printer: the calls of IppOutput behind an
// interface, so that a run can be tried without a printer on the network.
#include <memory>
#include <string>
#include <vector>

#include "platform/network.h"
#include "platform/services.h"
#include "print/ipp_output.h"

namespace orvox {

class IppJobTarget {
public:
    virtual ~IppJobTarget() = default;
    virtual bool queryPrinter(std::string* error) = 0;
    virtual std::vector<std::string> unsupportedSettings(const std::string& jobFile) const = 0;
    virtual IppJobOutcome send(const std::string& jobFile, const std::string& dataFile, const std::string& jobName,
                               int modifyPrintFile, bool dropUnsupported) = 0;
};

// The real output: IppOutput to `printer` over `network`.
std::unique_ptr<IppJobTarget> makeIppOutputTarget(const platform::Services& services, platform::Network& network,
                                                  const IppPrinter& printer);

} // namespace orvox
