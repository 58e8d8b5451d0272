#include "print/tiff_to_pdf.h"

#include <tiffio.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "resource.h"

namespace orvox {

namespace {

// libtiff's own messages would go to a console nobody reads; failures reach the
// user as this part's result codes instead.
int quietHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Bounds what a malformed file can make libtiff allocate at once.
constexpr tmsize_t kMaxTiffAllocation = tmsize_t(512) * 1024 * 1024;

// The re-encoding's output buffer and the pieces the strip is copied in: a
// page of any length converts in the same small memory.
constexpr tmsize_t kReencodeWriteBuffer = 64 * 1024;
constexpr std::uint64_t kStripCopyChunk = 64 * 1024;

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

TiffHandle openTiff(const std::string& path, const char* mode)
{
    static std::once_flag silenced;
    std::call_once(silenced, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, quietHandler, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, quietHandler, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxTiffAllocation);
    TIFF* tiff = TIFFOpenExt(path.c_str(), mode, options);
    TIFFOpenOptionsFree(options);
    return TiffHandle(tiff);
}

// Page size in points for a pixel count at a resolution, to 1/10000 point.
std::string pointsText(std::uint32_t pixels, int dpi)
{
    const std::uint64_t tenThousandths = (std::uint64_t(pixels) * 72 * 10000 + std::uint64_t(dpi) / 2) / std::uint64_t(dpi);
    std::string fraction = std::to_string(tenThousandths % 10000);
    fraction.insert(0, 4 - fraction.size(), '0');
    return std::to_string(tenThousandths / 10000) + "." + fraction;
}

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

int pageRotation(int orientation, std::uint32_t width, std::uint32_t length)
{
    const bool portrait = width <= length;
    switch (orientation) {
    case ORIENTATION_BOTRIGHT: return portrait ? 180 : 90;
    case ORIENTATION_RIGHTTOP: return portrait ? 0 : 90;
    case ORIENTATION_LEFTBOT: return portrait ? 180 : 270;
    default: return portrait ? 0 : 270;
    }
}

float singlePrecisionProduct(float a, float b)
{
    // The 32-bit build multiplies on the x87 stack and would compare the wider
    // result as it stands (236.22047 px/cm times 2.54 is 599.9999956 there, not
    // 600). The store to a float in memory is the one rounding: the product of
    // two 24-bit mantissas is exact in the x87 register (also at a host's 53-bit
    // precision setting), so the stored float is the correctly rounded product,
    // the same as the 64-bit build's single-precision multiplication gives.
    volatile float product = a * b;
    return product;
}

int acceptedDpi(float x, float y, int unit)
{
    static constexpr float kCentimetresPerInch = 2.54f;
    if (unit == RESUNIT_CENTIMETER) {
        x = singlePrecisionProduct(x, kCentimetresPerInch);
        y = singlePrecisionProduct(y, kCentimetresPerInch);
    }
    if (x != y) return 0;
    for (int dpi : {600, 406, 300, 200, 150})
        if (x == static_cast<float>(dpi)) return dpi;
    return 0;
}

bool acceptedResolution(float x, float y, int unit) { return acceptedDpi(x, y, unit) != 0; }

// One append: the TIFF file, the re-encoding file and the open batch, all
// released when the object goes, whichever way the conversion ends.
class TiffToPdf::Conversion {
public:
    Conversion(TiffToPdf& owner, PdfBatch& batch, std::string tiffPath)
        : owner_(owner), out_(batch), tiffPath_(std::move(tiffPath))
    {
    }
    ~Conversion()
    {
        reencoded_.reset();
        if (!reencodePath_.empty()) owner_.services_.files.releaseRunFile(reencodePath_, owner_.keepTempFiles_);
    }
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    int run();

private:
    struct Image {
        std::uint32_t width = 0;
        std::uint32_t length = 0;
        std::uint16_t photometric = 0;
        int dpi = 0;
        int rotation = 0;
        std::uint64_t bytes = 0;  // at 1 bit per pixel
    };

    int readImage(Image& image);
    int reencode(const Image& image, bool tight, std::uint64_t available);
    int writeImage(const Image& image, TIFF* stripSource, const std::string& stripPath);
    int copyStrip(TIFF* source, const std::string& sourcePath, std::uint64_t& written);
    std::uint64_t freeSpace() const;
    int writeTemplate(unsigned id, std::initializer_list<std::string> values)
    {
        return out_.writeTemplate(fillTemplate(owner_.services_.strings.load(id), values));
    }

    TiffToPdf& owner_;
    PdfBatch::Appender out_;
    std::string tiffPath_;
    TiffHandle source_;
    std::string reencodePath_;
    TiffHandle reencoded_;
};

std::uint64_t TiffToPdf::Conversion::freeSpace() const
{
    const auto& files = owner_.services_.files;
    const std::uint64_t free = files.freeDiskSpace(files.tempFolder()).value_or(0);
    return std::min<std::uint64_t>(free, 0xFFFFFFFFu);
}

int TiffToPdf::Conversion::run()
{
    source_ = openTiff(tiffPath_, "r");
    if (!source_) return kTiffUnreadable;
    if (!out_.opened()) return kTiffFailed;
    TIFF* tiff = source_.get();
    for (;;) {
        Image image;
        if (int r = readImage(image)) return r;
        std::uint16_t compression = COMPRESSION_NONE, fillOrder = FILLORDER_MSB2LSB;
        std::uint32_t t6Options = 0;
        TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_FILLORDER, &fillOrder);
        if (compression == COMPRESSION_CCITTFAX4) TIFFGetField(tiff, TIFFTAG_T6OPTIONS, &t6Options);
        const bool stripUsable = compression == COMPRESSION_CCITTFAX4 && TIFFNumberOfStrips(tiff) == 1 &&
                                 t6Options == 0 && fillOrder == FILLORDER_MSB2LSB;
        if (stripUsable) {
            if (int r = writeImage(image, tiff, tiffPath_)) return r;
        } else {
            const std::uint64_t free = freeSpace();
            if (free < kTempDiskReserve) return kTiffDiskFull;
            const std::uint64_t available = free - kTempDiskReserve;
            const std::uint64_t estimate = (9 * image.bytes + 1) / 2 + 250;
            if (int r = reencode(image, estimate > available, available)) return r;
            const int r = writeImage(image, reencoded_.get(), reencodePath_);
            reencoded_.reset();
            if (r) return r;
        }
        if (TIFFLastDirectory(tiff)) break;
        if (!TIFFReadDirectory(tiff)) return kTiffUnreadable;
    }
    return out_.close();
}

int TiffToPdf::Conversion::readImage(Image& image)
{
    TIFF* tiff = source_.get();
    out_.nextImage();
    std::uint16_t samples = 1, bits = 1;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &image.photometric)) return kTiffUnreadable;
    if (bits > 1 || samples > 1 || image.photometric == PHOTOMETRIC_RGB || image.photometric == PHOTOMETRIC_PALETTE)
        return kTiffNotBilevel;
    if (TIFFIsTiled(tiff)) return kTiffTiled;

    float x = 0, y = 0;
    std::uint16_t unit = 0;
    if (!TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x) || !TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y) ||
        !TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &unit))
        return kTiffUnreadable;
    image.dpi = acceptedDpi(x, y, unit);
    if (image.dpi == 0) return kTiffBadResolution;

    // An image without rows or columns has nothing to print, and would make
    // the per-row space estimate divide by zero.
    if (!TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &image.length) || !TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &image.width) ||
        image.length == 0 || image.width == 0)
        return kTiffUnreadable;
    // 64-bit: the size of a large image does not wrap around.
    image.bytes = (std::uint64_t(image.width) * image.length + 7) / 8;
    std::uint16_t orientation = 0;
    TIFFGetField(tiff, TIFFTAG_ORIENTATION, &orientation);
    image.rotation = pageRotation(orientation, image.width, image.length);
    return kTiffOk;
}

int TiffToPdf::Conversion::reencode(const Image& image, bool tight, std::uint64_t available)
{
    if (tight && available <= 250) return kTiffDiskFull;
    if (reencodePath_.empty()) reencodePath_ = owner_.services_.files.newRunFile(owner_.tempPrefix_);
    if (reencodePath_.empty()) return kTiffNotConverted;
    TIFF* source = source_.get();
    TiffHandle target = openTiff(reencodePath_, "w");
    if (!target) return kTiffNotConverted;
    TIFF* out = target.get();

    std::uint32_t length = 0, width = 0;
    std::uint16_t photometric = 0, unit = 0;
    float x = 0, y = 0;
    if (!TIFFGetField(source, TIFFTAG_IMAGELENGTH, &length) || !TIFFGetField(source, TIFFTAG_IMAGEWIDTH, &width))
        return kTiffUnreadable;
    if (!TIFFSetField(out, TIFFTAG_IMAGELENGTH, length) || !TIFFSetField(out, TIFFTAG_IMAGEWIDTH, width) ||
        !TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4))
        return kTiffNotConverted;
    if (!TIFFGetField(source, TIFFTAG_PHOTOMETRIC, &photometric)) return kTiffUnreadable;
    if (!TIFFSetField(out, TIFFTAG_PHOTOMETRIC, photometric) || !TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, length))
        return kTiffNotConverted;
    if (!TIFFGetField(source, TIFFTAG_YRESOLUTION, &y) || !TIFFGetField(source, TIFFTAG_XRESOLUTION, &x) ||
        !TIFFGetField(source, TIFFTAG_RESOLUTIONUNIT, &unit))
        return kTiffUnreadable;
    if (!TIFFSetField(out, TIFFTAG_YRESOLUTION, y) || !TIFFSetField(out, TIFFTAG_XRESOLUTION, x) ||
        !TIFFSetField(out, TIFFTAG_RESOLUTIONUNIT, unit))
        return kTiffNotConverted;
    std::uint16_t shortValue = 0;
    float floatValue = 0;
    for (ttag_t tag : {TIFFTAG_PLANARCONFIG, TIFFTAG_ORIENTATION})
        if (TIFFGetField(source, tag, &shortValue) && !TIFFSetField(out, tag, shortValue)) return kTiffNotConverted;
    for (ttag_t tag : {TIFFTAG_YPOSITION, TIFFTAG_XPOSITION})
        if (TIFFGetField(source, tag, &floatValue) && !TIFFSetField(out, tag, floatValue)) return kTiffNotConverted;
    if (!TIFFSetField(out, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB) || !TIFFSetField(out, TIFFTAG_T6OPTIONS, 0))
        return kTiffNotConverted;
    // The one strip is written out whenever the buffer fills, instead of being
    // held whole (libtiff's own choice is the uncompressed strip and a tenth).
    if (!TIFFWriteBufferSetup(out, nullptr, kReencodeWriteBuffer)) return kTiffNotConverted;

    const std::uint64_t rowCost = (9 * std::uint64_t(image.width) + 1) / 2;
    std::uint64_t rowsAllowed = available > 250 ? (available - 250) / rowCost : 0;
    const tmsize_t lineSize = TIFFScanlineSize(source);
    if (lineSize <= 0) return kTiffUnreadable;
    std::vector<unsigned char> line(static_cast<std::size_t>(lineSize));
    for (std::uint32_t row = 0; row < length; ++row) {
        if (tight && row >= rowsAllowed) {
            const std::uint64_t free = freeSpace();
            if (free < kTempDiskReserve || rowCost >= free - kTempDiskReserve) return kTiffDiskFull;
            rowsAllowed += (free - kTempDiskReserve) / rowCost;
        }
        if (TIFFReadScanline(source, line.data(), row, 0) < 0) return kTiffUnreadable;
        if (TIFFWriteScanline(out, line.data(), row, 0) < 0) return kTiffNotConverted;
    }
    // Written to disk and closed, then read back as the strip source: libtiff
    // reads no raw strip from a file it is writing.
    if (!TIFFFlush(out)) return kTiffNotConverted;
    target.reset();
    reencoded_ = openTiff(reencodePath_, "r");
    return reencoded_ ? kTiffOk : kTiffNotConverted;
}

int TiffToPdf::Conversion::writeImage(const Image& image, TIFF* stripSource, const std::string& stripPath)
{
    const int number = out_.imageNumber();
    const PdfImageObjects objects = PdfImageObjects::forImage(number);
    const std::string width = pointsText(image.width, image.dpi);
    const std::string height = pointsText(image.length, image.dpi);
    const auto text = [](auto value) { return std::to_string(value); };
    if (number == 1) {
        if (int r = writeTemplate(IDS_PDF_FILE_HEADER, {})) return r;
        if (int r = writeTemplate(IDS_PDF_CATALOG, {})) return r;
    }
    // The page's drawing is measured first: the page template names its length.
    const std::string content = fillTemplate(owner_.services_.strings.load(IDS_PDF_PAGE_CONTENT), {width, height});
    if (int r = writeTemplate(IDS_PDF_PAGE, {text(objects.page), width, height, text(image.rotation),
                                             text(objects.image), text(objects.contents), text(objects.contents),
                                             text(content.size())}))
        return r;
    if (int r = out_.writeTemplate(content)) return r;
    // CCITT data codes white and black runs; a black-is-zero image has its
    // "white" runs black, which the decoder must know.
    const std::string blackIs1 = image.photometric == PHOTOMETRIC_MINISBLACK ? "true" : "false";
    if (int r = writeTemplate(IDS_PDF_IMAGE_DICTIONARY, {text(objects.image), text(image.width), text(image.length),
                                                         blackIs1, text(image.width), text(image.length),
                                                         text(objects.length)}))
        return r;
    if (int r = writeTemplate(IDS_PDF_IMAGE_STREAM_START, {})) return r;
    std::uint64_t written = 0;
    if (int r = copyStrip(stripSource, stripPath, written)) return r;
    if (int r = writeTemplate(IDS_PDF_IMAGE_STREAM_END, {})) return r;
    return writeTemplate(IDS_PDF_IMAGE_LENGTH, {text(objects.length), text(written)});
}

int TiffToPdf::Conversion::copyStrip(TIFF* source, const std::string& sourcePath, std::uint64_t& written)
{
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(source, TIFFTAG_COMPRESSION, &compression);
    if (compression != COMPRESSION_CCITTFAX4 || TIFFNumberOfStrips(source) != 1) return kTiffFailed;
    // The strip goes whole, as long as its own byte count says (a strip cut
    // short would corrupt the page), but never past the end of the file; it
    // is checked to lie in the file before any of it is written.
    const std::uint64_t size = TIFFGetStrileByteCount(source, 0);
    const std::uint64_t offset = TIFFGetStrileOffset(source, 0);
    std::error_code ec;
    const std::uintmax_t fileSize = std::filesystem::file_size(sourcePath, ec);
    if (ec || size > fileSize || (size > 0 && offset > fileSize - size)) return kTiffFailed;
    const std::uint64_t free = freeSpace();
    if (free < kTempDiskReserve || size >= free - kTempDiskReserve) return kTiffDiskFull;
    // Copied through a small buffer, read with libtiff's own file handle: the
    // memory a page takes does not grow with its size.
    const TIFFSeekProc seek = TIFFGetSeekProc(source);
    const TIFFReadWriteProc read = TIFFGetReadProc(source);
    const thandle_t handle = TIFFClientdata(source);
    if (size > 0 && seek(handle, static_cast<toff_t>(offset), SEEK_SET) != offset) return kTiffFailed;
    std::vector<char> buffer(static_cast<std::size_t>(std::min<std::uint64_t>(size, kStripCopyChunk)));
    for (std::uint64_t left = size; left > 0;) {
        const auto want = static_cast<tmsize_t>(std::min<std::uint64_t>(left, buffer.size()));
        if (read(handle, buffer.data(), want) != want) return kTiffFailed;
        if (int r = out_.writeData(buffer.data(), static_cast<std::size_t>(want))) return r;
        left -= static_cast<std::uint64_t>(want);
    }
    written = size;
    return kTiffOk;
}

int TiffToPdf::append(PdfBatch& batch, const std::string& tiffPath)
{
    int result = kTiffFailed;
    try {
        Conversion conversion(*this, batch, tiffPath);
        result = conversion.run();
    } catch (const std::bad_alloc&) {
        result = kTiffNoMemory;
    } catch (...) {
        result = kTiffFailed;
    }
    if (result != kTiffOk) showFailure(result, tiffPath);
    return result;
}

void TiffToPdf::showFailure(int result, const std::string& tiffPath)
{
    const platform::StringSource& strings = services_.strings;
    const auto unreadable = [&] { return fillTemplate(strings.load(IDS_TIFF_UNREADABLE), {baseName(tiffPath)}); };
    std::string text;
    switch (result) {
    case kTiffNoMemory: text = strings.load(IDS_OUT_OF_MEMORY); break;
    case kTiffUnreadable: text = unreadable(); break;
    case kTiffNotConverted: text = fillTemplate(strings.load(IDS_TIFF_NOT_CONVERTED), {baseName(tiffPath)}); break;
    case kTiffNotBilevel: text = unreadable() + strings.load(IDS_TIFF_NOT_BILEVEL); break;
    case kTiffBadResolution: text = unreadable() + strings.load(IDS_TIFF_RESOLUTION); break;
    case kTiffTiled: text = unreadable() + strings.load(IDS_TIFF_TILED); break;
    case kTiffDiskFull: text = strings.load(IDS_TIFF_DISK_FULL); break;
    default: text = strings.load(IDS_JOB_FILE_FAILED) + " (6)"; break;
    }
    services_.messages.show(text, platform::kMbIconStop);
}

} // namespace orvox
