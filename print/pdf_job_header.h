#pragma once
// A job header in front of PDF data. A program that reads the whole job as
// a PDF file (a PDF interpreter fed the job as it arrives) looks for the PDF
// header only within the first 1024 bytes and takes anything else for
// PostScript. A longer job header therefore goes out in two parts: in front of
// the data the universal exit, every line that is no comment (the variables the
// printer acts on, custom commands) and as many comment entries as fit; after
// the data a second job-control part with the remaining comment entries, in
// their order, ended by a universal exit. A comment entry is a comment line with
// the continuation lines after it; it is never split.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvox {

// Bytes at the start of a job within which the PDF header ("%PDF-") must lie.
inline constexpr std::size_t kPdfHeaderWindow = 1024;

struct HeaderAroundPdf {
    std::string front;  // goes before the data
    std::string back;   // goes after the data
};

// Where the PDF header starts in the first bytes of a print file; nothing when
// they hold none, start with "%!" or hold "%!PS" before it (PostScript).
std::optional<std::size_t> pdfHeaderOffset(std::string_view dataStart);

// The two parts of `header` when it is too long to stand in front of PDF data
// whose header starts at `pdfOffset`; nothing when the whole header fits, when
// it does not start with the universal exit (a custom-only header), or when its
// lines that are no comments alone do not fit (it is then sent as it is).
std::optional<HeaderAroundPdf> splitHeaderAroundPdf(std::string_view header, std::size_t pdfOffset);

// The same for a job file and a print file on disk: reads the start of the
// print file and, when it is PDF, the job file. Nothing when either cannot be
// read, the print file is no PDF, or the header needs no split.
std::optional<HeaderAroundPdf> headerAroundPdf(const std::string& jobFile, const std::string& dataFile);

} // namespace orvox
