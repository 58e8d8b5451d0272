#pragma once
// A spooler that keeps every document in memory, for tests and tools that run
// without a system spooler. Each call can be made to fail.
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/spooler.h"

namespace orvox::platform {

struct SpooledDocument {
    std::string queue;
    std::string name;
    std::string bytes;
    std::vector<std::size_t> writeSizes;  // one entry per write call, also for empty ones
    int pagesStarted = 0;
    int pagesEnded = 0;
    bool ended = false;
};

class MemorySpooler : public Spooler {
public:
    // Calls that fail; `failWriteNumber` n makes the n-th write of a document
    // fail (1-based, 0 for none).
    struct Failures {
        bool startDocument = false;
        bool startPage = false;
        int failWriteNumber = 0;
        bool endPage = false;
        bool endDocument = false;
    };

    void addQueue(const std::string& name) { queues_[name] = true; }
    std::unique_ptr<Printer> open(const std::string& queueName, std::string* errorText) override;

    Failures failures;
    std::vector<SpooledDocument> documents;
    int openPrinters = 0;  // printers opened and not yet closed

private:
    std::map<std::string, bool> queues_;
};

} // namespace orvox::platform
