#pragma once
// A print file read front to back in pieces as a document for the network:
// the header the file carries is cut off exactly as the queue path cuts it
// (headerCutEnd) and end-of-job bytes are dropped where the queue path drops
// them, without a copy on disk and without the file whole in memory.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/strings.h"
#include "print/stdio_file.h"

namespace orvox {

class PrintFileReader {
public:
    // `cutHeader` cuts the file's own header; `dropCtrlD` drops Ctrl-D bytes at
    // the start of the data and at the end of its last partial 2048-byte chunk.
    PrintFileReader(const std::string& path, const platform::StringSource& strings, bool cutHeader, bool dropCtrlD);

    // False when the file cannot be opened or its start cannot be read.
    bool ok() const { return ok_; }
    // The first bytes of the data as it will be sent (up to 2048), to tell its format.
    std::string_view head() const { return std::string_view(first_).substr(firstAt_); }
    // The next bytes of the data: the count, 0 at its end, -1 when the file
    // cannot be read.
    long read(char* buffer, std::size_t capacity);

private:
    bool refill();

    StdioFile file_;
    bool ok_ = false;
    std::string first_;          // the first chunk as read
    std::size_t firstAt_ = 0;    // where the data starts in it
    std::uint64_t position_ = 0; // bytes of the data handed out or held back so far
    std::uint64_t lastChunk_ = UINT64_MAX;  // where the data's last partial chunk starts
    std::string tail_;           // the last partial chunk, held back to drop its Ctrl-D bytes
    bool tailReady_ = false;
    std::size_t tailAt_ = 0;
    bool error_ = false;
};

// The document format of print data from its first bytes, or empty when they
// do not tell: application/pdf, application/postscript, application/vnd.hp-pcl.
std::string documentFormatOf(std::string_view head);

} // namespace orvox
