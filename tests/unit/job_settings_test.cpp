// The settings record is also a file format: its byte form must put every field
// at its offset in little-endian order and carry every byte, reserved or not.
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "settings/job_settings.h"

namespace orvox {
namespace {

JobSettings filledWithPattern(unsigned seed)
{
    JobSettings s;
    std::mt19937 rng(seed);
    auto* bytes = reinterpret_cast<unsigned char*>(&s);
    for (std::size_t i = 0; i < sizeof s; ++i) bytes[i] = static_cast<unsigned char>(rng());
    return s;
}

TEST(JobSettingsRecord, FieldsLandAtTheirOffsetsLittleEndian)
{
    JobSettings s{};
    s.printingMode = 0x0102;
    s.printerModel = -2;
    s.pageRangeTo = 0x0A0B0C0D;
    s.copyCount = 0x01020304;
    s.colorMapping[7].printerColor = 5;
    s.colorMapping[7].spare = 0x0706;
    std::strcpy(s.saveAsPath, "out.prn");
    std::strcpy(s.emailAddress, "ops@example.org");

    const JobSettingsBytes b = toBytes(s);
    EXPECT_EQ(b[1068], 0x02);
    EXPECT_EQ(b[1069], 0x01);
    EXPECT_EQ(b[798], 0xFE);
    EXPECT_EQ(b[799], 0xFF);
    EXPECT_EQ(b[3256], 0x0D);
    EXPECT_EQ(b[3259], 0x0A);
    EXPECT_EQ(b[7232], 0x04);
    EXPECT_EQ(b[7235], 0x01);
    EXPECT_EQ(b[6944], 5);
    EXPECT_EQ(b[6946], 0x06);
    EXPECT_EQ(b[6947], 0x07);
    EXPECT_EQ(std::memcmp(&b[278], "out.prn", 8), 0);
    EXPECT_EQ(std::memcmp(&b[6972], "ops@example.org", 16), 0);
}

TEST(JobSettingsRecord, EveryByteSurvivesARoundTrip)
{
    const JobSettings original = filledWithPattern(7);
    JobSettings copy{};
    fromBytes(toBytes(original), copy);
    EXPECT_EQ(std::memcmp(&original, &copy, sizeof copy), 0);

    // And the other way: an image from outside comes back unchanged.
    JobSettingsBytes image;
    std::mt19937 rng(11);
    for (auto& byte : image) byte = static_cast<unsigned char>(rng());
    JobSettings decoded{};
    fromBytes(image, decoded);
    EXPECT_EQ(toBytes(decoded), image);
}

TEST(JobSettingsRecord, ShorterRecordsLeaveTheLaterFieldsAlone)
{
    JobSettings s{};
    s.trimEdges = 1;
    std::strcpy(s.emailAddress, "kept");
    JobSettingsBytes image{};
    image[1068] = 4;
    image[6968] = 9;  // trimEdges, beyond a 6968-byte record
    fromBytes(std::span(image).first(6968), s);
    EXPECT_EQ(s.printingMode, 4);
    EXPECT_EQ(s.trimEdges, 1);
    EXPECT_STREQ(s.emailAddress, "kept");

    // A text cut by the end of the data takes the bytes there are.
    image[1100] = 'p';
    std::memset(s.chapterPages, 'x', sizeof s.chapterPages);
    fromBytes(std::span(image).first(1101), s);
    EXPECT_EQ(s.chapterPages[0], 'p');
    EXPECT_EQ(s.chapterPages[1], 'x');
}

TEST(JobSettingsRecord, PartialResetKeepsTheFullOnlyFields)
{
    JobSettings s = filledWithPattern(3);
    const JobSettings before = s;
    resetFields(s, false);
    EXPECT_EQ(s.modifyPrintFile, before.modifyPrintFile);
    EXPECT_EQ(s.printerModel, before.printerModel);
    EXPECT_EQ(s.printerLanguage, before.printerLanguage);
    EXPECT_EQ(s.legacyCopyCount, before.legacyCopyCount);
    EXPECT_EQ(std::memcmp(s.reserved0806, before.reserved0806, sizeof s.reserved0806), 0);
    EXPECT_EQ(s.collate, 1);
    EXPECT_EQ(s.copyCount, 1);
    EXPECT_EQ(s.proofWaitTime, 5);
    EXPECT_EQ(s.proofSetAction, 2);
    EXPECT_EQ(s.reserved4042, 1);
    EXPECT_EQ(s.chapterPages[0], '\0');
    EXPECT_EQ(s.reserved0268[2], 0);

    resetFields(s, true);
    EXPECT_EQ(s.modifyPrintFile, 0);
    EXPECT_EQ(s.printerModel, 0);
    EXPECT_EQ(s.reserved0804, 0);
    EXPECT_EQ(s.currentTab, before.currentTab);
    EXPECT_EQ(s.paperCount, before.paperCount);
}

} // namespace
} // namespace orvox
