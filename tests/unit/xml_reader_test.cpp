// The XML reader over the job vocabulary: which texts it refuses, with which
// code and line, and that depth costs no call stack.
#include <array>
#include <string>

#include <gtest/gtest.h>

#include "settings/xml_import.h"
#include "settings/xml_reader.h"

namespace orvox {
namespace {

struct Outcome {
    int code;
    int line;
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) { return out << "code " << o.code << " line " << o.line; }

Outcome read(const XmlVocabulary& vocabulary, std::string_view text)
{
    XmlReader reader(vocabulary, text);
    if (reader.parse()) reader.checkStructure();
    return {reader.errorCode(), reader.errorLine()};
}

Outcome read(std::string_view text) { return read(jobSettingsVocabulary(), text); }

TEST(XmlReader, ReportsTheFirstErrorWithItsLine)
{
    struct Case {
        const char* text;
        Outcome expected;
    };
    const Case cases[] = {
        // Nothing to read.
        {"", {38, 0}},
        // Syntax: the line where scanning stopped.
        {" \n\n", {39, 3}},
        {"<?xml version=\"1.0\"?>\n<PRINTER_SETTINGS></PRINTER_SETTINGS>", {39, 1}},
        {"<PRINTER_SETTINGS>\n<!-- job 7 -->\n</PRINTER_SETTINGS>", {39, 2}},
        {"<PRINTER_SETTINGS>\n  <COLLATE/>\n</PRINTER_SETTINGS>", {39, 2}},
        {"<PRINTER_SETTINGS>\n<FILES_TO_PRINT>\n<FILE>A>B</FILE>", {39, 3}},
        {"<PRINTER_SETTINGS>\n<COLLATE>ON</COLLATE>\n", {39, 3}},
        {"<PRINTER_SETTINGS><COLLATE>ON</TRIM_EDGES></PRINTER_SETTINGS>", {39, 1}},
        {"<PRINTER_SETTINGS>\n</PRINTER_SETTINGS>\n\n x", {39, 4}},
        // Unknown names: the element's line.
        {"<PRINTER_SETTINGS>\n<COLLATE>ON</COLLATE>\n<COPIES>2</COPIES>\n</PRINTER_SETTINGS>", {40, 3}},
        // Values that do not fit the tag: the element's line, not where its text ended.
        {"<PRINTER_SETTINGS>\n<BODY_PAPER>03</BODY_PAPER></PRINTER_SETTINGS>", {41, 2}},
        {"<PRINTER_SETTINGS>\n\n<BODY_PAPER>+3</BODY_PAPER></PRINTER_SETTINGS>", {41, 3}},
        {"<PRINTER_SETTINGS><BODY_PAPER>1 2</BODY_PAPER></PRINTER_SETTINGS>", {41, 1}},
        {"<PRINTER_SETTINGS><BODY_PAPER>32768</BODY_PAPER></PRINTER_SETTINGS>", {41, 1}},
        // Numbers at the limits pass; only the misplaced wait time is refused.
        {"<PRINTER_SETTINGS><BODY_PAPER>32767</BODY_PAPER><WAIT_TIME>0</WAIT_TIME></PRINTER_SETTINGS>", {42, 1}},
        {"<PRINTER_SETTINGS><PRINTER_MODEL>ID_FILE_TYPE_PS</PRINTER_MODEL></PRINTER_SETTINGS>", {41, 1}},
        {"<PRINTER_SETTINGS>\n<FILES_TO_PRINT>x</FILES_TO_PRINT></PRINTER_SETTINGS>", {41, 2}},
        {"<PRINTER_SETTINGS>\n<PRINTER> \n\n </PRINTER></PRINTER_SETTINGS>", {41, 2}},
        // Nesting: the element whose children do not fit.
        {"\n\n<COLLATE>ON</COLLATE>", {42, 1}},
        {"<PRINTER_SETTINGS>\n<COLLATE>ON\n<TRIM_EDGES>ON</TRIM_EDGES>\n</COLLATE>\n</PRINTER_SETTINGS>", {42, 3}},
        {"<PRINTER_SETTINGS>\n<FILE>A.PS</FILE>\n</PRINTER_SETTINGS>", {42, 1}},
        {"<PRINTER_SETTINGS><PAPER_SUBSTITUTIONS>\n<PAPER_SUBSTITUTION_ITEM>\n<PAPER>1</PAPER><PAGE_RANGE>1</PAGE_RANGE>"
         "</PAPER_SUBSTITUTION_ITEM></PAPER_SUBSTITUTIONS></PRINTER_SETTINGS>",
         {42, 2}},
        {"<PRINTER_SETTINGS><PAPER_SUBSTITUTIONS>\n\n<PAPER_SUBSTITUTION_ITEM><PAGE_RANGE>1</PAGE_RANGE>"
         "</PAPER_SUBSTITUTION_ITEM></PAPER_SUBSTITUTIONS></PRINTER_SETTINGS>",
         {42, 3}},
        {"<PRINTER_SETTINGS>\n<PROOF_SET>ON<ACTION>ID_PROOFSET_CANCEL</ACTION><WAIT_TIME>5</WAIT_TIME></PROOF_SET>"
         "</PRINTER_SETTINGS>",
         {42, 2}},
        {"<PRINTER_SETTINGS><PRINT_SERVER_OPTIONS>\n<SAVE_AS>ON</SAVE_AS><PRINT>ON</PRINT></PRINT_SERVER_OPTIONS>"
         "</PRINTER_SETTINGS>",
         {42, 1}},
        // Syntax is checked before nesting, so a later syntax error wins.
        {"<PRINTER_SETTINGS>\n<FILE>A.PS</FILE>\n\n</PRINTER_SETTINGS>\nx", {39, 5}},
    };
    for (const Case& c : cases) EXPECT_EQ(read(c.text), c.expected) << c.text;
    // A NUL ends the text, as it ends the host's string.
    using namespace std::string_view_literals;
    EXPECT_EQ(read("\0<PRINTER_SETTINGS></PRINTER_SETTINGS>"sv), (Outcome{38, 0}));
    EXPECT_EQ(read("<PRINTER_SETTINGS>\n</PRINTER_SETTINGS>\0junk"sv), (Outcome{0, -1}));
    XmlReader missing(jobSettingsVocabulary(), static_cast<const char*>(nullptr));
    EXPECT_FALSE(missing.parse());
    EXPECT_EQ((Outcome{missing.errorCode(), missing.errorLine()}), (Outcome{38, 0}));
}

// A small language: the root "R" holds any number of "A"; "A" holds any number
// of "A" and "B"; "B" holds nothing.
constexpr std::array<std::string_view, 3> kNestNames = {"R", "A", "B"};
constexpr std::array<int, 3> kNestKinds = {kXmlContainer, kXmlContainer, kXmlContainer};
constexpr std::array<XmlKeyword, 1> kNoKeywords = {{{0, "", true}}};
constexpr std::array<int, 13> kNestTags = {kModelEnd, 1, 0, kModelMayStop, 0, kModelEnd,
                                           1, 0, 2, 0, kModelMayStop, 0, kModelEnd};
constexpr std::array<int, 13> kNestNext = {0, 0, 1, 0, 0, 0, 0, 6, 0, 6, 0, 0, 0};
constexpr std::array<int, 3> kNestStart = {1, 6, 0};

TEST(XmlReader, DeepNestingNeedsNoCallStack)
{
    const XmlVocabulary nest{kNestNames, kNestKinds, kNoKeywords, kNestTags, kNestNext, kNestStart};
    constexpr int kDepth = 100000;
    std::string open = "<R>";
    std::string close;
    for (int i = 0; i < kDepth; ++i) {
        open += "<A>\n";
        close += "</A>";
    }
    close += "</R>";
    EXPECT_EQ(read(nest, open + close), (Outcome{0, -1}));
    EXPECT_EQ(read(nest, open + "<B></B><A></A>" + close), (Outcome{0, -1}));
    // At the bottom, a "B" that holds something.
    EXPECT_EQ(read(nest, open + "<B>\n<A></A></B>" + close), (Outcome{42, kDepth + 2}));
}

} // namespace
} // namespace orvox
