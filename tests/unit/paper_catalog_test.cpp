// The paper catalog: reading the shipped catalog file, the file rules
// (placeholders, numeric references, short lines), the host text, and writing.
#include "settings/paper_catalog.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "ids_catalog.h"
#include "ids_core.h"
#include "platform/posix/ini_profile.h"
#include "test_support.h"

namespace orvox {
namespace {

class RecordingSink : public platform::MessageSink {
public:
    int show(const std::string& text, unsigned type) override
    {
        shown.push_back(text);
        types.push_back(type);
        return platform::kIdOk;
    }
    std::vector<std::string> shown;
    std::vector<unsigned> types;
};

// Vocabulary sections as the shipped texts name them, with the given entries.
std::string vocabularySections(const std::vector<std::string>& sizes, const std::vector<std::string>& colors,
                               const std::vector<std::string>& weights, const std::vector<std::string>& types)
{
    std::string s;
    auto section = [&s](const std::string& name, const std::vector<std::string>& entries) {
        s += "[" + name + "]\r\nNum" + name + "=" + std::to_string(entries.size()) + "\r\n";
        for (std::size_t i = 0; i < entries.size(); ++i)
            s += name.substr(0, name.size() - 1) + std::to_string(i) + "=" + entries[i] + "\r\n";
    };
    section("PaperSizes", sizes);
    section("Colors", colors);
    section("Weights", weights);
    section("MediaTypes", types);
    return s;
}

class PaperCatalogTest : public ::testing::Test {
protected:
    PaperCatalogTest() : file_(dir_.file("OrvoxPaper.ini")), catalog_(strings(), profile_, sink_, file_) {}

    static const platform::StringSource& strings() { return test::shippedStrings(); }
    std::string text(unsigned id) const { return strings().load(id); }

    void writeFile(const std::string& bytes)
    {
        std::ofstream out(file_, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string fileBytes() const
    {
        std::ifstream in(file_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Vocabularies plus a paper section with the given count, body index and lines.
    void writeCatalog(const std::string& count, const std::string& body, const std::vector<std::string>& lines,
                      const std::vector<std::string>& colors = {"White", "Blue", "Pink", "Green"})
    {
        std::string s = vocabularySections({"A3", "A4"}, colors, {"80 g/m2", "100 g/m2"}, {"Plain", "Cover"});
        s += "[Papers]\r\nCount=" + count + "\r\nBodyPaper=" + body + "\r\n";
        for (std::size_t i = 0; i < lines.size(); ++i) s += "PaperDef" + std::to_string(i) + "=" + lines[i] + "\r\n";
        writeFile(s);
    }
    PaperCatalog::LoadResult load()
    {
        EXPECT_TRUE(catalog_.loadVocabularies());
        return catalog_.loadCatalog();
    }

    test::ScratchDir dir_;
    std::string file_;
    platform::IniProfile profile_;
    RecordingSink sink_;
    PaperCatalog catalog_;
};

TEST_F(PaperCatalogTest, TheShippedCatalogLoads)
{
    const std::string shipped = test::sourceDir() + "/install/" + text(IDS_CATALOG_FILE_NAME);
    ASSERT_EQ(text(IDS_CATALOG_FILE_NAME), "OrvoxPaper.ini");
    PaperCatalog c(strings(), profile_, sink_, shipped);
    ASSERT_TRUE(c.loadVocabularies());
    EXPECT_TRUE(c.catalogLoaded());
    EXPECT_EQ(c.vocabulary(PaperCatalog::kSizes).size(), 9u);
    EXPECT_EQ(c.vocabulary(PaperCatalog::kSizes)[1], "A4");
    EXPECT_EQ(c.vocabulary(PaperCatalog::kColors).front(), "White");
    EXPECT_EQ(c.vocabulary(PaperCatalog::kWeights)[2], "80 g/m2");
    EXPECT_EQ(c.vocabulary(PaperCatalog::kMediaTypes).back(), "Pre-Drilled");
    EXPECT_EQ(c.vocabulary(PaperCatalog::kOneSided),
              (std::vector<std::string>{text(IDS_CATALOG_FLAG_TWO_SIDED), text(IDS_CATALOG_FLAG_ONE_SIDED)}));

    const PaperCatalog::LoadResult r = c.loadCatalog();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.bodyIndex, 2);
    ASSERT_EQ(c.paperCount(), 12);
    EXPECT_EQ(c.paperName(1), "Body Paper");
    EXPECT_EQ(c.paper(2), (PaperDefinition{"A4 Plain 80", 2, "White", "80 g/m2", "Plain", 0}));
    EXPECT_EQ(c.paper(7), (PaperDefinition{"A4 Tabs 160", 3, "Ivory", "160 g/m2", "Tab Stock", 1}));
    EXPECT_EQ(c.paper(12), (PaperDefinition{"Tabloid Gloss 120", 7, "White", "120 g/m2", "Coated Gloss", 0}));
    EXPECT_FALSE(c.hasEmptyName());
    EXPECT_FALSE(c.hasDuplicateNames());
    // The body slot carries the attributes of the body paper it names.
    PaperDefinition slot = c.paper(r.bodyIndex);
    slot.name = c.paperName(1);
    EXPECT_EQ(c.paper(1), slot);
    // Every attribute of every paper is in its vocabulary, and every size code has a size.
    for (int i = 1; i <= c.paperCount(); ++i) {
        const PaperDefinition& p = c.paper(i);
        auto in = [&c](int list, const std::string& t) {
            const auto& v = c.vocabulary(list);
            return std::find(v.begin(), v.end(), t) != v.end();
        };
        EXPECT_TRUE(in(PaperCatalog::kColors, p.mediaText1)) << p.name;
        EXPECT_TRUE(in(PaperCatalog::kWeights, p.weight)) << p.name;
        EXPECT_TRUE(in(PaperCatalog::kMediaTypes, p.mediaText3)) << p.name;
        EXPECT_GE(p.sizeCode, 1) << p.name;
        EXPECT_LE(p.sizeCode, 9) << p.name;
    }
}

TEST_F(PaperCatalogTest, CatalogTextFollowsTheLayout)
{
    writeFile("[PaperSizes]\r\nNumPaperSizes=2\r\nPaperSize0=A4\r\nPaperSize1=A3\r\n"
              "[Colors]\r\nNumColors=1\r\nColor0=White\r\n"
              "[Weights]\r\nNumWeights=1\r\nWeight0=80 g/m2\r\n"
              "[MediaTypes]\r\nNumMediaTypes=0\r\n"
              "[Papers]\r\nCount=2\r\nBodyPaper=2\r\n"
              "PaperDef0=Body,1,White,80 g/m2,Plain,0\r\nPaperDef1=Cover A3,2,White,80 g/m2,Cover,1\r\n");
    const PaperCatalog::LoadResult r = load();
    ASSERT_TRUE(r.ok);
    const std::string expected = "A4\nA3\n\n"
                                 "White\n\n"
                                 "80 g/m2\n\n"
                                 "\n"  // the empty media-type list is a single empty line
                                 + text(IDS_CATALOG_FLAG_TWO_SIDED) + "\n" + text(IDS_CATALOG_FLAG_ONE_SIDED) +
                                 "\n\n"
                                 "Body,1,White,80 g/m2,Plain,0\n"
                                 "Cover A3,2,White,80 g/m2,Cover,1\n";
    EXPECT_EQ(catalog_.catalogText(), expected);
}

TEST_F(PaperCatalogTest, TheBodyIndexIsReportedAsRead)
{
    // Clamping to 2..count is the document's (setBodyPaper); the catalog reports the file.
    writeCatalog("3", "7", {"Slot,1,White,80 g/m2,Plain,0", "P2,1,White,80 g/m2,Plain,0", "P3,2,Blue,100 g/m2,Cover,1"});
    PaperCatalog::LoadResult r = load();
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(catalog_.paperCount(), 3);
    EXPECT_EQ(r.bodyIndex, 7);
    EXPECT_EQ(catalog_.paperName(3), "P3");
    EXPECT_EQ(catalog_.paperName(4), "");
    EXPECT_EQ(catalog_.paperName(0), "");

    writeCatalog("3", "1", {"Slot,1,White,80 g/m2,Plain,0", "P2,1,White,80 g/m2,Plain,0", "P3,2,Blue,100 g/m2,Cover,1"});
    r = catalog_.loadCatalog();
    EXPECT_EQ(r.bodyIndex, 1);
    EXPECT_EQ(catalog_.paperCount(), 3);  // a second load replaces, it does not append

    writeFile(vocabularySections({"A4"}, {"White"}, {"80"}, {"Plain"}) + "[Papers]\r\n");
    r = load();
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.bodyIndex, -1);
    EXPECT_EQ(catalog_.paperCount(), 0);
}

TEST_F(PaperCatalogTest, NumericReferencesNameVocabularyEntries)
{
    // List 1 holds four entries: "2" is its third entry; 0 and 4 are not references.
    writeCatalog("4", "2",
                 {"A,1,2,1,1,0", "B,1,0,0,0,0", "C,1,4,7,2,0", "D,1,2x,1 g/m2,10,0"});
    ASSERT_TRUE(load().ok);
    EXPECT_EQ(catalog_.paper(1).mediaText1, "Pink");
    EXPECT_EQ(catalog_.paper(1).weight, "100 g/m2");  // list 2 has two entries
    EXPECT_EQ(catalog_.paper(1).mediaText3, "Cover");
    EXPECT_EQ(catalog_.paper(2).mediaText1, "0");
    EXPECT_EQ(catalog_.paper(2).weight, "0");
    EXPECT_EQ(catalog_.paper(3).mediaText1, "4");
    EXPECT_EQ(catalog_.paper(3).weight, "7");
    EXPECT_EQ(catalog_.paper(3).mediaText3, "2");
    // A text that begins with a digit counts by its leading number.
    EXPECT_EQ(catalog_.paper(4).mediaText1, "Pink");
    EXPECT_EQ(catalog_.paper(4).weight, "100 g/m2");
    EXPECT_EQ(catalog_.paper(4).mediaText3, "10");
}

TEST_F(PaperCatalogTest, PlaceholdersStandForTheDefaults)
{
    const std::string marker = text(IDS_CATALOG_PLACEHOLDER_MARKER);
    ASSERT_GE(marker.size(), 2u);
    const std::string longer = marker.substr(0, 2) + std::string(marker.size(), 'z');
    const std::string shorter = marker.substr(0, marker.size() - 1);
    writeCatalog("2", "2", {marker + ",1," + marker + "," + longer + "," + marker + ",0",
                            "Real," + std::to_string(1) + "," + shorter + ",80 g/m2,Plain,0"},
                 {"White", marker, ""});
    ASSERT_TRUE(load().ok);
    EXPECT_EQ(catalog_.paper(1), (PaperDefinition{text(IDS_CATALOG_DEFAULT_PAPER_NAME), 1,
                                                  text(IDS_CATALOG_DEFAULT_COLOR),
                                                  text(IDS_CATALOG_DEFAULT_WEIGHT),
                                                  text(IDS_CATALOG_DEFAULT_MEDIA_TYPE), 0}));
    EXPECT_EQ(catalog_.paper(2).mediaText1, shorter);  // shorter than the marker: a real value
    // In the vocabularies a placeholder is the list's default, an empty entry the empty text.
    EXPECT_EQ(catalog_.vocabulary(PaperCatalog::kColors),
              (std::vector<std::string>{"White", text(IDS_CATALOG_DEFAULT_COLOR), text(IDS_CATALOG_EMPTY_ENTRY)}));
}

TEST_F(PaperCatalogTest, ShortLinesLeaveTheUnreadFieldsEmpty)
{
    writeCatalog("6", "2",
                 {"OnlyName", "Name,notanumber,White,80,Plain,1", "Name2,3,White", ",1,White,80,Plain,0", "",
                  "Full,-3,White,80 g/m2,Plain, 1 trailing"});
    ASSERT_TRUE(load().ok);
    EXPECT_EQ(catalog_.paper(1), (PaperDefinition{"OnlyName", 0, "", "", "", 0}));
    EXPECT_EQ(catalog_.paper(2), (PaperDefinition{"Name", 0, "", "", "", 0}));
    EXPECT_EQ(catalog_.paper(3), (PaperDefinition{"Name2", 3, "White", "", "", 0}));
    EXPECT_EQ(catalog_.paper(4), PaperDefinition{});  // an empty name ends the reading at once
    EXPECT_EQ(catalog_.paper(5), PaperDefinition{});
    EXPECT_EQ(catalog_.paper(6), (PaperDefinition{"Full", -3, "White", "80 g/m2", "Plain", 1}));
    EXPECT_TRUE(catalog_.hasEmptyName());
}

TEST_F(PaperCatalogTest, LongFieldsAreBoundedAndNumbersKeepSixteenBits)
{
    const std::string big(400, 'n');
    writeCatalog("1", "2", {big + ",65537,White,80,Plain,99999999999"});
    ASSERT_TRUE(load().ok);
    EXPECT_EQ(catalog_.paper(1).name, std::string(255, 'n'));
    EXPECT_EQ(catalog_.paper(1).sizeCode, 1);
    EXPECT_EQ(catalog_.paper(1).flag, static_cast<std::int16_t>(2147483647));  // saturated, then 16 bits
    EXPECT_EQ(catalog_.paper(1).mediaText1, "White");

    PaperDefinition p{std::string(300, 'a'), 1, std::string(300, 'b'), "w", "t", 0};
    ASSERT_TRUE(catalog_.addPaper(p));
    EXPECT_EQ(catalog_.paper(2).name.size(), 255u);
    EXPECT_EQ(catalog_.paper(2).mediaText1.size(), 255u);
}

TEST_F(PaperCatalogTest, NamesThatDifferOnlyInCaseAreDuplicates)
{
    writeCatalog("3", "2", {"Slot,1,White,80,Plain,0", "Glossy A4,1,White,80,Plain,0", "GLOSSY a4,1,White,80,Plain,0"});
    ASSERT_TRUE(load().ok);
    EXPECT_TRUE(catalog_.hasDuplicateNames());
    EXPECT_FALSE(catalog_.hasEmptyName());
    EXPECT_EQ(catalog_.findPaper("glossy A4"), 2);
    EXPECT_EQ(catalog_.findPaper(""), 0);
    EXPECT_EQ(catalog_.findPaper("Matte"), 0);
    ASSERT_TRUE(catalog_.replacePaper(3, {"Matte A4", 1, "White", "80", "Plain", 0}));
    EXPECT_FALSE(catalog_.hasDuplicateNames());
    EXPECT_EQ(catalog_.findPaper("MATTE a4"), 3);
}

TEST_F(PaperCatalogTest, AMissingVocabularyCountFailsButTheFlagTextsAreThere)
{
    writeFile("[PaperSizes]\r\nNumPaperSizes=1\r\nPaperSize0=A4\r\n[Colors]\r\nColor0=White\r\n");
    EXPECT_FALSE(catalog_.loadVocabularies());
    EXPECT_FALSE(catalog_.catalogLoaded());
    EXPECT_EQ(catalog_.vocabulary(PaperCatalog::kSizes), std::vector<std::string>{"A4"});
    EXPECT_TRUE(catalog_.vocabulary(PaperCatalog::kColors).empty());
    EXPECT_EQ(catalog_.vocabulary(PaperCatalog::kOneSided).size(), 2u);
    EXPECT_TRUE(catalog_.vocabulary(7).empty());

    PaperCatalog none(strings(), profile_, sink_, dir_.file("missing.ini"));
    EXPECT_FALSE(none.loadVocabularies());
    EXPECT_TRUE(none.loadCatalog().ok);
    EXPECT_EQ(none.paperCount(), 0);
}

TEST_F(PaperCatalogTest, SavingWritesTheLayoutAndReadsBack)
{
    writeFile("; kept\r\n" + vocabularySections({"A4"}, {"White"}, {"80 g/m2"}, {"Plain"}) +
              "[Papers]\r\nCount=9\r\nBodyPaper=9\r\nPaperDef8=stale\r\n");
    ASSERT_TRUE(catalog_.loadVocabularies());
    catalog_.clearPapers();
    ASSERT_TRUE(catalog_.addPaper({"Body", 1, "White", "80 g/m2", "Plain", 0}));
    ASSERT_TRUE(catalog_.addPaper({"Cover", 1, "White", "80 g/m2", "Plain", 1}));
    ASSERT_TRUE(catalog_.saveCatalog(2));
    const std::string bytes = fileBytes();
    EXPECT_NE(bytes.find("[Papers]\r\nCount=2\r\nBodyPaper=2\r\nPaperDef0=Body,1,White,80 g/m2,Plain,0\r\n"
                         "PaperDef1=Cover,1,White,80 g/m2,Plain,1\r\n"),
              std::string::npos)
        << bytes;
    EXPECT_EQ(bytes.find("stale"), std::string::npos);
    EXPECT_EQ(bytes.rfind("; kept\r\n[PaperSizes]\r\n", 0), 0u);

    PaperCatalog again(strings(), profile_, sink_, file_);
    ASSERT_TRUE(again.loadVocabularies());
    const PaperCatalog::LoadResult r = again.loadCatalog();
    EXPECT_EQ(r.bodyIndex, 2);
    EXPECT_EQ(again.catalogText(), catalog_.catalogText());
    EXPECT_TRUE(sink_.shown.empty());
}

// A profile whose writes fail in chosen ways.
class FailingProfile : public platform::IniProfile {
public:
    bool failDelete = false;
    int writesBeforeFailure = -1;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override
    {
        if (writesBeforeFailure == 0) return false;
        if (writesBeforeFailure > 0) --writesBeforeFailure;
        written.push_back(key);
        return IniProfile::writeString(file, section, key, value);
    }
    bool deleteSection(const std::string& file, const std::string& section) override
    {
        return !failDelete && IniProfile::deleteSection(file, section);
    }
    std::vector<std::string> written;
};

TEST_F(PaperCatalogTest, ASectionThatCannotBeDeletedIsNotWritten)
{
    FailingProfile failing;
    failing.failDelete = true;
    PaperCatalog c(strings(), failing, sink_, file_);
    c.addPaper({"Body", 1, "White", "80", "Plain", 0});
    EXPECT_FALSE(c.saveCatalog(2));
    EXPECT_TRUE(failing.written.empty());
    ASSERT_EQ(sink_.shown.size(), 1u);
    EXPECT_EQ(sink_.shown[0], text(IDS_CATALOG_WRITE_FAILED) + "OrvoxPaper.ini" + text(IDS_CATALOG_WRITE_FAILED_TAIL));
}

TEST_F(PaperCatalogTest, TheFirstFailingWriteEndsTheSave)
{
    FailingProfile failing;
    failing.writesBeforeFailure = 3;  // count, body, PaperDef0
    PaperCatalog c(strings(), failing, sink_, file_);
    for (const char* n : {"A", "B", "C"}) c.addPaper({n, 1, "White", "80", "Plain", 0});
    EXPECT_FALSE(c.saveCatalog(2));
    EXPECT_EQ(failing.written, (std::vector<std::string>{"Count", "BodyPaper", "PaperDef0"}));
}

TEST_F(PaperCatalogTest, SavingAVocabularyWritesTheCountThenTheEntries)
{
    writeFile(vocabularySections({"A4"}, {"White", "Blue", "Old"}, {"80"}, {"Plain"}));
    FailingProfile recording;
    PaperCatalog c(strings(), recording, sink_, file_);
    ASSERT_TRUE(c.loadVocabularies());
    c.setVocabulary(PaperCatalog::kColors, {"White", "Sky Blue"});
    EXPECT_TRUE(c.saveVocabulary(PaperCatalog::kColors));
    EXPECT_EQ(recording.written, (std::vector<std::string>{"NumColors", "Color0", "Color1"}));
    ASSERT_TRUE(catalog_.loadVocabularies());
    EXPECT_EQ(catalog_.vocabulary(PaperCatalog::kColors), (std::vector<std::string>{"White", "Sky Blue"}));

    EXPECT_FALSE(c.saveVocabulary(PaperCatalog::kSizes));
    EXPECT_FALSE(c.saveVocabulary(PaperCatalog::kOneSided));
    c.setVocabulary(PaperCatalog::kWeights, {});
    EXPECT_FALSE(c.saveVocabulary(PaperCatalog::kWeights));
}

TEST_F(PaperCatalogTest, EditingTheInMemoryList)
{
    for (const char* n : {"Slot", "A", "B", "C"}) catalog_.addPaper({n, 1, "White", "80", "Plain", 0});
    ASSERT_TRUE(catalog_.replacePaper(3, {"B", 2, "Blue", "100", "Cover", 1}));
    catalog_.copyAttributesToBodySlot(3);
    EXPECT_EQ(catalog_.paper(1), (PaperDefinition{"Slot", 2, "Blue", "100", "Cover", 1}));
    catalog_.copyAttributesToBodySlot(9);  // out of range: nothing happens
    EXPECT_EQ(catalog_.paper(1).sizeCode, 2);
    EXPECT_FALSE(catalog_.replacePaper(5, {}));
    EXPECT_FALSE(catalog_.removePaper(0));
    ASSERT_TRUE(catalog_.removePaper(2));
    EXPECT_EQ(catalog_.paperCount(), 3);
    EXPECT_EQ(catalog_.findPaper("c"), 3);
    EXPECT_EQ(catalog_.paper(-1), PaperDefinition{});
}

} // namespace
} // namespace orvox
