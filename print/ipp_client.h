#pragma once
// One IPP operation with a printer: the encoded request and the document go
// out as an HTTP/1.1 POST in chunks (the document is read in pieces, never whole
// into memory), and the printer's response is read with a bound on its size and
// on every wait.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/network.h"
#include "print/ipp_message.h"

namespace orvox::ipp {

struct PrinterUri {
    std::string scheme;  // "ipp"
    std::string host;
    std::uint16_t port = 631;
    std::string resource = "/";
};

// An "ipp://host[:port][/path]" address; nothing, and `why` says what is wrong,
// for anything else (a secure "ipps" address needs TLS, which is not offered).
std::optional<PrinterUri> parsePrinterUri(std::string_view uri, std::string* why = nullptr);

// Fills `buffer` with the next bytes of the document: the count, 0 at its end,
// -1 when it cannot be read.
using DocumentReader = std::function<long(char* buffer, std::size_t capacity)>;

struct Exchange {
    std::optional<Message> response;
    std::string error;  // why there is no response: connection, HTTP or encoding
};

struct ExchangeLimits {
    int timeoutMs = 30000;              // connecting, and each wait for the printer
    std::size_t maxResponse = 8u << 20; // bytes of an IPP response
};

// Sends `request` (an encoded message) followed by the document, when there is
// one, and reads the printer's response.
Exchange exchange(platform::Network& network, const PrinterUri& printer, std::string_view request,
                  const DocumentReader* document, const ExchangeLimits& limits = {});

} // namespace orvox::ipp
