#pragma once
// Counts the bytes the process holds on the heap, through every allocator
// entry point (libtiff's and the standard library's included), so that a
// benchmark can report the peak of one piece of work. Counting needs the
// optimised build: under the sanitizers, which own malloc, it is off.
#include <cstdint>

namespace orvox::bench {

// False when the build cannot count (a sanitizer build).
bool heapMeterWorks();
// Starts a measurement: the peak is reset to what is held now.
void resetHeapPeak();
// Bytes held at the peak since the last reset, above what was held then.
std::int64_t heapPeakSinceReset();

} // namespace orvox::bench
