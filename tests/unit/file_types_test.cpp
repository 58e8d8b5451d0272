// The folder browser's type filter and the TIFF test on print-file names.
#include <gtest/gtest.h>

#include "ui/portable/file_types.h"

namespace orvox::ui {
namespace {

TEST(FileTypes, FilterComparesTheLastExtensionWithEveryWordIgnoringCase)
{
    EXPECT_TRUE(passesExtensionFilter("report.PDF", "pdf"));
    EXPECT_TRUE(passesExtensionFilter("job.BIN", "pcl bin"));
    EXPECT_TRUE(passesExtensionFilter("README", ""));
    EXPECT_FALSE(passesExtensionFilter("README", "pdf"));
    EXPECT_FALSE(passesExtensionFilter("archive.pdf.zip", "pdf"));
    EXPECT_FALSE(passesExtensionFilter("x.pc", "pcl bin"));
    // A dot in a folder name is no extension of the file.
    EXPECT_FALSE(passesExtensionFilter("C:\\v1.pdf\\README", "pdf"));
}

TEST(FileTypes, TiffNamesEndInTifOrTiff)
{
    EXPECT_TRUE(isTiffFileName("C:\\scans\\page.TIF"));
    EXPECT_TRUE(isTiffFileName("page.tiff"));
    EXPECT_FALSE(isTiffFileName("page.tiffx"));
    EXPECT_FALSE(isTiffFileName("C:\\tif\\page"));
}

} // namespace
} // namespace orvox::ui
