#pragma once
// The IPP printers of the configuration file. Their section (resource string
// IDS_IPP_PRINTERS_SECTION, "IppPrinters") holds one entry per printer:
//
//     [IppPrinters]
//     Finishing line=ipp://printhost:631/ipp/print
//
// The key is the name the operator sees on the Printers page, the name XML
// PRINTER and the print run use; the value is the printer's ipp:// address. An
// entry that cannot be used is not listed, and the list carries one text per
// such line (its number, its text and why) for the one message that names them.
#include <string>
#include <string_view>
#include <vector>

#include "platform/strings.h"
#include "print/ipp_output.h"

namespace orvox {

struct IppPrinterList {
    std::vector<IppPrinter> printers;  // in the order of the file
    std::string rejected;              // the message naming every line not listed; empty when none
};

// Reads the section from `configFile`; a missing file or section lists nothing.
IppPrinterList readIppPrinters(const std::string& configFile, const platform::StringSource& strings);

// The same from the file's text (`text` as read, any line ends).
IppPrinterList parseIppPrinters(std::string_view text, const platform::StringSource& strings);

// The printer of that name (ignoring case, as printer names compare), or null.
const IppPrinter* findIppPrinter(const std::vector<IppPrinter>& printers, std::string_view name);

} // namespace orvox
