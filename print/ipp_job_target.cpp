#include "print/ipp_job_target.h"

namespace orvox {
namespace {

class IppOutputTarget : public IppJobTarget {
public:
    IppOutputTarget(const platform::Services& services, platform::Network& network, const IppPrinter& printer)
        : output_(services, network, printer)
    {
    }
    bool queryPrinter(std::string* error) override { return output_.queryPrinter(error); }
    std::vector<std::string> unsupportedSettings(const std::string& jobFile) const override
    {
        return output_.unsupportedSettings(jobFile);
    }
    IppJobOutcome send(const std::string& jobFile, const std::string& dataFile, const std::string& jobName,
                       int modifyPrintFile, bool dropUnsupported) override
    {
        return output_.send(jobFile, dataFile, jobName, modifyPrintFile, dropUnsupported);
    }

private:
    IppOutput output_;
};

} // namespace

std::unique_ptr<IppJobTarget> makeIppOutputTarget(const platform::Services& services, platform::Network& network,
                                                  const IppPrinter& printer)
{
    return std::make_unique<IppOutputTarget>(services, network, printer);
}

} // namespace orvox
