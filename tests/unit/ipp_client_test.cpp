// One IPP operation over HTTP, against a scripted connection: what goes out
// (headers, chunks, the document in pieces) and how each kind of answer, cut
// answer or broken connection comes back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "print/ipp_client.h"

namespace {

using namespace orvox;
using namespace orvox::ipp;

// A connection that records what is sent and answers from a script: the
// response bytes come in pieces of `piece` bytes; sending fails after
// `sendLimit` bytes.
struct ScriptedConnection : platform::Connection {
    std::string* sent;
    std::string response;
    std::size_t piece = 7;
    std::size_t sendLimit = std::string::npos;
    std::size_t at = 0;
    bool failReceive = false;

    bool send(const char* data, std::size_t size) override
    {
        if (sent->size() + size > sendLimit) return false;
        sent->append(data, size);
        return true;
    }
    long receive(char* buffer, std::size_t capacity) override
    {
        if (at == response.size()) return failReceive ? -1 : 0;
        const std::size_t n = std::min({piece, capacity, response.size() - at});
        response.copy(buffer, n, at);
        at += n;
        return static_cast<long>(n);
    }
    std::string lastErrorText() const override { return "scripted failure"; }
};

struct ScriptedNetwork : platform::Network {
    std::string sent;
    std::string response;
    std::size_t sendLimit = std::string::npos;
    bool failReceive = false;
    bool refuse = false;
    std::string host;
    std::uint16_t port = 0;

    std::unique_ptr<platform::Connection> connect(const std::string& h, std::uint16_t p, int,
                                                  std::string* errorText) override
    {
        host = h;
        port = p;
        if (refuse) {
            *errorText = "Connection refused";
            return nullptr;
        }
        auto c = std::make_unique<ScriptedConnection>();
        c->sent = &sent;
        c->response = response;
        c->sendLimit = sendLimit;
        c->failReceive = failReceive;
        return c;
    }
};

std::string okBody()
{
    Message m;
    m.code = kSuccessfulOk;
    m.group(Tag::OperationGroup).attributes.push_back({"attributes-charset", {Value::string(Tag::Charset, "utf-8")}});
    m.group(Tag::JobGroup).attributes.push_back({"job-id", {Value::integerValue(42)}});
    return *encode(m);
}

std::string request()
{
    Message m;
    m.code = static_cast<std::uint16_t>(Operation::PrintJob);
    m.group(Tag::OperationGroup).attributes.push_back({"attributes-charset", {Value::string(Tag::Charset, "utf-8")}});
    return *encode(m);
}

// Undoes the chunked transfer coding of a request body.
std::string unchunk(std::string_view body, bool* ended)
{
    std::string out;
    *ended = false;
    while (!body.empty()) {
        const auto eol = body.find("\r\n");
        const std::size_t n = std::stoul(std::string(body.substr(0, eol)), nullptr, 16);
        body.remove_prefix(eol + 2);
        if (n == 0) {
            *ended = body == "\r\n";
            break;
        }
        out += body.substr(0, n);
        body.remove_prefix(n + 2);
    }
    return out;
}

TEST(IppClient, PostsTheRequestAndTheDocumentInChunksAndReadsALengthResponse)
{
    ScriptedNetwork net;
    const std::string body = okBody();
    net.response = "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\n"
                   "content-length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    const auto uri = parsePrinterUri("ipp://127.0.0.1:8631/ipp/print");
    ASSERT_TRUE(uri);
    std::string document(200000, '\0');
    for (std::size_t i = 0; i < document.size(); ++i) document[i] = static_cast<char>(i * 31);
    std::size_t offset = 0;
    int reads = 0;
    const DocumentReader reader = [&](char* buf, std::size_t cap) -> long {
        ++reads;
        const std::size_t n = std::min<std::size_t>(cap, document.size() - offset);
        std::copy_n(document.data() + offset, n, buf);
        offset += n;
        return static_cast<long>(n);
    };
    const Exchange ex = exchange(net, *uri, request(), &reader);
    ASSERT_TRUE(ex.response) << ex.error;
    EXPECT_EQ(ex.response->find(Tag::JobGroup, "job-id")->values[0].integer, 42);
    EXPECT_EQ(net.host, "127.0.0.1");
    EXPECT_EQ(net.port, 8631);
    EXPECT_GT(reads, 2);  // read in pieces, not whole

    const auto split = net.sent.find("\r\n\r\n");
    ASSERT_NE(split, std::string::npos);
    const std::string head = net.sent.substr(0, split);
    EXPECT_EQ(head.rfind("POST /ipp/print HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("Transfer-Encoding: chunked"), std::string::npos);
    EXPECT_NE(head.find("Content-Type: application/ipp"), std::string::npos);
    bool ended = false;
    EXPECT_EQ(unchunk(std::string_view(net.sent).substr(split + 4), &ended), request() + document);
    EXPECT_TRUE(ended);
}

TEST(IppClient, ReadsChunkedAndUntilCloseResponses)
{
    const std::string body = okBody();
    ScriptedNetwork chunked;
    chunked.response = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + [&] {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%zx", body.size() - 5);
        return std::string(hex) + ";ext=1\r\n" + body.substr(0, body.size() - 5) + "\r\n5\r\n" +
               body.substr(body.size() - 5) + "\r\n0\r\n\r\n";
    }();
    const PrinterUri uri = *parsePrinterUri("ipp://printer");
    EXPECT_TRUE(exchange(chunked, uri, request(), nullptr).response);

    ScriptedNetwork closing;
    closing.response = "HTTP/1.0 200 OK\r\n\r\n" + body;
    const Exchange ex = exchange(closing, uri, request(), nullptr);
    ASSERT_TRUE(ex.response) << ex.error;
    EXPECT_EQ(closing.port, 631);
}

TEST(IppClient, NamesWhatWentWrong)
{
    const std::string body = okBody();
    const PrinterUri uri = *parsePrinterUri("ipp://printer:631/");
    const struct {
        const char* what;
        std::string response;
        bool failReceive;
        const char* error;
    } cases[] = {
        {"silence", "", false, "no HTTP response"},
        {"HTTP error", "HTTP/1.1 503 Service Unavailable\r\n\r\n", false, "HTTP 503 Service Unavailable"},
        {"garbage", "SSH-2.0-OpenSSH\r\n", false, "not an HTTP response"},
        {"cut body", "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                         body.substr(0, 10), false, "cut off"},
        {"broken chunk size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n", false, "chunk size"},
        {"huge length", "HTTP/1.1 200 OK\r\nContent-Length: 99999999999\r\n\r\n", false, "larger than"},
        {"timeout", "HTTP/1.1 200 OK\r\n", true, "headers are cut off"},
        {"not IPP", "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nabcd", false, "malformed"},
    };
    for (const auto& c : cases) {
        ScriptedNetwork net;
        net.response = c.response;
        net.failReceive = c.failReceive;
        const Exchange ex = exchange(net, uri, request(), nullptr);
        EXPECT_FALSE(ex.response) << c.what;
        EXPECT_NE(ex.error.find(c.error), std::string::npos) << c.what << ": " << ex.error;
    }

    ScriptedNetwork refused;
    refused.refuse = true;
    EXPECT_EQ(exchange(refused, uri, request(), nullptr).error, "cannot connect to printer:631: Connection refused");
}

TEST(IppClient, TakesThePrintersAnswerWhenItStopsReadingAndNeverEndsACutDocument)
{
    // The printer refuses after the headers and closes: its answer is the result.
    ScriptedNetwork net;
    const std::string body = okBody();
    net.response = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    net.sendLimit = 300;
    const DocumentReader endless = [](char* buf, std::size_t cap) -> long {
        std::fill_n(buf, cap, 'x');
        return static_cast<long>(cap);
    };
    const PrinterUri uri = *parsePrinterUri("ipp://printer/");
    EXPECT_TRUE(exchange(net, uri, request(), &endless).response);

    // A document that cannot be read is not ended as if it were whole.
    ScriptedNetwork unread;
    unread.response = net.response;
    int calls = 0;
    const DocumentReader failing = [&](char* buf, std::size_t cap) -> long {
        if (++calls > 1) return -1;
        std::fill_n(buf, std::min<std::size_t>(cap, 10), 'y');
        return 10;
    };
    const Exchange ex = exchange(unread, uri, request(), &failing);
    EXPECT_FALSE(ex.response);
    EXPECT_EQ(ex.error, "the document could not be read");
    EXPECT_EQ(unread.sent.find("0\r\n\r\n"), std::string::npos);
}

TEST(IppClient, ParsesPrinterAddresses)
{
    const auto a = parsePrinterUri("IPP://[::1]:8000/printers/big");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->host, "::1");
    EXPECT_EQ(a->port, 8000);
    EXPECT_EQ(a->resource, "/printers/big");

    const char* bad[] = {"http://printer/", "ipps://printer/", "ipp://", "ipp://:631/", "ipp://printer:0/",
                         "ipp://printer:70000/", "ipp://printer:/", "ipp://printer:12x/", "ipp://user@printer/",
                         "ipp://[::1/", "ipp://printer/a b", "printer"};
    for (const char* uri : bad) {
        std::string why;
        EXPECT_FALSE(parsePrinterUri(uri, &why)) << uri;
        EXPECT_FALSE(why.empty()) << uri;
    }
}

} // namespace
