#pragma once
// Sends the jobs of a print run to an IPP printer instead of a Windows queue.
// Each job is one Print-Job operation: the job's settings as IPP job
// attributes, the print file (its own driver header cut off, as on the queue
// path) as the document, read in pieces. No PJL header goes to an IPP printer.
// One Get-Printer-Attributes per run learns what the printer supports, so that
// settings it cannot carry out are named to the operator before anything is
// sent.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/network.h"
#include "platform/services.h"
#include "print/ipp_client.h"
#include "print/ipp_message.h"

namespace orvox {

// An IPP printer of the configuration file: the name the operator sees (also
// the name settings, XML PRINTER and the Printers page use) and its address.
struct IppPrinter {
    std::string name;
    std::string uri;
};

// What became of one job sent to an IPP printer.
struct IppJobOutcome {
    bool sent = false;
    int jobId = 0;                     // the printer's job-id, when sent
    std::vector<std::string> ignored;  // attributes the printer ignored or substituted
    std::string error;                 // when not sent: names the printer and the IPP status or error
};

class IppOutput {
public:
    IppOutput(const platform::Services& services, platform::Network& network, IppPrinter printer,
              ipp::ExchangeLimits limits = {});
    ~IppOutput();
    IppOutput(const IppOutput&) = delete;
    IppOutput& operator=(const IppOutput&) = delete;

    const IppPrinter& printer() const { return printer_; }

    // Get-Printer-Attributes, once per run before the first job. False when the
    // printer cannot be asked (bad address, no connection, no answer in time,
    // an IPP error); `error` then names the printer and the reason.
    bool queryPrinter(std::string* error);

    // The settings of the job whose header the job header builder wrote to
    // `jobFile` that the printer does not support, in the operator's words
    // ("saddle stitch", "front cover on Blue 120 g"); empty when it supports
    // them all. Needs a successful queryPrinter.
    std::vector<std::string> unsupportedSettings(const std::string& jobFile) const;

    // Sends one job: `dataFile` as the document (its own driver header cut off
    // unless `modifyPrintFile` says the file is sent as it is), the settings of
    // `jobFile` as job attributes, `jobName` (the print file's name) as
    // job-name. With `dropUnsupported` the attributes named by
    // unsupportedSettings are left out. Nothing of the job stays open or on
    // disk afterwards.
    IppJobOutcome send(const std::string& jobFile, const std::string& dataFile, const std::string& jobName,
                       int modifyPrintFile, bool dropUnsupported);

    // The printer's answer to queryPrinter: its printer attributes; null before
    // a successful query.
    const ipp::Group* printerAttributes() const;

private:
    struct Capabilities;
    const platform::Services& services_;
    platform::Network& network_;
    IppPrinter printer_;
    ipp::ExchangeLimits limits_;
    std::unique_ptr<Capabilities> capabilities_;
};

// The one question before a job whose settings the printer cannot all carry
// out: the printer's name and each setting on a line of its own, asked with
// OK (print without them) and Cancel.
std::string unsupportedSettingsQuestion(const platform::StringSource& strings, const std::string& printerName,
                                        const std::vector<std::string>& settings);

// The name of an IPP status code ("server-error-not-accepting-jobs"), or its
// number in hexadecimal when it has none.
std::string ippStatusName(std::uint16_t status);

} // namespace orvox
