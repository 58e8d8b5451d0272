#pragma once
// The network through Winsock.
#include "platform/network.h"

namespace orvox::platform {

class Win32Network : public Network {
public:
    std::unique_ptr<Connection> connect(const std::string& host, std::uint16_t port, int timeoutMs,
                                        std::string* errorText) override;
};

} // namespace orvox::platform
