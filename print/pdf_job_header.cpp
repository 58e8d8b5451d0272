#include "print/pdf_job_header.h"

#include <cstdio>
#include <vector>

#include "print/stdio_file.h"

namespace orvox {

namespace {

constexpr std::string_view kUniversalExit = "\x1B%-12345X";
constexpr std::string_view kPdfMagic = "%PDF-";
// A job file longer than this is no header this system writes; it is sent as it is.
constexpr long kLargestHeader = 1024 * 1024;

bool isWhite(char c) { return c == ' ' || c == '\t'; }

// The words of a job-control line after "@PJL" and its white space.
std::string_view commandWords(std::string_view line)
{
    if (line.substr(0, 4) != "@PJL") return {};
    std::size_t at = 4;
    while (at < line.size() && isWhite(line[at])) ++at;
    return line.substr(at);
}

bool isComment(std::string_view line)
{
    const std::string_view words = commandWords(line);
    return words.substr(0, 7) == "COMMENT" && (words.size() == 7 || isWhite(words[7]));
}

bool isContinuation(std::string_view line)
{
    if (!isComment(line)) return false;
    std::string_view rest = commandWords(line).substr(7);
    while (!rest.empty() && isWhite(rest.front())) rest.remove_prefix(1);
    return rest.substr(0, 2) == "+=";
}

// The header's lines, each with its line feed.
std::vector<std::string_view> linesOf(std::string_view header)
{
    std::vector<std::string_view> lines;
    while (!header.empty()) {
        const std::size_t end = header.find('\n');
        const std::size_t length = end == std::string_view::npos ? header.size() : end + 1;
        lines.push_back(header.substr(0, length));
        header.remove_prefix(length);
    }
    return lines;
}

} // namespace

std::optional<std::size_t> pdfHeaderOffset(std::string_view dataStart)
{
    dataStart = dataStart.substr(0, kPdfHeaderWindow);
    // A file that starts as PostScript ("%!" after leading white space) is PostScript.
    std::size_t first = 0;
    while (first < dataStart.size() && static_cast<unsigned char>(dataStart[first]) <= 0x20) ++first;
    if (dataStart.substr(first, 2) == "%!") return std::nullopt;
    const std::size_t magic = dataStart.find(kPdfMagic);
    if (magic == std::string_view::npos) return std::nullopt;
    if (dataStart.substr(0, magic).find("%!PS") != std::string_view::npos) return std::nullopt;
    return magic;
}

std::optional<HeaderAroundPdf> splitHeaderAroundPdf(std::string_view header, std::size_t pdfOffset)
{
    if (header.size() + pdfOffset + kPdfMagic.size() <= kPdfHeaderWindow) return std::nullopt;
    if (header.substr(0, kUniversalExit.size()) != kUniversalExit) return std::nullopt;
    if (pdfOffset + kPdfMagic.size() >= kPdfHeaderWindow) return std::nullopt;
    const std::size_t room = kPdfHeaderWindow - pdfOffset - kPdfMagic.size();

    // A last line without its line feed gets one, in whichever part it goes.
    std::string text(header);
    if (text.back() != '\n') text += '\n';
    const std::vector<std::string_view> lines = linesOf(text);
    // The opening line and every line that is no comment stay in front.
    std::size_t fixed = lines.front().size();
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (!isComment(lines[i])) fixed += lines[i].size();
    if (fixed > room) return std::nullopt;

    HeaderAroundPdf parts;
    parts.front = lines.front();
    std::string deferred;
    std::size_t used = fixed;
    for (std::size_t i = 1; i < lines.size();) {
        if (!isComment(lines[i])) {
            parts.front += lines[i++];
            continue;
        }
        // One entry: the comment line and the continuation lines after it.
        std::size_t end = i + 1;
        while (end < lines.size() && isContinuation(lines[end])) ++end;
        std::string entry;
        for (std::size_t j = i; j < end; ++j) entry += lines[j];
        // Once an entry waits for the back part, the later ones follow it, so
        // that a reader finds the entries in the order they were written.
        if (deferred.empty() && used + entry.size() <= room) {
            parts.front += entry;
            used += entry.size();
        } else {
            deferred += entry;
        }
        i = end;
    }
    if (deferred.empty()) return std::nullopt;
    parts.back = std::string(kUniversalExit) + "@PJL\n" + deferred + std::string(kUniversalExit);
    return parts;
}

std::optional<HeaderAroundPdf> headerAroundPdf(const std::string& jobFile, const std::string& dataFile)
{
    std::string start(kPdfHeaderWindow, '\0');
    {
        StdioFile data(dataFile, "rb");
        if (!data) return std::nullopt;
        start.resize(std::fread(start.data(), 1, start.size(), data.get()));
    }
    const auto offset = pdfHeaderOffset(start);
    if (!offset) return std::nullopt;
    StdioFile job(jobFile, "rb");
    if (!job) return std::nullopt;
    std::string header;
    char buffer[4096];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, job.get());
        header.append(buffer, got);
        if (header.size() > static_cast<std::size_t>(kLargestHeader)) return std::nullopt;
        if (got < sizeof buffer) break;
    }
    if (std::ferror(job.get())) return std::nullopt;
    return splitHeaderAroundPdf(header, *offset);
}

} // namespace orvox
