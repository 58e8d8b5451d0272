#include "print/ipp_client.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace orvox::ipp {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kMaxHeaderBytes = 32 * 1024;

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The response side of the connection, read through a buffer.
class ResponseReader {
public:
    explicit ResponseReader(platform::Connection& c) : c_(c) {}

    // One line without its CR LF; false at the end of the stream, on an error or
    // when the line is longer than `limit`.
    bool line(std::string& out, std::size_t limit)
    {
        out.clear();
        for (;;) {
            if (pos_ == buf_.size() && !fill()) return false;
            const char ch = buf_[pos_++];
            if (ch == '\n') {
                if (!out.empty() && out.back() == '\r') out.pop_back();
                return true;
            }
            if (out.size() >= limit) return false;
            out.push_back(ch);
        }
    }

    // Appends exactly `n` bytes to `out`.
    bool bytes(std::string& out, std::size_t n)
    {
        while (n > 0) {
            if (pos_ == buf_.size() && !fill()) return false;
            const std::size_t take = std::min(n, buf_.size() - pos_);
            out.append(buf_.data() + pos_, take);
            pos_ += take;
            n -= take;
        }
        return true;
    }

    // Appends up to the end of the stream; false when that passes `limit`.
    bool rest(std::string& out, std::size_t limit)
    {
        for (;;) {
            out.append(buf_.data() + pos_, buf_.size() - pos_);
            pos_ = buf_.size();
            if (out.size() > limit) return false;
            if (!fill()) return !broken_;
        }
    }

    std::string errorText() const { return broken_ ? c_.lastErrorText() : "the printer closed the connection"; }

private:
    bool fill()
    {
        buf_.resize(kChunk);
        const long n = c_.receive(buf_.data(), buf_.size());
        pos_ = 0;
        if (n <= 0) {
            buf_.clear();
            broken_ = n < 0;
            return false;
        }
        buf_.resize(static_cast<std::size_t>(n));
        return true;
    }

    platform::Connection& c_;
    std::vector<char> buf_;
    std::size_t pos_ = 0;
    bool broken_ = false;
};

bool sendChunk(platform::Connection& c, const char* data, std::size_t n)
{
    if (n == 0) return true;  // an empty chunk would end the body
    char size[24];
    const auto end = std::to_chars(size, size + sizeof size - 2, n, 16).ptr;
    end[0] = '\r';
    end[1] = '\n';
    return c.send(size, static_cast<std::size_t>(end + 2 - size)) && c.send(data, n) && c.send("\r\n", 2);
}

// The request: headers, the IPP message and the document in chunks, then the
// last chunk. `documentError` is set when the document could not be read.
bool sendRequest(platform::Connection& c, const PrinterUri& printer, std::string_view request,
                 const DocumentReader* document, bool& documentError)
{
    std::string head = "POST " + printer.resource + " HTTP/1.1\r\nHost: " + printer.host + ":" +
                       std::to_string(printer.port) +
                       "\r\nContent-Type: application/ipp\r\nTransfer-Encoding: chunked\r\n"
                       "Connection: close\r\n\r\n";
    if (!c.send(head.data(), head.size())) return false;
    if (!sendChunk(c, request.data(), request.size())) return false;
    if (document) {
        std::vector<char> buf(kChunk);
        for (;;) {
            const long n = (*document)(buf.data(), buf.size());
            if (n < 0) {
                // The request is not ended: the printer must not take a cut document.
                documentError = true;
                return false;
            }
            if (n == 0) break;
            if (!sendChunk(c, buf.data(), static_cast<std::size_t>(n))) return false;
        }
    }
    return c.send("0\r\n\r\n", 5);
}

// The body of an HTTP response to the request, or an error text.
bool readResponse(ResponseReader& r, const ExchangeLimits& limits, std::string& body, std::string& error)
{
    std::string line;
    int status = 0;
    // Interim responses (100 Continue) come before the real one.
    do {
        if (!r.line(line, kMaxHeaderBytes)) {
            error = "no HTTP response: " + r.errorText();
            return false;
        }
        if (line.rfind("HTTP/1.", 0) != 0 || line.size() < 12) {
            error = "not an HTTP response: " + line.substr(0, 60);
            return false;
        }
        const auto [p, ec] = std::from_chars(line.data() + 9, line.data() + 12, status);
        if (ec != std::errc() || p != line.data() + 12) {
            error = "not an HTTP response: " + line.substr(0, 60);
            return false;
        }
        const std::string statusLine = line;
        bool chunked = false;
        std::optional<std::size_t> length;
        std::size_t headerBytes = 0;
        for (;;) {
            if (!r.line(line, kMaxHeaderBytes) || (headerBytes += line.size()) > kMaxHeaderBytes) {
                error = "the HTTP response headers are cut off or too long";
                return false;
            }
            if (line.empty()) break;
            const auto colon = line.find(':');
            if (colon == std::string::npos) continue;
            const std::string_view name = trim(std::string_view(line).substr(0, colon));
            const std::string_view value = trim(std::string_view(line).substr(colon + 1));
            if (equalsNoCase(name, "Transfer-Encoding")) chunked = equalsNoCase(value, "chunked");
            if (equalsNoCase(name, "Content-Length")) {
                std::size_t n = 0;
                const auto [q, e] = std::from_chars(value.data(), value.data() + value.size(), n);
                if (e != std::errc() || q != value.data() + value.size()) {
                    error = "the HTTP response has a broken Content-Length";
                    return false;
                }
                length = n;
            }
        }
        if (status == 100) continue;
        if (status != 200) {
            error = "HTTP " + statusLine.substr(9);
            return false;
        }
        if (chunked) {
            for (;;) {
                if (!r.line(line, 256)) {
                    error = "the response is cut off: " + r.errorText();
                    return false;
                }
                std::size_t n = 0;
                const auto end = line.find_first_of("; ");
                const std::string_view hex = std::string_view(line).substr(0, end);
                const auto [q, e] = std::from_chars(hex.data(), hex.data() + hex.size(), n, 16);
                if (hex.empty() || e != std::errc() || q != hex.data() + hex.size()) {
                    error = "the response has a broken chunk size";
                    return false;
                }
                if (n == 0) return true;  // trailers, if any, are not needed
                if (n > limits.maxResponse || body.size() + n > limits.maxResponse) {
                    error = "the response is larger than " + std::to_string(limits.maxResponse) + " bytes";
                    return false;
                }
                if (!r.bytes(body, n) || !r.line(line, 2) || !line.empty()) {
                    error = "the response is cut off: " + r.errorText();
                    return false;
                }
            }
        }
        if (length) {
            if (*length > limits.maxResponse) {
                error = "the response is larger than " + std::to_string(limits.maxResponse) + " bytes";
                return false;
            }
            if (!r.bytes(body, *length)) {
                error = "the response is cut off: " + r.errorText();
                return false;
            }
            return true;
        }
        if (!r.rest(body, limits.maxResponse)) {
            error = body.size() > limits.maxResponse ? "the response is too large" : r.errorText();
            return false;
        }
        return true;
    } while (true);
}

} // namespace

std::optional<PrinterUri> parsePrinterUri(std::string_view uri, std::string* why)
{
    auto fail = [&](const char* reason) -> std::optional<PrinterUri> {
        if (why) *why = reason;
        return std::nullopt;
    };
    const auto sep = uri.find("://");
    if (sep == std::string_view::npos) return fail("it is no ipp:// address");
    const std::string_view scheme = uri.substr(0, sep);
    if (equalsNoCase(scheme, "ipps")) return fail("secure ipps:// addresses are not supported");
    if (!equalsNoCase(scheme, "ipp")) return fail("it is no ipp:// address");
    std::string_view rest = uri.substr(sep + 3);
    const auto slash = rest.find('/');
    std::string_view authority = rest.substr(0, slash);
    PrinterUri out;
    out.scheme = "ipp";
    out.resource = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
    if (authority.find('@') != std::string_view::npos) return fail("user names in the address are not supported");
    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) return fail("the IPv6 address has no closing bracket");
        out.host = std::string(authority.substr(1, close - 1));
        const std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return fail("the port is malformed");
            port = after.substr(1);
        }
    } else {
        const auto colon = authority.rfind(':');
        out.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) port = authority.substr(colon + 1);
    }
    if (out.host.empty()) return fail("the address names no host");
    for (const char ch : out.host)
        if (std::isspace(static_cast<unsigned char>(ch)) || static_cast<unsigned char>(ch) < 0x20)
            return fail("the host name holds blanks or control characters");
    for (const char ch : out.resource)
        if (static_cast<unsigned char>(ch) <= 0x20 || ch == 0x7F) return fail("the path holds blanks or control characters");
    if (!port.empty() || (authority.size() > 0 && authority.back() == ':')) {
        unsigned value = 0;
        const auto [p, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
        if (port.empty() || ec != std::errc() || p != port.data() + port.size() || value == 0 || value > 65535)
            return fail("the port is not a number from 1 to 65535");
        out.port = static_cast<std::uint16_t>(value);
    }
    return out;
}

Exchange exchange(platform::Network& network, const PrinterUri& printer, std::string_view request,
                  const DocumentReader* document, const ExchangeLimits& limits)
{
    Exchange result;
    std::string why;
    const auto connection = network.connect(printer.host, printer.port, limits.timeoutMs, &why);
    if (!connection) {
        result.error = "cannot connect to " + printer.host + ":" + std::to_string(printer.port) + ": " + why;
        return result;
    }
    bool documentError = false;
    const bool sent = sendRequest(*connection, printer, request, document, documentError);
    if (documentError) {
        result.error = "the document could not be read";
        return result;
    }
    const std::string sendError = sent ? std::string() : connection->lastErrorText();
    // A printer that refuses a request may answer before it has read all of it,
    // so a response is looked for also when sending failed.
    ResponseReader reader(*connection);
    std::string body;
    std::string error;
    if (!readResponse(reader, limits, body, error)) {
        result.error = sent ? error : "sending to the printer failed: " + sendError;
        return result;
    }
    DecodeLimits decodeLimits;
    DecodeResult decoded = decode(body, decodeLimits);
    if (!decoded.message) {
        result.error = "the printer's response is malformed: " + decoded.error;
        return result;
    }
    result.response = std::move(decoded.message);
    return result;
}

} // namespace orvox::ipp
