// TIFF images into PDF batches: what is taken and what is refused, each input
// form rendered back and compared pixel for pixel, and the 20 MB disk reserve.
// The PDF checks run qpdf and Ghostscript, so they run natively only.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "output_fixture.h"
#include "print/tiff_to_pdf.h"
#include "resource.h"

namespace orvox {
namespace {

using test::readBytes;

struct TiffShape {
    std::uint32_t width = 48;  // portrait: the page is not turned
    std::uint32_t length = 64;
    std::uint16_t compression = COMPRESSION_CCITTFAX4;
    std::uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    std::uint16_t bits = 1;
    std::uint16_t samples = 1;
    float xres = 300, yres = 300;
    std::uint16_t unit = RESUNIT_INCH;  // 0: tag left out
    std::uint32_t rowsPerStrip = 0;     // 0: one strip
    std::uint16_t fillOrder = FILLORDER_MSB2LSB;
    std::uint16_t orientation = 0;      // 0: tag left out
    bool tiled = false;
    int pages = 1;
};

// The test image: a solid block in one corner (so a turned or mirrored page
// shows) and a diagonal hatch.
bool black(std::uint32_t x, std::uint32_t y, std::uint32_t width, std::uint32_t length, int page)
{
    return (x < width / 4 && y < length / 3) || (x + 2 * y + static_cast<std::uint32_t>(page)) % 7 == 0;
}

void writeTiff(const std::string& path, const TiffShape& s)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    for (int page = 0; page < s.pages; ++page) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, s.width);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, s.length);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, s.bits);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, s.samples);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, s.compression);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, s.photometric);
        TIFFSetField(tiff, TIFFTAG_FILLORDER, s.fillOrder);
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, s.xres);
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, s.yres);
        if (s.unit) TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, s.unit);
        if (s.orientation) TIFFSetField(tiff, TIFFTAG_ORIENTATION, s.orientation);
        const bool bilevel = s.bits == 1 && s.samples == 1;
        const bool blackBitSet = s.photometric != PHOTOMETRIC_MINISBLACK;
        const tmsize_t lineSize = bilevel ? (s.width + 7) / 8 : tmsize_t(s.width) * s.samples * (s.bits / 8);
        auto fillRow = [&](std::vector<unsigned char>& line, std::uint32_t y) {
            std::fill(line.begin(), line.end(), 0);
            for (std::uint32_t x = 0; x < s.width; ++x) {
                const bool on = black(x, y, s.width, s.length, page);
                if (bilevel) {
                    if (on == blackBitSet) line[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
                } else {
                    for (std::size_t b = 0; b < std::size_t(s.samples) * (s.bits / 8); ++b)
                        line[x * s.samples * (s.bits / 8) + b] = on ? 0 : 255;
                }
            }
        };
        if (s.tiled) {
            TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
            TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
            std::vector<unsigned char> tile(static_cast<std::size_t>(TIFFTileSize(tiff)), 0x55);
            for (std::uint32_t t = 0; t < TIFFNumberOfTiles(tiff); ++t) TIFFWriteEncodedTile(tiff, t, tile.data(), tile.size());
        } else {
            TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, s.rowsPerStrip ? s.rowsPerStrip : s.length);
            std::vector<unsigned char> line(static_cast<std::size_t>(lineSize));
            for (std::uint32_t y = 0; y < s.length; ++y) {
                fillRow(line, y);
                ASSERT_GE(TIFFWriteScanline(tiff, line.data(), y, 0), 0);
            }
        }
        TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
}

class TiffToPdfTest : public ::testing::Test {
protected:
    TiffToPdfTest() { EXPECT_TRUE(batch.create()); }

    int append(const TiffShape& shape, const std::string& name = "image.tif")
    {
        const std::string path = env.work.file(name);
        writeTiff(path, shape);
        return converter.append(batch, path);
    }
    std::string batchBytes() const { return readBytes(batch.path()); }
    std::string unreadableText(const std::string& name) const
    {
        // The message names the file without its folder (a Windows path's last part).
        const std::string path = env.work.file(name);
        const std::string shown = path.substr(path.find_last_of('\\') + 1);
        return fillTemplate(test::shippedStrings().load(IDS_TIFF_UNREADABLE), {shown});
    }

    test::OutputServices env;
    PdfBatch batch{env.work.file("batch.pdf")};
    TiffToPdf converter{env.services, "ovx", false};
};

#ifndef _WIN32
int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// qpdf finds no fault (exit 0, not even a warning) and Ghostscript runs every page.
void expectValidPdf(const std::string& path)
{
    EXPECT_EQ(run("qpdf --check '" + path + "'"), 0) << "qpdf --check " << path;
    const std::string log = path + ".gs.log";
    EXPECT_EQ(std::system(("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage '" + path + "' >'" + log + "' 2>&1").c_str()), 0);
    EXPECT_EQ(readBytes(log).find("rror"), std::string::npos) << readBytes(log);
}

// The first page rendered at `dpi` as rows of black (true) and white pixels.
std::vector<std::vector<bool>> renderFirstPage(const std::string& pdf, int dpi)
{
    const std::string pbm = pdf + ".pbm";
    EXPECT_EQ(run("gs -q -dSAFER -dBATCH -dNOPAUSE -dFirstPage=1 -dLastPage=1 -sDEVICE=pbmraw -r" +
                  std::to_string(dpi) + " -sOutputFile='" + pbm + "' '" + pdf + "'"), 0);
    std::istringstream in(readBytes(pbm));
    std::string magic;
    std::uint32_t width = 0, height = 0;
    in >> magic;
    while (in >> std::ws && in.peek() == '#') in.ignore(1 << 20, '\n');  // comment lines
    in >> width >> height;
    in.get();
    std::vector<std::vector<bool>> rows;
    if (magic != "P4") return rows;
    std::vector<char> line((width + 7) / 8);
    for (std::uint32_t y = 0; y < height && in.read(line.data(), static_cast<std::streamsize>(line.size())); ++y) {
        rows.emplace_back(width);
        for (std::uint32_t x = 0; x < width; ++x) rows.back()[x] = (line[x / 8] >> (7 - x % 8)) & 1;
    }
    return rows;
}
#endif

TEST(PdfTemplates, ValuesFillConversionsInOrderAndNothingIsReadPastThem)
{
    EXPECT_EQ(fillTemplate("%d 0 obj %s %5u%%", {"7", "x", "12"}), "7 0 obj x 12%");
    EXPECT_EQ(fillTemplate("%d %d %q %", {"1"}), "1  %q %");
}

TEST_F(TiffToPdfTest, Group4StripIsEmbeddedUnchangedWithoutReencoding)
{
    ASSERT_EQ(append({}), 0);
    EXPECT_EQ(batch.imageCount(), 1);
    TIFF* tiff = TIFFOpen(env.work.file("image.tif").c_str(), "r");
    ASSERT_NE(tiff, nullptr);
    std::string strip(static_cast<std::size_t>(TIFFGetStrileByteCount(tiff, 0)), '\0');
    ASSERT_GT(TIFFReadRawStrip(tiff, 0, strip.data(), static_cast<tmsize_t>(strip.size())), 0);
    TIFFClose(tiff);
    EXPECT_NE(batchBytes().find("stream\n" + strip + "\nendstream"), std::string::npos);
    EXPECT_NE(batchBytes().find("/Length 6 0 R"), std::string::npos);
    // Free space is measured once, for the strip copy; no re-encoding file was made.
    EXPECT_EQ(env.files.freeSpaceMeasurements(), 1);
    EXPECT_TRUE(env.tempFiles().empty());
}

TEST_F(TiffToPdfTest, EveryAcceptedFormRendersAsTheSourceImage)
{
#ifdef _WIN32
    GTEST_SKIP() << "qpdf and Ghostscript run natively";
#else
    struct Case {
        const char* what;
        TiffShape shape;
    };
    TiffShape blackIsZero;
    blackIsZero.photometric = PHOTOMETRIC_MINISBLACK;
    TiffShape uncompressed;
    uncompressed.compression = COMPRESSION_NONE;
    uncompressed.xres = uncompressed.yres = 200;
    TiffShape packedReversed = blackIsZero;
    packedReversed.compression = COMPRESSION_PACKBITS;
    packedReversed.fillOrder = FILLORDER_LSB2MSB;
    TiffShape stripedGroup4;
    stripedGroup4.rowsPerStrip = 16;
    stripedGroup4.width = 61;
    stripedGroup4.xres = stripedGroup4.yres = 600;
    TiffShape group3;
    group3.compression = COMPRESSION_CCITTFAX3;
    group3.xres = group3.yres = 406;
    for (const Case& c : {Case{"Group 4, white is zero", {}}, Case{"Group 4, black is zero", blackIsZero},
                          Case{"uncompressed at 200 dpi", uncompressed},
                          Case{"PackBits, reversed bit order, black is zero", packedReversed},
                          Case{"Group 4 in several strips", stripedGroup4}, Case{"Group 3 at 406 dpi", group3}}) {
        SCOPED_TRACE(c.what);
        PdfBatch one(env.work.file("one.pdf"));
        ASSERT_TRUE(one.create());
        const std::string tiff = env.work.file("case.tif");
        writeTiff(tiff, c.shape);
        ASSERT_EQ(converter.append(one, tiff), 0);
        ASSERT_EQ(one.finish(test::shippedStrings()), 0);
        expectValidPdf(one.path());
        const auto rows = renderFirstPage(one.path(), static_cast<int>(c.shape.xres));
        ASSERT_EQ(rows.size(), c.shape.length);
        ASSERT_EQ(rows[0].size(), c.shape.width);
        int wrong = 0;
        for (std::uint32_t y = 0; y < c.shape.length; ++y)
            for (std::uint32_t x = 0; x < c.shape.width; ++x)
                wrong += rows[y][x] != black(x, y, c.shape.width, c.shape.length, 0);
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(env.tempFiles().empty()) << "re-encoding file left behind";
    }
#endif
}

TEST_F(TiffToPdfTest, ImagesOfConsecutiveFilesShareOneBatch)
{
    TiffShape threePages;
    threePages.pages = 3;
    ASSERT_EQ(append(threePages, "three.tif"), 0);
    EXPECT_EQ(batch.imageCount(), 3);
    ASSERT_EQ(append({}, "one.tif"), 0);
    EXPECT_EQ(batch.imageCount(), 4);
    ASSERT_EQ(batch.finish(test::shippedStrings()), 0);
    const std::string pdf = batchBytes();
    EXPECT_EQ(pdf.find("%PDF-"), 0u);
    EXPECT_EQ(pdf.find("%PDF-", 1), std::string::npos);
    EXPECT_EQ(pdf.find(" 0 obj\n<< /Type /Catalog", 20), std::string::npos);
#ifndef _WIN32
    expectValidPdf(batch.path());
    EXPECT_EQ(run("test \"$(qpdf --show-npages '" + batch.path() + "')\" = 4"), 0);
#endif
}

TEST_F(TiffToPdfTest, ImagesThatCannotBePrintedAreRefusedWithTheirCodeAndMessage)
{
    TiffShape gray;
    gray.bits = 8;
    gray.compression = COMPRESSION_NONE;
    TiffShape rgb = gray;
    rgb.samples = 3;
    rgb.photometric = PHOTOMETRIC_RGB;
    TiffShape tiled;
    tiled.compression = COMPRESSION_NONE;
    tiled.tiled = true;
    tiled.width = tiled.length = 32;
    TiffShape uneven;
    uneven.yres = 600;
    TiffShape nearly;
    nearly.xres = nearly.yres = 118.11f;  // 299.9994 dpi
    nearly.unit = RESUNIT_CENTIMETER;
    TiffShape noUnit;
    noUnit.unit = 0;
    const auto& strings = test::shippedStrings();
    struct Case {
        TiffShape shape;
        int code;
        std::string tail;
    };
    for (const Case& c : {Case{gray, 34, strings.load(IDS_TIFF_NOT_BILEVEL)},
                          Case{rgb, 34, strings.load(IDS_TIFF_NOT_BILEVEL)},
                          Case{tiled, 36, strings.load(IDS_TIFF_TILED)},
                          Case{uneven, 35, strings.load(IDS_TIFF_RESOLUTION)},
                          Case{nearly, 35, strings.load(IDS_TIFF_RESOLUTION)}, Case{noUnit, 32, ""}}) {
        SCOPED_TRACE(c.code);
        env.messages.shown.clear();
        EXPECT_EQ(append(c.shape), c.code);
        ASSERT_EQ(env.messages.shown.size(), 1u);
        EXPECT_EQ(env.messages.shown[0].text, unreadableText("image.tif") + c.tail);
        EXPECT_EQ(env.messages.shown[0].type, unsigned(platform::kMbIconStop));
    }
    test::writeBytes(env.work.file("text.tif"), "not a TIFF file at all");
    EXPECT_EQ(converter.append(batch, env.work.file("text.tif")), 32);
    EXPECT_EQ(converter.append(batch, env.work.file("missing.tif")), 32);
    EXPECT_TRUE(env.tempFiles().empty());
}

TEST_F(TiffToPdfTest, CentimetreResolutionsOfTheTakenDpiAreTakenAndSizeThePage)
{
    // The float nearest each resolution in pixels per centimetre: times 2.54 in
    // single precision it is the resolution exactly. (406 dpi has no such float.)
    struct Case {
        float perCm;
        int dpi;
        const char* mediaBox;  // 48 x 64 pixels
    };
    for (const Case& c : {Case{236.220474f, 600, "[0 0 5.7600 7.6800]"}, Case{118.110237f, 300, "[0 0 11.5200 15.3600]"},
                          Case{78.7401581f, 200, "[0 0 17.2800 23.0400]"}, Case{59.0551186f, 150, "[0 0 23.0400 30.7200]"}}) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(acceptedDpi(c.perCm, c.perCm, RESUNIT_CENTIMETER), c.dpi);
        EXPECT_EQ(acceptedDpi(c.perCm, std::nextafter(c.perCm, 1000.0f), RESUNIT_CENTIMETER), 0);
        EXPECT_EQ(acceptedDpi(std::nextafter(c.perCm, 0.0f), std::nextafter(c.perCm, 0.0f), RESUNIT_CENTIMETER), 0);
        TiffShape shape;
        shape.xres = shape.yres = c.perCm;
        shape.unit = RESUNIT_CENTIMETER;
        env.messages.shown.clear();
        ASSERT_EQ(append(shape), 0);
        EXPECT_TRUE(env.messages.shown.empty());
        EXPECT_NE(batchBytes().find(std::string("/MediaBox ") + c.mediaBox), std::string::npos) << batchBytes();
    }
    EXPECT_EQ(acceptedDpi(159.842514f, 159.842514f, RESUNIT_CENTIMETER), 0);
    EXPECT_EQ(acceptedDpi(406, 406, RESUNIT_INCH), 406);
    EXPECT_EQ(acceptedDpi(236.220474f, 236.220474f, RESUNIT_INCH), 0);
}

TEST_F(TiffToPdfTest, PagesTurnByOrientationAndShape)
{
    EXPECT_EQ(pageRotation(0, 100, 50), 270);  // landscape without orientation
    EXPECT_EQ(pageRotation(0, 50, 100), 0);
    EXPECT_EQ(pageRotation(ORIENTATION_BOTRIGHT, 50, 100), 180);
    EXPECT_EQ(pageRotation(ORIENTATION_BOTRIGHT, 100, 50), 90);
    EXPECT_EQ(pageRotation(ORIENTATION_RIGHTTOP, 50, 100), 0);
    EXPECT_EQ(pageRotation(ORIENTATION_RIGHTTOP, 100, 50), 90);
    EXPECT_EQ(pageRotation(ORIENTATION_LEFTBOT, 50, 100), 180);
    EXPECT_EQ(pageRotation(ORIENTATION_LEFTBOT, 100, 50), 270);
    EXPECT_EQ(pageRotation(ORIENTATION_TOPLEFT, 100, 100), 0);

    TiffShape landscape;
    landscape.width = 96;
    landscape.length = 40;
    ASSERT_EQ(append(landscape), 0);
    EXPECT_NE(batchBytes().find("/MediaBox [0 0 23.0400 9.6000] /Rotate 270"), std::string::npos);
}

TEST_F(TiffToPdfTest, ReencodingKeepsTheDiskReserve)
{
    TiffShape uncompressed;
    uncompressed.compression = COMPRESSION_NONE;
    uncompressed.width = 800;
    uncompressed.length = 200;

    env.files.pinFreeSpace({kTempDiskReserve - 1});
    EXPECT_EQ(append(uncompressed), 37);
    EXPECT_EQ(env.messages.shown.back().text, test::shippedStrings().load(IDS_TIFF_DISK_FULL));

    // Room for a few rows, then the disk fills up: the conversion stops part
    // way and leaves no re-encoding file behind.
    env.files.pinFreeSpace({kTempDiskReserve + 250 + 3 * 3600, kTempDiskReserve + 100});
    EXPECT_EQ(append(uncompressed), 37);
    EXPECT_EQ(env.files.freeSpaceMeasurements(), 2);
    EXPECT_TRUE(env.tempFiles().empty());

    // Space that grows as it is measured again lets the image through.
    env.files.pinFreeSpace({kTempDiskReserve + 250 + 3 * 3600, kTempDiskReserve + 1'000'000});
    EXPECT_EQ(append(uncompressed), 0);
    EXPECT_TRUE(env.tempFiles().empty());
}

} // namespace
} // namespace orvox
