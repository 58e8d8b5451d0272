// The texts the test application shows for result codes are part of its interface.
#include "result_text.h"

#include <gtest/gtest.h>

using orvox::test::resultText;

TEST(ResultText, SuccessIsSilent)
{
    EXPECT_EQ(resultText(0, 7), "");
}

TEST(ResultText, NotCreatedSharesTheNotInitialisedText)
{
    EXPECT_EQ(resultText(8, 0), resultText(5, 0));
    EXPECT_EQ(resultText(5, 0), "Init was not called.");
}

TEST(ResultText, NeighboursAreNotShifted)
{
    EXPECT_EQ(resultText(1, 0), "General Error.");
    EXPECT_EQ(resultText(18, 0), "Get Window called before Create.");
    EXPECT_EQ(resultText(26, 0), "Dll failed to load.");
    EXPECT_EQ(resultText(37, 0), "Not enouph disk space for temporary files");
}

TEST(ResultText, BlanksAndTabAreKept)
{
    EXPECT_EQ(resultText(31, 0), "Error during sending data to printer\t");
    EXPECT_EQ(resultText(33, 0), " Unable to convert Tiff to G4 stripped ");
}

TEST(ResultText, XmlCodesNameTheLine)
{
    EXPECT_EQ(resultText(38, 12), "Error in reading data from file or char*.\nLine 12.");
    EXPECT_EQ(resultText(43, 3), "Unknown XML error.\nLine 3.");
    EXPECT_EQ(resultText(37, 12).find("Line"), std::string::npos);
}

TEST(ResultText, UnknownCodesAreUndefined)
{
    EXPECT_EQ(resultText(44, 0), "Undefined Error Code!");
    EXPECT_EQ(resultText(-1, 0), "Undefined Error Code!");
}
