#include "print/pdf_batch.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "resource.h"

namespace orvox {

namespace {

bool isConversionFlag(char c) { return std::strchr("-+ #0123456789.hlLqjzt", c) != nullptr; }
bool isConversion(char c) { return std::strchr("diuxXcs", c) != nullptr; }

int writeFailure() { return errno == ENOSPC ? kTiffDiskFull : kTiffFailed; }

// "N 0 obj" at the start of a line of `text`: the object numbers a template defines.
void findObjectStarts(const std::string& text, std::vector<std::pair<int, std::size_t>>& starts)
{
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at > 0 && text[at - 1] != '\n' && text[at - 1] != '\r') continue;
        std::size_t end = at;
        long number = 0;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9' && number < 10'000'000)
            number = number * 10 + (text[end++] - '0');
        if (end == at || number <= 0 || number >= 10'000'000) continue;
        if (text.compare(end, 6, " 0 obj") == 0) starts.emplace_back(static_cast<int>(number), at);
    }
}

} // namespace

std::string fillTemplate(std::string_view templ, std::initializer_list<std::string> values)
{
    std::string out;
    out.reserve(templ.size() + 64);
    auto next = values.begin();
    for (std::size_t at = 0; at < templ.size(); ++at) {
        const char c = templ[at];
        if (c != '%') {
            out += c;
            continue;
        }
        if (at + 1 < templ.size() && templ[at + 1] == '%') {
            out += '%';
            ++at;
            continue;
        }
        std::size_t end = at + 1;
        while (end < templ.size() && isConversionFlag(templ[end])) ++end;
        if (end < templ.size() && isConversion(templ[end])) {
            if (next != values.end()) out += *next++;
            at = end;
        } else {
            out += c;
        }
    }
    return out;
}

bool PdfBatch::create()
{
    imageCount_ = 0;
    objectOffsets_.clear();
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    return file && std::fclose(file) == 0;
}

int PdfBatch::finish(const platform::StringSource& strings)
{
    if (imageCount_ == 0) return kTiffFailed;
    Appender out(*this);
    if (!out.opened()) return kTiffFailed;
    std::string kids;
    for (int image = 1; image <= imageCount_; ++image) {
        if (image > 1) kids += ' ';
        kids += std::to_string(PdfImageObjects::forImage(image).page) + " 0 R";
    }
    if (int r = out.writeTemplate(fillTemplate(strings.load(IDS_PDF_PAGE_TREE),
                                               {kids, std::to_string(imageCount_)})))
        return r;

    const std::uint64_t xrefAt = out.position();
    const std::size_t size = std::max<std::size_t>(objectOffsets_.size(), 1);
    // The table's layout is fixed by the PDF standard: 20-byte entries.
    std::string xref = "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f \n";
    char entry[32];
    for (std::size_t object = 1; object < size; ++object) {
        const std::uint64_t offset = objectOffsets_[object];
        std::snprintf(entry, sizeof entry, "%010llu %05d %c \n", static_cast<unsigned long long>(offset),
                      offset ? 0 : 65535, offset ? 'n' : 'f');
        xref += entry;
    }
    if (int r = out.writeData(xref.data(), xref.size())) return r;
    if (int r = out.writeTemplate(fillTemplate(strings.load(IDS_PDF_TRAILER),
                                               {std::to_string(size), std::to_string(xrefAt)})))
        return r;
    return out.close();
}

PdfBatch::Appender::Appender(PdfBatch& batch) : batch_(batch)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(batch.path_, ec);
    if (ec) return;
    position_ = size;
    file_ = std::fopen(batch.path_.c_str(), "ab");
}

PdfBatch::Appender::~Appender()
{
    if (file_) std::fclose(file_);
}

int PdfBatch::Appender::write(const char* data, std::size_t size)
{
    if (!file_) return kTiffFailed;
    errno = 0;
    if (size > 0 && std::fwrite(data, 1, size, file_) != size) return writeFailure();
    position_ += size;
    return kTiffOk;
}

int PdfBatch::Appender::writeTemplate(const std::string& text)
{
    std::vector<std::pair<int, std::size_t>> starts;
    findObjectStarts(text, starts);
    const std::uint64_t at = position_;
    if (int r = write(text.data(), text.size())) return r;
    for (const auto& [number, offset] : starts) {
        if (batch_.objectOffsets_.size() <= static_cast<std::size_t>(number))
            batch_.objectOffsets_.resize(static_cast<std::size_t>(number) + 1, 0);
        batch_.objectOffsets_[static_cast<std::size_t>(number)] = at + offset;
    }
    return kTiffOk;
}

int PdfBatch::Appender::writeData(const char* data, std::size_t size) { return write(data, size); }

int PdfBatch::Appender::close()
{
    if (!file_) return kTiffFailed;
    errno = 0;
    const bool flushed = std::fflush(file_) == 0;
    const int flushFailure = flushed ? kTiffOk : writeFailure();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed) return flushFailure;
    if (!closed) return writeFailure();
    // On a full disk a C runtime may drop the buffered bytes and still report
    // success (Wine's does): the batch must hold every byte appended.
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(batch_.path_, ec);
    if (ec || size != position_) return kTiffDiskFull;
    return kTiffOk;
}

} // namespace orvox
