// POSIX sockets: the Windows build has its own network (this folder is also
// compiled there, for its standard-C++ halves).
#ifndef _WIN32
#include "platform/posix/socket_network.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvox::platform {

namespace {

class SocketConnection : public Connection {
public:
    SocketConnection(int fd, int timeoutMs) : fd_(fd), timeoutMs_(timeoutMs) {}
    ~SocketConnection() override { ::close(fd_); }
    SocketConnection(const SocketConnection&) = delete;
    SocketConnection& operator=(const SocketConnection&) = delete;

    bool send(const char* data, std::size_t size) override
    {
        while (size > 0) {
            if (!wait(POLLOUT)) return false;
            const ssize_t n = ::send(fd_, data, size, MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EINTR || errno == EAGAIN) continue;
                error_ = std::strerror(errno);
                return false;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }

    long receive(char* buffer, std::size_t capacity) override
    {
        for (;;) {
            if (!wait(POLLIN)) return -1;
            const ssize_t n = ::recv(fd_, buffer, capacity, 0);
            if (n >= 0) return static_cast<long>(n);
            if (errno == EINTR || errno == EAGAIN) continue;
            error_ = std::strerror(errno);
            return -1;
        }
    }

    std::string lastErrorText() const override { return error_; }

private:
    bool wait(short events)
    {
        pollfd p{fd_, events, 0};
        for (;;) {
            const int r = ::poll(&p, 1, timeoutMs_);
            if (r > 0) return true;
            if (r == 0) {
                error_ = "timed out";
                return false;
            }
            if (errno != EINTR) {
                error_ = std::strerror(errno);
                return false;
            }
        }
    }

    int fd_;
    int timeoutMs_;
    std::string error_;
};

// Connects one address within the time limit: a non-blocking connect, then a
// wait for it to finish.
int connectWithin(const addrinfo& a, int timeoutMs, std::string& error)
{
    const int fd = ::socket(a.ai_family, a.ai_socktype | SOCK_CLOEXEC, a.ai_protocol);
    if (fd < 0) {
        error = std::strerror(errno);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL, 0);
    ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
    int r = ::connect(fd, a.ai_addr, a.ai_addrlen);
    if (r != 0 && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        r = ::poll(&p, 1, timeoutMs);
        if (r == 0) {
            error = "timed out";
            ::close(fd);
            return -1;
        }
        int soError = 0;
        socklen_t len = sizeof soError;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len);
        r = soError == 0 && r > 0 ? 0 : -1;
        errno = soError;
    }
    if (r != 0) {
        error = std::strerror(errno);
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::unique_ptr<Connection> SocketNetwork::connect(const std::string& host, std::uint16_t port, int timeoutMs,
                                                   std::string* errorText)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    if (const int r = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list); r != 0) {
        if (errorText) *errorText = ::gai_strerror(r);
        return nullptr;
    }
    std::string error = "no address";
    int fd = -1;
    for (const addrinfo* a = list; a && fd < 0; a = a->ai_next) fd = connectWithin(*a, timeoutMs, error);
    ::freeaddrinfo(list);
    if (fd < 0) {
        if (errorText) *errorText = error;
        return nullptr;
    }
    try {
        return std::make_unique<SocketConnection>(fd, timeoutMs);
    } catch (...) {
        ::close(fd);
        throw;
    }
}

} // namespace orvox::platform

#endif // _WIN32
