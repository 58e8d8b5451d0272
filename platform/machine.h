#pragma once
// What the job header tells the print server about the submitting machine:
// a registry value of the local machine and the kind of system it runs.
#include <string>

namespace orvox::platform {

class MachineInfo {
public:
    virtual ~MachineInfo() = default;
    // The string value `valueName` of the local machine's key `key`; empty
    // when the key or the value cannot be read.
    virtual std::string localMachineValue(const std::string& key, const std::string& valueName) const = 0;
    // An NT-family system of major version 4 or later.
    virtual bool isNtVersion4OrLater() const = 0;
};

} // namespace orvox::platform
