#pragma once
// A PDF file made of the images of consecutive TIFF files. The PDF syntax comes
// from the templates of the resource module; this class knows where each object
// starts, so that finishing the batch can write the page tree, the
// cross-reference table and the trailer that make it a complete PDF file.
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/strings.h"

namespace orvox {

// Result codes of the TIFF conversion.
enum TiffResult : int {
    kTiffOk = 0,
    kTiffNoMemory = 12,
    kTiffFailed = 30,
    kTiffUnreadable = 32,
    kTiffNotConverted = 33,
    kTiffNotBilevel = 34,
    kTiffBadResolution = 35,
    kTiffTiled = 36,
    kTiffDiskFull = 37,
};

// A template with each conversion (%d, %u, %s, with any flags) replaced by the
// next text of `values`, and %% by %. Missing values give empty texts and
// unknown conversions stay as written, so no template can read past the values.
std::string fillTemplate(std::string_view templ, std::initializer_list<std::string> values);

class PdfBatch {
public:
    // The batch is written to `path`; nothing is written before create().
    explicit PdfBatch(std::string path) : path_(std::move(path)) {}

    // Creates the file empty; false when it cannot be created.
    bool create();
    const std::string& path() const { return path_; }
    // Images appended so far; the image counter of the batch.
    int imageCount() const { return imageCount_; }

    // Appends the page tree, the cross-reference table and the trailer; returns
    // 0, or kTiffDiskFull / kTiffFailed when the file cannot be written. A batch
    // without images cannot be finished (kTiffFailed).
    int finish(const platform::StringSource& strings);

    // Appending, used by the TIFF conversion: the file is opened at its end for
    // the time of one append and closed again.
    class Appender;

private:
    friend class Appender;
    std::string path_;
    int imageCount_ = 0;
    // Offset of each object in the file, by object number; 0 for none yet.
    std::vector<std::uint64_t> objectOffsets_;
};

// Object numbers: 1 the catalog, 2 the page tree, then four per image.
struct PdfImageObjects {
    int page;
    int contents;
    int image;
    int length;
    static PdfImageObjects forImage(int imageNumber)
    {
        const int base = 4 * imageNumber - 1;
        return {base, base + 1, base + 2, base + 3};
    }
};

class PdfBatch::Appender {
public:
    explicit Appender(PdfBatch& batch);
    ~Appender();
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;

    // False when the batch file could not be opened.
    bool opened() const { return file_ != nullptr; }
    // Starts the next image: the counter rises by one; returns its number.
    int nextImage() { return ++batch_.imageCount_; }
    int imageNumber() const { return batch_.imageCount_; }
    // Writes a filled template; objects that start in it are recorded.
    // 0, kTiffDiskFull or kTiffFailed.
    int writeTemplate(const std::string& text);
    // Writes raw image data.
    int writeData(const char* data, std::size_t size);
    // Closes the file; 0, kTiffDiskFull or kTiffFailed.
    int close();
    std::uint64_t position() const { return position_; }

private:
    int write(const char* data, std::size_t size);

    PdfBatch& batch_;
    std::FILE* file_ = nullptr;
    std::uint64_t position_ = 0;
};

} // namespace orvox
