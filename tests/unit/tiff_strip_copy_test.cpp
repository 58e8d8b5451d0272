// The strip of a page goes into the batch in pieces: a very long page converts
// and its every row survives, and a strip that runs past the end of its file
// is refused before any of it is written.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstring>
#include <fstream>

#include "output_fixture.h"
#include "print/tiff_to_pdf.h"

namespace orvox {
namespace {

using test::readBytes;

// 600 dpi, 17 inches wide: a banner page's rows. Mostly white, with a short
// black run moving across the page every 97 rows and a black row every 6000.
constexpr std::uint32_t kWidth = 10200;

void fillRow(std::vector<unsigned char>& line, std::uint32_t y)
{
    std::fill(line.begin(), line.end(), 0);  // min-is-white: 0 is white
    if (y % 6000 == 0) std::fill(line.begin(), line.end(), 0xFF);
    if (y % 97 == 0) {
        const std::uint32_t x = (y * 37) % (kWidth - 64);
        std::memset(line.data() + x / 8, 0xFF, 8);
    }
}

void writeBanner(const std::string& path, std::uint32_t length, std::uint32_t rowsPerStrip)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, length);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, 600.0f);
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, 600.0f);
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    std::vector<unsigned char> line(kWidth / 8);
    for (std::uint32_t y = 0; y < length; ++y) {
        fillRow(line, y);
        ASSERT_GE(TIFFWriteScanline(tiff, line.data(), y, 0), 0);
    }
    TIFFClose(tiff);
}

// The image stream of the batch's first page.
std::string firstImageStream(const std::string& pdf)
{
    const std::size_t start = pdf.find("stream\n", pdf.find("/CCITTFaxDecode"));
    const std::size_t end = pdf.find("\nendstream", start);
    if (start == std::string::npos || end == std::string::npos) return {};
    return pdf.substr(start + 7, end - start - 7);
}

class TiffStripCopyTest : public ::testing::Test {
protected:
    TiffStripCopyTest() { EXPECT_TRUE(batch.create()); }

    test::OutputServices env;
    PdfBatch batch{env.work.file("batch.pdf")};
    TiffToPdf converter{env.services, "ovx", false};
};

TEST_F(TiffStripCopyTest, ABannerPageSixHundredAndSixtySevenInchesLongConvertsRowForRow)
{
    // Strips of 8192 rows: the page is re-encoded into one strip of its own.
    // Whole, the uncompressed page is 510 MB, past what libtiff may allocate.
    constexpr std::uint32_t kLength = 667 * 600;
    const std::string source = env.work.file("banner.tif");
    writeBanner(source, kLength, 8192);
    ASSERT_EQ(converter.append(batch, source), 0) << (env.messages.shown.empty() ? "" : env.messages.shown.back().text);
    ASSERT_EQ(batch.finish(test::shippedStrings()), 0);
    EXPECT_TRUE(env.tempFiles().empty());

    // The stream put back into a TIFF file decodes to the source's rows.
    const std::string pdf = readBytes(batch.path());
    EXPECT_NE(pdf.find("/Width 10200 /Height 400200"), std::string::npos);
    const std::string stream = firstImageStream(pdf);
    ASSERT_FALSE(stream.empty());
    const std::string back = env.work.file("back.tif");
    {
        TIFF* tiff = TIFFOpen(back.c_str(), "w");
        ASSERT_NE(tiff, nullptr);
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kWidth);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kLength);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, kLength);
        ASSERT_EQ(TIFFWriteRawStrip(tiff, 0, const_cast<char*>(stream.data()), static_cast<tmsize_t>(stream.size())),
                  static_cast<tmsize_t>(stream.size()));
        TIFFClose(tiff);
    }
    TIFF* tiff = TIFFOpen(back.c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    std::vector<unsigned char> expected(kWidth / 8), got(kWidth / 8);
    std::uint32_t wrong = 0, firstWrong = 0;
    for (std::uint32_t y = 0; y < kLength; ++y) {
        fillRow(expected, y);
        if (TIFFReadScanline(tiff, got.data(), y, 0) < 0 || got != expected) {
            if (wrong++ == 0) firstWrong = y;
        }
    }
    TIFFClose(tiff);
    EXPECT_EQ(wrong, 0u) << "first wrong row " << firstWrong;
}

TEST_F(TiffStripCopyTest, AStripRunningPastTheEndOfItsFileIsRefusedBeforeAnyOfItIsWritten)
{
    const std::string source = env.work.file("cut.tif");
    writeBanner(source, 600, 600);
    // The strip's byte count made to reach one byte past the end of the file.
    std::string bytes = readBytes(source);
    ASSERT_EQ(bytes.substr(0, 2), "II");
    std::uint32_t ifd = 0;
    std::memcpy(&ifd, bytes.data() + 4, 4);
    std::uint16_t entries = 0;
    std::memcpy(&entries, bytes.data() + ifd, 2);
    bool patched = false;
    for (std::uint16_t i = 0; i < entries; ++i) {
        const std::size_t at = ifd + 2 + 12 * std::size_t(i);
        std::uint16_t tag = 0, type = 0;
        std::memcpy(&tag, bytes.data() + at, 2);
        std::memcpy(&type, bytes.data() + at + 2, 2);
        if (tag != TIFFTAG_STRIPBYTECOUNTS || type != TIFF_LONG) continue;
        std::uint32_t offset = 8;  // libtiff writes the first strip right after the header
        const auto count = static_cast<std::uint32_t>(bytes.size() - offset + 1);
        std::memcpy(bytes.data() + at + 8, &count, 4);
        patched = true;
    }
    ASSERT_TRUE(patched);
    std::ofstream(source, std::ios::binary | std::ios::trunc) << bytes;

    const std::size_t before = readBytes(batch.path()).size();
    EXPECT_EQ(converter.append(batch, source), kTiffFailed);
    // The page's objects were written ahead of the strip; the strip itself was not begun.
    const std::string pdf = readBytes(batch.path());
    EXPECT_GT(pdf.size(), before);
    EXPECT_EQ(pdf.substr(pdf.size() - 7), "stream\n");
}

} // namespace
} // namespace orvox
