#include "print/print_file_reader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "print/spooler_output.h"

namespace orvox {

PrintFileReader::PrintFileReader(const std::string& path, const platform::StringSource& strings, bool cutHeader,
                                 bool dropCtrlD)
    : file_(path, "rb")
{
    if (!file_) return;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return;
    first_.resize(kSpoolChunkSize);
    first_.resize(std::fread(first_.data(), 1, first_.size(), file_.get()));
    if (std::ferror(file_.get())) return;
    if (cutHeader) firstAt_ = headerCutEnd(first_, strings);
    const std::uint64_t dataSize = size - std::min<std::uintmax_t>(size, firstAt_);
    if (dropCtrlD) {
        // As on the queue path: the data's first chunk loses its leading
        // Ctrl-D bytes, its last partial chunk its trailing ones.
        const std::size_t limit = std::min(first_.size(), firstAt_ + kSpoolChunkSize);
        std::size_t begin = firstAt_;
        while (begin < limit && first_[begin] == kCtrlD) ++begin;
        lastChunk_ = dataSize - dataSize % kSpoolChunkSize;
        if (lastChunk_ == dataSize) lastChunk_ = UINT64_MAX;  // no partial chunk
        if (begin - firstAt_ > 0 && lastChunk_ != UINT64_MAX) lastChunk_ = std::max<std::uint64_t>(lastChunk_, begin - firstAt_);
        position_ = begin - firstAt_;
        firstAt_ = begin;
    }
    ok_ = true;
}

long PrintFileReader::read(char* buffer, std::size_t capacity)
{
    if (!ok_ || error_) return -1;
    if (tailReady_) {
        const std::size_t n = std::min(capacity, tail_.size() - tailAt_);
        std::memcpy(buffer, tail_.data() + tailAt_, n);
        tailAt_ += n;
        return static_cast<long>(n);
    }
    std::size_t n = 0;
    // The rest of the first chunk, then the file.
    if (firstAt_ < first_.size()) {
        n = std::min(capacity, first_.size() - firstAt_);
        std::memcpy(buffer, first_.data() + firstAt_, n);
        firstAt_ += n;
    } else {
        n = std::fread(buffer, 1, capacity, file_.get());
        if (std::ferror(file_.get())) {
            error_ = true;
            return -1;
        }
    }
    if (n == 0) {
        if (lastChunk_ == UINT64_MAX) return 0;
        while (!tail_.empty() && tail_.back() == kCtrlD) tail_.pop_back();
        tailReady_ = true;
        return read(buffer, capacity);
    }
    if (lastChunk_ != UINT64_MAX && position_ + n > lastChunk_) {
        // The bytes from the last partial chunk on are held back to the end.
        const std::size_t keep = static_cast<std::size_t>(lastChunk_ > position_ ? lastChunk_ - position_ : 0);
        tail_.append(buffer + keep, n - keep);
        position_ += n;
        if (keep > 0) return static_cast<long>(keep);
        return read(buffer, capacity);
    }
    position_ += n;
    return static_cast<long>(n);
}

std::string documentFormatOf(std::string_view head)
{
    const std::size_t pdf = head.substr(0, 1024).find("%PDF-");
    const std::size_t ps = head.find("%!");
    if (pdf != std::string_view::npos && (ps == std::string_view::npos || ps > pdf)) return "application/pdf";
    // Data that still carries its job-control header says its language there.
    const std::size_t enter = head.find("ENTER LANGUAGE");
    if (enter != std::string_view::npos) {
        std::size_t at = enter + 14;
        while (at < head.size() && (head[at] == ' ' || head[at] == '=')) ++at;
        std::string language;
        while (at < head.size() && std::isalpha(static_cast<unsigned char>(head[at])))
            language += static_cast<char>(std::toupper(static_cast<unsigned char>(head[at++])));
        if (language == "POSTSCRIPT") return "application/postscript";
        if (language == "PCL") return "application/vnd.hp-pcl";
        if (language == "PDF") return "application/pdf";
    }
    std::size_t at = 0;
    while (at < head.size() && (head[at] == '\r' || head[at] == '\n' || head[at] == ' ' || head[at] == kCtrlD)) ++at;
    if (head.substr(at, 2) == "%!") return "application/postscript";
    if (at < head.size() && head[at] == '\x1B') return "application/vnd.hp-pcl";
    return {};
}

} // namespace orvox
