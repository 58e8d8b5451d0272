#pragma once
// Whether a printer can carry out a job setting, judged from its answer to
// Get-Printer-Attributes: the job attributes it accepts at job creation, the
// values each *-supported attribute lists, the members of the collections it
// takes and the papers of its media database.
#include "print/ipp_job_attributes.h"
#include "print/ipp_message.h"

namespace orvox {

bool printerSupports(const ipp::Group& printer, const IppSetting& setting);

// `value` as this printer is to get it: the media-key of each paper left out
// where the printer knows no paper of that key (a key is the printer's own
// name for a paper, and one it does not know makes it refuse the job), and a
// paper size within kSizeTolerance of a size the printer lists given as the
// printer's own (the job file has whole points, printers compare sizes
// exactly).
ipp::Value adaptedToPrinter(const ipp::Group& printer, const ipp::Value& value, bool isMediaCol);

// 5 points in hundredths of millimetres: the tolerance of named paper sizes.
inline constexpr int kSizeTolerance = 176;

// The attributes Get-Printer-Attributes asks for.
const std::vector<std::string>& printerAttributesAsked();

} // namespace orvox
