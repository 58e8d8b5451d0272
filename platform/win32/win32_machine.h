#pragma once
// The machine description of the job header from the registry and the system version.
#include "platform/machine.h"

namespace orvox::platform {

class Win32MachineInfo : public MachineInfo {
public:
    std::string localMachineValue(const std::string& key, const std::string& valueName) const override;
    bool isNtVersion4OrLater() const override;
};

} // namespace orvox::platform
