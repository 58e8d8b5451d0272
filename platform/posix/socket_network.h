#pragma once
// The network through POSIX sockets, for the native tests and tools.
#include "platform/network.h"

namespace orvox::platform {

class SocketNetwork : public Network {
public:
    std::unique_ptr<Connection> connect(const std::string& host, std::uint16_t port, int timeoutMs,
                                        std::string* errorText) override;
};

} // namespace orvox::platform
