// The template set of each printer model and the safe formatting of templates,
// whose texts come from the resource module and are not trusted.
#include <gtest/gtest.h>

#include "platform/posix/res_strings.h"
#include "print/command_templates.h"
#include "test_support.h"

namespace orvox {
namespace {

TEST(CommandTemplates, EachModelLoadsItsOwnBlockAndAReloadReplacesEverySlot)
{
    platform::MapStrings strings({{2250, "m1 first"}, {2429, "m1 last"}, {2430, "m0 first"}, {2609, "m0 last"},
                                  {2434, std::string(300, 'x')}});
    CommandTemplates t;
    ASSERT_EQ(t.load(0, strings), 0);
    EXPECT_EQ(t.text(0), "m0 first");
    EXPECT_EQ(t.text(179), "m0 last");
    EXPECT_EQ(t.text(4).size(), 255u);
    ASSERT_EQ(t.load(1, strings), 0);
    EXPECT_EQ(t.text(0), "m1 first");
    EXPECT_EQ(t.text(179), "m1 last");
    EXPECT_EQ(t.text(4), "");  // the model-0 text is gone, not kept
    EXPECT_EQ(t.load(2, strings), 1);
    EXPECT_EQ(t.text(0), "m1 first");
    EXPECT_EQ(t.text(-1), "");
    EXPECT_EQ(t.text(180), "");
}

TEST(CommandTemplates, EveryTemplateASegmentUsesHasATextInBothBlocks)
{
    static constexpr int kUsed[] = {
        1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  17,  18,  19,  20,  21,
        22,  23,  24,  25,  26,  27,  28,  29,  37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,
        49,  50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,  64,  88,  89,  90,  91,
        92,  93,  94,  98,  107, 108, 111, 112, 120, 122, 123, 124, 126, 127, 128, 129, 130, 131, 132, 133,
        134, 135, 137, 138, 142, 143, 144, 145, 146, 147, 150, 151, 152, 153, 154, 155, 156, 157, 158, 159,
        160, 161, 162, 163, 165, 166, 167, 168, 169, 170, 171, 172, 173, 178};
    for (std::int16_t model : {0, 1}) {
        CommandTemplates t;
        ASSERT_EQ(t.load(model, test::shippedStrings()), 0);
        for (int n : kUsed) EXPECT_FALSE(t.text(n).empty()) << "model " << model << " template " << n;
    }
}

TEST(CommandTemplates, SizeCodesOutsideTheTableHaveNoSize)
{
    EXPECT_STREQ(CommandTemplates::paperSizeText(0), CommandTemplates::paperSizeText(7));
    EXPECT_STREQ(CommandTemplates::paperSizeText(2), "595 842");
    EXPECT_STREQ(CommandTemplates::paperSizeText(10), "0 0");
    EXPECT_STREQ(CommandTemplates::paperSizeText(-1), "0 0");
}

TEST(TemplateFormat, ArgumentsGoInOrderWithFlagsWidthAndPrecision)
{
    EXPECT_EQ(formatTemplate("%s=%d%%%c", {"copies", 3, TemplateArg::character('!')}), "copies=3%!");
    EXPECT_EQ(formatTemplate("[%-5s][%5s][%.2s][%03d][%x][%ld]", {"ab", "cd", "xyz", 7, 255, -4}),
              "[ab   ][   cd][xy][007][ff][-4]");
    EXPECT_EQ(formatTemplate("%c%%-12345X", {TemplateArg::character('\x1B')}), "\x1B%-12345X");
}

TEST(TemplateFormat, AMismatchedOrMissingArgumentNeverReadsBeyondWhatWasGiven)
{
    // Each argument shows in its own form whatever the conversion asks for.
    EXPECT_EQ(formatTemplate("%d|%s", {"text", 42}), "text|42");
    EXPECT_EQ(formatTemplate("%s and %s and %d", {"one"}), "one and  and ");
    // Conversions that would write or read other types are left as they stand.
    EXPECT_EQ(formatTemplate("%n%f%*d%p", {1, 2}), "%n%f%*d%p");
    EXPECT_EQ(formatTemplate("%99999999s|", {"a"}).size(), 1025u);
    EXPECT_EQ(formatTemplate("100%", {}), "100%");
}

TEST(TemplateFormat, UserTextsAreEncodedOrMadeSafeForAQuotedString)
{
    const std::string typed = "A \"b\"\n(c) 5%\x1B\xE9";
    // A token keeps printable ASCII and nothing that ends a line, a string or a field.
    EXPECT_EQ(formatTemplate("x=(%s)", {TemplateArg::userText(typed)}), "x=(A%20%22b%22%0A%28c%29%205%25%1B%E9)");
    EXPECT_EQ(decodeHeaderToken(encodeHeaderToken(typed)), typed);
    EXPECT_EQ(decodeHeaderToken("50%"), "50%");  // a lone percent sign stays
    // A quoted string shows the text on a panel: replaced, not encoded.
    EXPECT_EQ(formatTemplate("N=\"%#s\"", {TemplateArg::userText(typed)}), "N=\"A 'b' (c) 5% \xE9\"");
    EXPECT_EQ(quotedStringText("\x7F\x80\xA0\xA1\xFF"), " ??\xA1?");
    // A precision never leaves half an escape behind.
    EXPECT_EQ(formatTemplate("%.4s|", {TemplateArg::userText("ab\ncd")}), "ab|");
    EXPECT_EQ(formatTemplate("%.5s|", {TemplateArg::userText("ab\ncd")}), "ab%0A|");
    EXPECT_EQ(formatTemplate("%.3s|", {TemplateArg::userText("ab\ncd")}), "ab|");
    // Plain texts of the library itself are written as they are.
    EXPECT_EQ(formatTemplate("%s", {"595 842"}), "595 842");
}

} // namespace
} // namespace orvox
