#pragma once
// Test doubles for the IPP output: printer answers built as IPP messages, and
// a network whose connections answer from a script and keep what was sent,
// with the sent HTTP request taken apart into its IPP message and document.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/network.h"
#include "print/ipp_message.h"

namespace orvox::ipptest {

inline ipp::Attribute keywords(std::string name, std::vector<std::string> values, ipp::Tag tag = ipp::Tag::Keyword)
{
    ipp::Attribute a{std::move(name), {}};
    for (auto& v : values) a.values.push_back(ipp::Value::string(tag, v));
    return a;
}

inline ipp::Attribute enums(std::string name, std::vector<int> values)
{
    ipp::Attribute a{std::move(name), {}};
    for (int v : values) a.values.push_back(ipp::Value::enumValue(v));
    return a;
}

inline ipp::Attribute yes(std::string name) { return {std::move(name), {ipp::Value::boolean(true)}}; }

inline ipp::Value paperEntry(int x, int y, int weight, const std::string& colour, const std::string& type)
{
    using ipp::Value;
    return Value::collection({{"media-size", {Value::collection({{"x-dimension", {Value::integerValue(x)}},
                                                                 {"y-dimension", {Value::integerValue(y)}}})}},
                              {"media-weight-metric", {Value::integerValue(weight)}},
                              {"media-color", {Value::string(ipp::Tag::Keyword, colour)}},
                              {"media-type", {Value::string(ipp::Tag::Keyword, type)}}});
}

// A response message with the given status and groups.
inline std::string httpAnswer(std::uint16_t status, std::vector<ipp::Group> groups = {})
{
    ipp::Message m;
    m.code = status;
    ipp::Group op{ipp::Tag::OperationGroup,
                  {{"attributes-charset", {ipp::Value::string(ipp::Tag::Charset, "utf-8")}},
                   {"attributes-natural-language", {ipp::Value::string(ipp::Tag::NaturalLanguage, "en")}}}};
    m.groups.push_back(op);
    for (auto& g : groups) m.groups.push_back(std::move(g));
    const std::string body = *ipp::encode(m);
    return "HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
}

// What one connection is to do.
struct Script {
    std::string answer;                       // bytes the printer answers with
    std::size_t sendLimit = std::string::npos; // sending breaks after this many bytes
    bool receiveFails = false;                // after the answer: -1 (a broken connection or a time-out)
    std::string failureText = "timed out";
};

class ScriptedPrinter : public platform::Network {
public:
    std::deque<Script> scripts;
    std::vector<std::string> requests;  // the bytes sent on each connection
    bool refuse = false;
    int open = 0;  // connections not yet closed

    std::unique_ptr<platform::Connection> connect(const std::string&, std::uint16_t, int, std::string* errorText) override
    {
        if (refuse || scripts.empty()) {
            if (errorText) *errorText = "Connection refused";
            return nullptr;
        }
        requests.emplace_back();
        auto c = std::make_unique<Connection>(*this, requests.size() - 1, scripts.front());
        scripts.pop_front();
        return c;
    }

private:
    class Connection : public platform::Connection {
    public:
        Connection(ScriptedPrinter& owner, std::size_t index, Script script)
            : owner_(owner), index_(index), script_(std::move(script))
        {
            ++owner_.open;
        }
        ~Connection() override { --owner_.open; }
        bool send(const char* data, std::size_t size) override
        {
            std::string& sent = owner_.requests[index_];
            if (sent.size() + size > script_.sendLimit) return false;
            sent.append(data, size);
            return true;
        }
        long receive(char* buffer, std::size_t capacity) override
        {
            if (at_ == script_.answer.size()) return script_.receiveFails ? -1 : 0;
            const std::size_t n = std::min(capacity, script_.answer.size() - at_);
            script_.answer.copy(buffer, n, at_);
            at_ += n;
            return static_cast<long>(n);
        }
        std::string lastErrorText() const override { return script_.failureText; }

    private:
        ScriptedPrinter& owner_;
        std::size_t index_;
        Script script_;
        std::size_t at_ = 0;
    };
};

// A sent request taken apart: its IPP message and the document after it.
struct SentRequest {
    bool ok = false;
    ipp::Message message;
    std::string document;
};

inline SentRequest takeApart(const std::string& http)
{
    SentRequest out;
    std::size_t at = http.find("\r\n\r\n");
    if (at == std::string::npos) return out;
    at += 4;
    std::string body;
    for (;;) {
        const std::size_t eol = http.find("\r\n", at);
        if (eol == std::string::npos) return out;
        const std::size_t n = std::stoul(http.substr(at, eol - at), nullptr, 16);
        if (n == 0) break;
        body += http.substr(eol + 2, n);
        at = eol + 2 + n + 2;
    }
    const ipp::DecodeResult decoded = ipp::decode(body);
    if (!decoded.message) return out;
    out.message = *decoded.message;
    out.document = body.substr(decoded.used);
    out.ok = true;
    return out;
}

} // namespace orvox::ipptest
