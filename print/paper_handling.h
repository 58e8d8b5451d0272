#pragma once
// The paper handling block of a full job header: covers, separator sheets,
// interleaves, chapter starts, page exceptions (pages on another paper) and
// inserts (sheets placed between pages without being printed on).
#include <cstdint>

#include "print/header_writer.h"

namespace orvox {

// Writes the block through `writer` and fills its insert list with the
// inserted covers. 0; 1 when a page list could not be rewritten; 2 when a
// write failed. Segments written before a failure stay in the file.
std::int16_t writePaperHandling(HeaderWriter& writer);

} // namespace orvox
