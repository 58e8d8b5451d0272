#pragma once
// Appends the images of a TIFF file to a PDF batch. Only bilevel images at 150,
// 200, 300, 406 or 600 dpi (equal in both directions) are taken; each becomes
// one page holding one CCITT Group 4 strip, copied unchanged when the TIFF file
// already has it in that form and re-encoded through a temporary TIFF file
// otherwise. The re-encoding never uses the last 20 MB of the temporary drive.
#include <cstdint>
#include <string>

#include "platform/services.h"
#include "print/pdf_batch.h"

namespace orvox {

inline constexpr std::uint64_t kTempDiskReserve = 0x1400000;

class TiffToPdf {
public:
    // `tempPrefix` names the re-encoding files; with `keepTempFiles` they stay
    // for inspection.
    TiffToPdf(const platform::Services& services, std::string tempPrefix, bool keepTempFiles)
        : services_(services), tempPrefix_(std::move(tempPrefix)), keepTempFiles_(keepTempFiles)
    {
    }

    // Appends every image of `tiffPath` to `batch`; returns 0 or the result code
    // of the failure, whose message has then been shown. Images appended before
    // a failure stay in the batch.
    int append(PdfBatch& batch, const std::string& tiffPath);

private:
    class Conversion;
    void showFailure(int result, const std::string& tiffPath);

    platform::Services services_;  // references to the platform objects, copied
    std::string tempPrefix_;
    bool keepTempFiles_;
};

// The page rotation in degrees for a TIFF Orientation value (0 when the tag is
// missing): portrait images (width <= length) and landscape ones differ.
int pageRotation(int orientation, std::uint32_t width, std::uint32_t length);

// The dpi of a resolution pair (in the TIFF's unit) that the printers take, or
// 0: centimetre values are converted in single precision and must then match
// exactly, in the 32-bit build as in the 64-bit one.
int acceptedDpi(float x, float y, int unit);
bool acceptedResolution(float x, float y, int unit);

// `a` times `b` rounded to single precision in every build.
float singlePrecisionProduct(float a, float b);

} // namespace orvox
