// Placement of the paper-attribute panel beside a dropped paper list.
#include <gtest/gtest.h>

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

} // namespace
} // namespace orvox::ui
