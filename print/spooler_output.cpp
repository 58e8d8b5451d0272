#include "print/spooler_output.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "print/pdf_job_header.h"
#include "print/stdio_file.h"
#include "resource.h"

namespace orvox {

namespace {

std::atomic<bool> removeCtrlDSwitch{false};

constexpr const char* kJobFileFailed = "Failed to print file:";
constexpr std::size_t kFileBufferSize = 64 * 1024;

std::size_t skipLineBreaksAndBlanks(std::string_view chunk, std::size_t at)
{
    while (at < chunk.size() && (chunk[at] == '\r' || chunk[at] == '\n' || chunk[at] == ' ')) ++at;
    return at;
}

// The document name a queue shows: the file name without its folder.
std::string documentName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Lets go of a run file and removes it when the send is over, whichever way it ends.
class TemporaryFile {
public:
    TemporaryFile(platform::FileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!path_.empty()) files_.releaseRunFile(path_, false);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const { return path_; }
    void release() { path_.clear(); }

private:
    platform::FileSystem& files_;
    std::string path_;
};

// Files are still read and written chunk by chunk, but the C library moves
// them to and from the system in larger blocks: fewer system calls.
void bufferGenerously(StdioFile& file)
{
    std::setvbuf(file.get(), nullptr, _IOFBF, kFileBufferSize);
}

} // namespace

bool removeCtrlD() { return removeCtrlDSwitch.load(); }
void setRemoveCtrlD(bool on) { removeCtrlDSwitch.store(on); }

std::optional<std::size_t> findHeaderMarker(std::string_view chunk, std::size_t from, std::string_view marker)
{
    if (marker.empty()) return std::nullopt;
    // The marker's last character is a wildcard: it stands for whatever byte
    // ends the header line (a blank, an equals sign, a line break).
    const std::string_view compared = marker.substr(0, marker.size() - 1);
    for (std::size_t at = from; at < chunk.size() && chunk.size() - at >= compared.size(); ++at) {
        if (chunk.compare(at, compared.size(), compared) == 0)
            return std::min(at + marker.size(), chunk.size());
    }
    return std::nullopt;
}

std::size_t headerCutEnd(std::string_view firstChunk, const platform::StringSource& strings)
{
    // Only a header that ends within the first chunk is cut.
    const std::string_view chunk = firstChunk.substr(0, kSpoolChunkSize);
    std::size_t at = skipLineBreaksAndBlanks(chunk, 0);
    if (!findHeaderMarker(chunk, at, strings.load(IDS_HEADER_MARKER_START))) return 0;
    const auto afterEnd = findHeaderMarker(chunk, at, strings.load(IDS_HEADER_MARKER_END));
    if (!afterEnd) return 0;
    at = *afterEnd;
    if (const auto afterTail = findHeaderMarker(chunk, at, strings.load(IDS_HEADER_MARKER_TAIL1)))
        at = skipLineBreaksAndBlanks(chunk, *afterTail);
    if (const auto afterTail = findHeaderMarker(chunk, at, strings.load(IDS_HEADER_MARKER_TAIL2)))
        at = skipLineBreaksAndBlanks(chunk, *afterTail);
    return at;
}

bool copyFileToPrinter(const std::string& path, platform::Printer& printer, bool dropCtrlD)
{
    if (path.empty()) return false;
    StdioFile file(path, "rb");
    if (!file) return false;
    bufferGenerously(file);
    // The file is read in runs of whole 2048-byte chunks, as many as fit into
    // the free end of a larger buffer, and the chunk rules hold as if each
    // chunk were read alone: Ctrl-D bytes go only at the start of the first
    // chunk and at the end of a last, partial one. The queue gets the buffer
    // when it is full, and what is left at the end: the same bytes in the same
    // order, in a few large writes.
    std::vector<char> gathered(kSpoolWriteSize);
    std::size_t filled = 0;
    bool first = true;
    for (;;) {
        std::size_t room = (gathered.size() - filled) / kSpoolChunkSize * kSpoolChunkSize;
        if (room == 0) {
            if (!printer.write(gathered.data(), filled)) return false;
            filled = 0;
            room = gathered.size();
        }
        char* run = gathered.data() + filled;
        const std::size_t got = std::fread(run, 1, room, file.get());
        if (std::ferror(file.get())) {
            // What was read before this run reaches the queue.
            if (filled > 0) printer.write(gathered.data(), filled);
            return false;
        }
        // A run shorter than asked for ends the file; its partial chunk is the
        // last one (an empty one when the file ends on a chunk boundary).
        const bool last = got < room;
        std::size_t begin = 0;
        std::size_t end = got;
        if (dropCtrlD && first)
            while (begin < std::min(end, kSpoolChunkSize) && run[begin] == kCtrlD) ++begin;
        if (dropCtrlD && last) {
            const std::size_t lastChunk = std::max(begin, got - got % kSpoolChunkSize);
            while (end > lastChunk && run[end - 1] == kCtrlD) --end;
        }
        if (begin > 0) std::memmove(run, run + begin, end - begin);
        filled += end - begin;
        first = false;
        if (last) break;
    }
    // The last write goes out even when it is empty, as the last chunk did.
    if (!printer.write(gathered.data(), filled)) return false;
    return file.close();
}

std::string SpoolerOutput::makeHeaderStrippedCopy(const std::string& dataFile)
{
    StdioFile in(dataFile, "rb");
    if (!in) return {};
    bufferGenerously(in);
    std::vector<char> buffer(kSpoolChunkSize);
    // The first chunk says whether there is a header to cut: a file without one
    // (most are) costs one read and no temporary file.
    std::size_t got = std::fread(buffer.data(), 1, buffer.size(), in.get());
    if (std::ferror(in.get())) return {};
    std::size_t from = headerCutEnd(std::string_view(buffer.data(), got), services_.strings);
    if (from == 0) return {};
    TemporaryFile copy(services_.files, services_.files.newRunFile(copyPrefix_));
    if (copy.path().empty()) return {};
    {
        StdioFile out(copy.path(), "wb");
        if (!out) return {};
        bufferGenerously(out);
        for (;;) {
            if (got > from && std::fwrite(buffer.data() + from, 1, got - from, out.get()) != got - from) return {};
            if (got < buffer.size()) break;
            got = std::fread(buffer.data(), 1, buffer.size(), in.get());
            if (std::ferror(in.get())) return {};
            from = 0;
        }
        if (!in.close() || !out.closeWritten(copy.path())) return {};
    }
    // The copy is the caller's now; it deletes it after the send.
    std::string path = copy.path();
    copy.release();
    return path;
}

bool writeToPrinter(std::string_view bytes, platform::Printer& printer)
{
    do {
        const std::size_t size = std::min(bytes.size(), kSpoolChunkSize);
        if (!printer.write(bytes.data(), size)) return false;
        bytes.remove_prefix(size);
    } while (!bytes.empty());
    return true;
}

bool SpoolerOutput::send(const std::string& jobFile, const std::string& dataFile, platform::Printer& printer,
                         int modifyPrintFile)
{
    // A print file that was deleted or locked since it was listed fails the send
    // before anything reaches the queue: the printer never gets a job header
    // without its data.
    if (!StdioFile(dataFile, "rb")) return false;
    if (!printer.startDocument(documentName(dataFile))) {
        services_.messages.show(services_.strings.load(IDS_PRINT_START_FAILED) + "\n\n" + printer.lastErrorText(),
                                platform::kMbIconStop);
        return false;
    }
    if (!printer.startPage()) {
        printer.endDocument();
        return false;
    }
    const bool modify = modifyPrintFile != kModifyPrintFileNo;
    TemporaryFile stripped(services_.files, modify ? makeHeaderStrippedCopy(dataFile) : std::string());
    const std::string& data = stripped.path().empty() ? dataFile : stripped.path();
    // Before PDF data a long header is sent in two parts, the second after the data.
    const std::optional<HeaderAroundPdf> around = modify ? headerAroundPdf(jobFile, data) : std::nullopt;
    if (modify && !(around ? writeToPrinter(around->front, printer) : copyFileToPrinter(jobFile, printer, false))) {
        services_.messages.show(std::string(kJobFileFailed) + "\n\n[" + dataFile + "]", platform::kMbOk);
        printer.endPage();
        printer.endDocument();
        return false;
    }
    bool sent = copyFileToPrinter(data, printer, removeCtrlD());
    if (sent && around) sent = writeToPrinter(around->back, printer);
    // A document the spooler did not accept at its end has not been printed.
    const bool pageEnded = printer.endPage();
    const bool documentEnded = printer.endDocument();
    return sent && pageEnded && documentEnded;
}

} // namespace orvox
