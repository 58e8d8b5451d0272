// Placement of the paper-attribute panel beside a dropped paper list.
#include <fstream>

#include <gtest/gtest.h>

#include "platform/messages.h"
#include "platform/posix/ini_profile.h"
#include "settings/paper_catalog.h"
#include "test_support.h"
#include "ui/portable/attribute_panel.h"

namespace orvox::ui {
namespace {

constexpr int kScreenW = 1024, kScreenH = 768;

TEST(AttributePanel, GoesRightOfTheListOrLeftNearTheScreenEdge)
{
    // Room on the right; the list is taller than the panel, so the panel is centred on it.
    auto at = placeAttributePanel({100, 200, 300, 401}, 150, 60, kScreenW, kScreenH);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->x, 310);
    EXPECT_EQ(at->y, 200 + (201 / 2 - 60 / 2));

    // Near the right edge: left of the list.
    at = placeAttributePanel({800, 200, 900, 260}, 150, 100, kScreenW, kScreenH);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->x, 800 - 150 - 10);
    EXPECT_EQ(at->y, 200);  // the panel is the taller: aligned with the list's top

    // Fits on neither side: not moved.
    EXPECT_FALSE(placeAttributePanel({100, 200, 1000, 260}, 150, 60, kScreenW, kScreenH));
    // Exactly touching the screen edge still fits on the right.
    EXPECT_EQ(placeAttributePanel({100, 0, 864, 10}, 150, 60, kScreenW, kScreenH)->x, 874);
}

TEST(AttributePanel, StaysAboveTheBottomOfTheScreen)
{
    // A list running off the bottom is taken as opened upwards: raised by its height.
    auto at = placeAttributePanel({100, 600, 300, 800}, 150, 60, kScreenW, kScreenH);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->y, 600 + (100 - 30) - 200);
    // A short list low on the screen: the panel's bottom ends 10 pixels above the edge.
    at = placeAttributePanel({100, 740, 300, 760}, 150, 60, kScreenW, kScreenH);
    ASSERT_TRUE(at);
    EXPECT_EQ(at->y, kScreenH - 10 - 60);
}

TEST(AttributePanel, FieldsShowTheFirst23Characters)
{
    EXPECT_EQ(attributeFieldText("Heavy coated silk 300gsm A3"), "Heavy coated silk 300gs");
    EXPECT_EQ(attributeFieldText("A4"), "A4");
    EXPECT_EQ(attributeFieldText(std::string(23, 'x')), std::string(23, 'x'));
}

class SilentSink : public platform::MessageSink {
public:
    int show(const std::string&, unsigned) override { return platform::kIdOk; }
};

TEST(AttributePanel, ShowsNameSizeColourWeightAndTypeOfTheNamedPaper)
{
    test::ScratchDir dir;
    const std::string file = dir.file("OrvoxPaper.ini");
    std::ofstream(file, std::ios::binary)
        << "[PaperSizes]\r\nNumPaperSizes=2\r\nPaperSize0=A3\r\nPaperSize1=A4\r\n"
           "[Colors]\r\nNumColors=1\r\nColor0=Ivory\r\n"
           "[Weights]\r\nNumWeights=1\r\nWeight0=160 g/m2\r\n"
           "[MediaTypes]\r\nNumMediaTypes=1\r\nMediaType0=Tab Stock\r\n"
           "[Papers]\r\nCount=4\r\nBodyPaper=2\r\n"
           "PaperDef0=Body Paper,2,Ivory,160 g/m2,Tab Stock,0\r\n"
           "PaperDef1=A4 Tabs,2,Ivory,160 g/m2,Tab Stock,1\r\n"
           "PaperDef2=A3 Odd,9,Ivory,160 g/m2,Tab Stock,0\r\n"
           "PaperDef3=A3 Plain,1,Ivory,160 g/m2,Tab Stock,0\r\n";
    platform::IniProfile profile;
    SilentSink sink;
    PaperCatalog catalog(test::shippedStrings(), profile, sink, file);
    ASSERT_TRUE(catalog.loadVocabularies());
    ASSERT_TRUE(catalog.loadCatalog().ok);

    // Names compare without regard to case; the panel shows the catalog's spelling.
    const auto tabs = paperAttributeTexts(catalog, "a4 TABS");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(*tabs, (std::array<std::string, 5>{"A4 Tabs", "A4", "Ivory", "160 g/m2", "Tab Stock"}));
    EXPECT_EQ((*paperAttributeTexts(catalog, "A3 Plain"))[1], "A3") << "size code 1 is the first size";
    // A size code the size list does not have shows no size rather than another paper's.
    EXPECT_EQ((*paperAttributeTexts(catalog, "A3 Odd"))[1], "");
    EXPECT_FALSE(paperAttributeTexts(catalog, "Glossy"));
    EXPECT_FALSE(paperAttributeTexts(catalog, ""));
}

} // namespace
} // namespace orvox::ui
