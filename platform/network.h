#pragma once
// A connection to a printer on the network as the print output needs it: a
// byte stream to a host and port, where every wait is bounded.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orvox::platform {

// An open connection; destroying the object closes it.
class Connection {
public:
    virtual ~Connection() = default;
    // Sends all `size` bytes; false when the connection broke or the peer took
    // nothing for the connection's time limit.
    virtual bool send(const char* data, std::size_t size) = 0;
    // Receives up to `capacity` bytes: the count, 0 at the end of the stream, or
    // -1 when the connection broke or nothing came within the time limit.
    virtual long receive(char* buffer, std::size_t capacity) = 0;
    // The system's text for the last failure (or "timed out").
    virtual std::string lastErrorText() const = 0;
};

class Network {
public:
    virtual ~Network() = default;
    // Connects to `host` (a name or an address) at `port` within `timeoutMs`;
    // later sends and receives wait at most that long each. Null when it
    // cannot connect, and `errorText` (when given) says why.
    virtual std::unique_ptr<Connection> connect(const std::string& host, std::uint16_t port, int timeoutMs,
                                                std::string* errorText) = 0;
};

} // namespace orvox::platform
