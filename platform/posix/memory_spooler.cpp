#include "platform/posix/memory_spooler.h"

namespace orvox::platform {

namespace {

constexpr const char* kInjectedFailure = "The spooler refused the call.";

class MemoryPrinter : public Printer {
public:
    MemoryPrinter(MemorySpooler& spooler, std::string queue) : spooler_(spooler), queue_(std::move(queue))
    {
        ++spooler_.openPrinters;
    }
    ~MemoryPrinter() override { --spooler_.openPrinters; }
    MemoryPrinter(const MemoryPrinter&) = delete;
    MemoryPrinter& operator=(const MemoryPrinter&) = delete;

    bool startDocument(const std::string& documentName) override
    {
        if (spooler_.failures.startDocument || document_) return fail();
        spooler_.documents.push_back({queue_, documentName, {}, {}, 0, 0, false});
        document_ = spooler_.documents.size();
        return true;
    }
    bool startPage() override
    {
        if (spooler_.failures.startPage || !document_) return fail();
        ++current().pagesStarted;
        return true;
    }
    bool write(const char* data, std::size_t size) override
    {
        if (!document_) return fail();
        SpooledDocument& doc = current();
        doc.writeSizes.push_back(size);
        if (static_cast<int>(doc.writeSizes.size()) == spooler_.failures.failWriteNumber) return fail();
        doc.bytes.append(data, size);
        return true;
    }
    bool endPage() override
    {
        if (spooler_.failures.endPage || !document_) return fail();
        ++current().pagesEnded;
        return true;
    }
    bool endDocument() override
    {
        if (spooler_.failures.endDocument || !document_) return fail();
        current().ended = true;
        document_ = 0;
        return true;
    }
    std::string lastErrorText() const override { return lastError_; }

private:
    bool fail()
    {
        lastError_ = kInjectedFailure;
        return false;
    }
    // By index: the spooler's list may grow while this document is open.
    SpooledDocument& current() { return spooler_.documents[document_ - 1]; }

    MemorySpooler& spooler_;
    std::string queue_;
    std::size_t document_ = 0;  // 1-based index of the open document, 0 for none
    std::string lastError_;
};

} // namespace

std::unique_ptr<Printer> MemorySpooler::open(const std::string& queueName, std::string* errorText)
{
    if (!queues_.count(queueName)) {
        if (errorText) *errorText = "The printer name is invalid.";
        return nullptr;
    }
    return std::make_unique<MemoryPrinter>(*this, queueName);
}

} // namespace orvox::platform
