#pragma once
// Whether a printer can carry out a job setting, judged from its answer to
// Get-Printer-Attributes: the job attributes it accepts at job creation, the
// values each *-supported attribute lists, the members of the collections it
// takes and the papers of its media database.
#include "print/ipp_job_attributes.h"
#include "print/ipp_message.h"

namespace orvox {

bool printerSupports(const ipp::Group& printer, const IppSetting& setting);

// `value` with the media-key of each paper left out where the printer knows
// no paper of that key: a key is the printer's own name for a paper, and one
// it does not know makes it refuse the job.
ipp::Value withKnownMediaKeys(const ipp::Group& printer, const ipp::Value& value, bool isMediaCol);

// The attributes Get-Printer-Attributes asks for.
const std::vector<std::string>& printerAttributesAsked();

} // namespace orvox
