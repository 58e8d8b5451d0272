#include "platform/win32/win32_network.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <new>

#include "platform/win32/win32_spooler.h"

namespace orvox::platform {

namespace {

// Winsock is started for each connection and cleaned up with it: the library
// has no start-up hook of its own, and the calls are counted by the system.
class WinsockUse {
public:
    WinsockUse()
    {
        WSADATA data;
        ok_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }
    ~WinsockUse()
    {
        if (ok_) WSACleanup();
    }
    WinsockUse(const WinsockUse&) = delete;
    WinsockUse& operator=(const WinsockUse&) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

std::string socketErrorText(int code)
{
    if (code == WSAETIMEDOUT) return "timed out";
    std::string text = systemErrorText(static_cast<unsigned long>(code));
    return text.empty() ? "network error " + std::to_string(code) : text;
}

class WinsockConnection : public Connection {
public:
    WinsockConnection(SOCKET s, int timeoutMs) : s_(s), timeoutMs_(timeoutMs) {}
    ~WinsockConnection() override { closesocket(s_); }
    WinsockConnection(const WinsockConnection&) = delete;
    WinsockConnection& operator=(const WinsockConnection&) = delete;

    bool send(const char* data, std::size_t size) override
    {
        while (size > 0) {
            if (!wait(POLLWRNORM)) return false;
            const int piece = size > 1u << 20 ? 1 << 20 : static_cast<int>(size);
            const int n = ::send(s_, data, piece, 0);
            if (n == SOCKET_ERROR) {
                if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
                error_ = socketErrorText(WSAGetLastError());
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
            if (!wait(POLLRDNORM)) return -1;
            const int n = ::recv(s_, buffer, capacity > 1u << 20 ? 1 << 20 : static_cast<int>(capacity), 0);
            if (n != SOCKET_ERROR) return n;
            if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
            error_ = socketErrorText(WSAGetLastError());
            return -1;
        }
    }

    std::string lastErrorText() const override { return error_; }

private:
    bool wait(SHORT events)
    {
        WSAPOLLFD p{};
        p.fd = s_;
        p.events = events;
        const int r = WSAPoll(&p, 1, timeoutMs_);
        if (r > 0) return true;
        error_ = r == 0 ? std::string("timed out") : socketErrorText(WSAGetLastError());
        return false;
    }

    WinsockUse winsock_;  // outlives the socket: members are destroyed after the destructor's body
    SOCKET s_;
    int timeoutMs_;
    std::string error_;
};

// Connects one address within the time limit: a non-blocking connect, then a
// wait for it to finish. The socket stays non-blocking; every wait is bounded.
SOCKET connectWithin(const addrinfo& a, int timeoutMs, std::string& error)
{
    SOCKET s = socket(a.ai_family, a.ai_socktype, a.ai_protocol);
    if (s == INVALID_SOCKET) {
        error = socketErrorText(WSAGetLastError());
        return INVALID_SOCKET;
    }
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (::connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) == SOCKET_ERROR) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            error = socketErrorText(WSAGetLastError());
            closesocket(s);
            return INVALID_SOCKET;
        }
        WSAPOLLFD p{};
        p.fd = s;
        p.events = POLLWRNORM;
        const int r = WSAPoll(&p, 1, timeoutMs);
        int soError = 0;
        int len = sizeof soError;
        getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &len);
        if (r <= 0 || soError != 0 || (p.revents & (POLLERR | POLLHUP))) {
            error = r == 0 ? std::string("timed out") : socketErrorText(soError ? soError : WSAECONNREFUSED);
            closesocket(s);
            return INVALID_SOCKET;
        }
    }
    return s;
}

} // namespace

std::unique_ptr<Connection> Win32Network::connect(const std::string& host, std::uint16_t port, int timeoutMs,
                                                  std::string* errorText)
{
    WinsockUse winsock;
    if (!winsock.ok()) {
        if (errorText) *errorText = "the network is not available";
        return nullptr;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    if (const int r = getaddrinfo(host.c_str(), service.c_str(), &hints, &list); r != 0) {
        if (errorText) *errorText = socketErrorText(r);
        return nullptr;
    }
    std::string error = "no address";
    SOCKET s = INVALID_SOCKET;
    for (const addrinfo* a = list; a && s == INVALID_SOCKET; a = a->ai_next) s = connectWithin(*a, timeoutMs, error);
    freeaddrinfo(list);
    if (s == INVALID_SOCKET) {
        if (errorText) *errorText = error;
        return nullptr;
    }
    std::unique_ptr<Connection> c(new (std::nothrow) WinsockConnection(s, timeoutMs));
    if (!c) {
        closesocket(s);
        if (errorText) *errorText = "not enough memory";
    }
    return c;
}

} // namespace orvox::platform
