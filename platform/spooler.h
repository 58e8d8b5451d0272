#pragma once
// The printer queue as the print output needs it: a queue opened by name takes
// raw documents of one or more pages, written in pieces.
#include <cstddef>
#include <memory>
#include <string>

namespace orvox::platform {

// An open printer queue; destroying the object closes it.
class Printer {
public:
    virtual ~Printer() = default;
    // Starts a document with the data type "RAW" and no output file.
    virtual bool startDocument(const std::string& documentName) = 0;
    virtual bool startPage() = 0;
    // `size` may be 0; the queue gets exactly these bytes.
    virtual bool write(const char* data, std::size_t size) = 0;
    virtual bool endPage() = 0;
    virtual bool endDocument() = 0;
    // The system's text for the error of the last call that failed.
    virtual std::string lastErrorText() const = 0;
};

class Spooler {
public:
    virtual ~Spooler() = default;
    // Opens the queue with no default settings; null when it cannot be opened,
    // and `errorText` (when given) receives the system's text for the reason.
    virtual std::unique_ptr<Printer> open(const std::string& queueName, std::string* errorText) = 0;
};

} // namespace orvox::platform
