// Arithmetic that the two Windows builds must do alike. The 32-bit build
// computes floating point on the x87 stack in a wider format than the 64-bit
// build's single precision; where a result is compared exactly, both builds
// must take the same values. Built and run in both Windows trees.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <cmath>

#include "print/tiff_to_pdf.h"

namespace {

// Resolutions in pixels per centimetre as scanners write them: the float
// nearest each taken dpi divided by 2.54. `volatile` keeps the compiler from
// working the results out while compiling, where its own arithmetic applies.
volatile float g_perCm[] = {236.220474f, 118.110237f, 78.7401581f, 59.0551186f};
constexpr int kDpi[] = {600, 300, 200, 150};

TEST(Arithmetic, CentimetreResolutionsOfTheTakenDpiAreTakenInThisBuild)
{
    for (int i = 0; i < 4; ++i) {
        const float perCm = g_perCm[i];
        SCOPED_TRACE(kDpi[i]);
        EXPECT_EQ(orvox::singlePrecisionProduct(perCm, 2.54f), static_cast<float>(kDpi[i]));
        EXPECT_EQ(orvox::acceptedDpi(perCm, perCm, RESUNIT_CENTIMETER), kDpi[i]);
        EXPECT_TRUE(orvox::acceptedResolution(perCm, perCm, RESUNIT_CENTIMETER));
        // The neighbouring floats are not the resolution: the comparison stays exact.
        const float above = std::nextafter(perCm, 1000.0f);
        const float below = std::nextafter(perCm, 0.0f);
        EXPECT_EQ(orvox::acceptedDpi(above, above, RESUNIT_CENTIMETER), 0);
        EXPECT_EQ(orvox::acceptedDpi(below, below, RESUNIT_CENTIMETER), 0);
        EXPECT_EQ(orvox::acceptedDpi(perCm, above, RESUNIT_CENTIMETER), 0);
    }
    volatile float nearly = 118.11f;  // 299.9994 dpi
    EXPECT_EQ(orvox::acceptedDpi(nearly, nearly, RESUNIT_CENTIMETER), 0);
    volatile float inch = 600.0f;
    EXPECT_EQ(orvox::acceptedDpi(inch, inch, RESUNIT_INCH), 600);
}

} // namespace
