#pragma once
// Sends one job to an open printer queue: the job file, then the print file, as
// the raw bytes of one spooler document of one page. Before the print file goes
// out, a header it already carries can be cut off (so that this system's job
// header is the one that counts) and end-of-job bytes (Ctrl-D, 0x04) at its
// start and end can be dropped.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/services.h"
#include "platform/spooler.h"

namespace orvox {

inline constexpr std::size_t kSpoolChunkSize = 2048;
// Files are read and cut in chunks, but consecutive chunks reach the queue
// together, in writes of at most this many bytes: each spooler call costs far
// more than copying the bytes it carries.
inline constexpr std::size_t kSpoolWriteSize = 32 * kSpoolChunkSize;
inline constexpr char kCtrlD = '\x04';

// `modifyPrintFile` values of the job settings.
inline constexpr int kModifyPrintFileNo = 2;

// The remove-Ctrl-D switch of the Custom options page: process-wide, not part of
// any document, off at start.
bool removeCtrlD();
void setRemoveCtrlD(bool on);

// Where a header marker is found in `chunk` at or after `from`: the marker's
// characters but its last must match there, and the match covers the whole
// marker. Returns the position just after the match, never beyond the chunk.
// An empty marker is never found.
std::optional<std::size_t> findHeaderMarker(std::string_view chunk, std::size_t from, std::string_view marker);

// Where the print data starts after the header a print file carries, found in
// the file's first kSpoolChunkSize bytes (only a header that ends within them
// is cut); 0 when there is no header to cut.
std::size_t headerCutEnd(std::string_view firstChunk, const platform::StringSource& strings);

class SpoolerOutput {
public:
    // `copyPrefix` names the temporary header-stripped copies (the branding
    // value Extension).
    SpoolerOutput(const platform::Services& services, std::string copyPrefix)
        : services_(services), copyPrefix_(std::move(copyPrefix))
    {
    }

    // True when the print file's data went out completely; failures to start
    // the document or to send the job file have been reported to the user.
    bool send(const std::string& jobFile, const std::string& dataFile, platform::Printer& printer,
              int modifyPrintFile);

    // A copy of `dataFile` from which the header it carries has been cut, in a
    // new temporary file; empty when the file carries no header or the copy
    // could not be made (the caller then sends the file itself).
    std::string makeHeaderStrippedCopy(const std::string& dataFile);

private:
    platform::Services services_;  // references to the platform objects, copied
    std::string copyPrefix_;
};

// Copies a file to the printer, read in chunks of kSpoolChunkSize bytes and
// written in gathered runs of them; false when the file cannot be read or
// closed, or a write fails.
bool copyFileToPrinter(const std::string& path, platform::Printer& printer, bool dropCtrlD);

// Writes bytes to the printer in chunks of at most kSpoolChunkSize; false when a write fails.
bool writeToPrinter(std::string_view bytes, platform::Printer& printer);

} // namespace orvox
