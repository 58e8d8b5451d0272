// The body paper as the standard variables PAPER and MEDIATYPE: a size in
// points gets its standard name within a tolerance, a catalog media type its
// standard type, and a paper without one keeps only its comment entry.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "document_fixture.h"
#include "pjl_header_check.h"
#include "print/job_header_builder.h"
#include "print/template_format.h"

namespace orvox {
namespace {

using test::readTicket;

TEST(TemplateFormat, ANumberedConversionTakesThatArgumentAndTheOthersGoOnInOrder)
{
    EXPECT_EQ(formatTemplate("%2$s %1$s %s %s|%3$d", {"a", "b", 7}), "b a a b|7");
    EXPECT_EQ(formatTemplate("(%1$.2s)", {"xyz"}), "(xy)");
    EXPECT_EQ(formatTemplate("%9$s|", {"a"}), "|");  // beyond the last argument: nothing
}

TEST(TemplateFormat, PaperSizesGetTheirStandardNameWithinTheTolerance)
{
    // Every size the header is ever given (the size table) and the other standard sizes.
    const std::pair<const char*, const char*> sizes[] = {
        {"792 1224", "LEDGER"}, {"842 1191", "A3"}, {"595 842", "A4"}, {"638 842", ""},  {"612 1008", "LEGAL"},
        {"612 792", "LETTER"},  {"648 792", ""},    {"576 756", ""},   {"648 864", ""},  {"0 0", ""},
        {"522 756", "EXECUTIVE"}, {"420 595", "A5"}, {"499 709", "B5"}, {"729 1032", "JISB4"}};
    for (const auto& [text, name] : sizes) EXPECT_EQ(paperSizeName(text), name) << text;
    // Landscape is the same paper; 5 points either way still is, 6 is not.
    EXPECT_EQ(paperSizeName("842 595"), "A4");
    EXPECT_EQ(paperSizeName("600 837"), "A4");
    EXPECT_EQ(paperSizeName("601 842"), "");
    EXPECT_EQ(paperSizeName("595 848"), "");
    for (const char* bad : {"", "595", "595 842 1", "a4", "-595 -842", "595x842"})
        EXPECT_EQ(paperSizeName(bad), "") << bad;
}

TEST(TemplateFormat, MediaTypesOfTheShippedCatalogMapWhereAStandardTypeExists)
{
    const std::pair<const char*, const char*> types[] = {
        {"(Plain)", "PLAIN"},          {"(Recycled)", "RECYCLED"}, {"(Bond)", "BOND"},
        {"(Coated%20Gloss)", ""},      {"(Coated%20Matte)", ""},   {"(Cover)", "CARDSTOCK"},
        {"(Tab%20Stock)", ""},         {"(Transparency)", "TRANSPARENCY"}, {"(Labels)", "LABELS"},
        {"(Letterhead)", "LETTERHEAD"}, {"(Pre-Drilled)", "PREPUNCHED"}, {"(Pre%ADprinted)", "PREPRINTED"},
        {"()", ""},                    {"plain", "PLAIN"},         {"(Plainer)", ""}};
    for (const auto& [text, name] : types) EXPECT_EQ(mediaTypeName(text), name) << text;
}

TEST(TemplateFormat, ALineWhoseMappingFindsNoNameIsLeftOut)
{
    const char* format = "\nA=%1$s\nP=%2$P\nM=%3$M\nB=%1$s";
    EXPECT_EQ(formatTemplate(format, {"x", "595 842", "(Bond)"}), "\nA=x\nP=A4\nM=BOND\nB=x");
    EXPECT_EQ(formatTemplate(format, {"x", "638 842", "(Bond)"}), "\nA=x\nM=BOND\nB=x");
    EXPECT_EQ(formatTemplate(format, {"x", "638 842", "(Tab%20Stock)"}), "\nA=x\nB=x");
    EXPECT_EQ(formatTemplate(format, {"x"}), "\nA=x\nB=x");  // missing arguments: no name
    // Text after the conversion on its line goes with it; a last line goes whole.
    EXPECT_EQ(formatTemplate("\nK\nP=%P tail %s%%", {"1 1", "y"}), "\nK");
}

std::string readCatalogFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class PjlHeaderMediaTest : public test::DocumentTest {
protected:
    // Catalog entry i + 2 is the paper "Size i" of size code i with the media type
    // `types[i % n]`; entry 1 is the slot the body paper's attributes are copied to.
    void writeCatalog(std::initializer_list<const char*> types)
    {
        const std::string path = dir.file(catalogName());
        std::string catalog = readCatalogFile(path);
        catalog.erase(catalog.find("PaperDef0"));
        catalog += "PaperDef0=Body,2,White,80 g,Plain,0\n";
        std::vector<const char*> list(types);
        for (int i = 0; i < 10; ++i) {
            catalog += "PaperDef" + std::to_string(i + 1) + "=Size " + std::to_string(i) + "," + std::to_string(i) +
                       ",White,80 g," + list[static_cast<std::size_t>(i) % list.size()] + ",0\n";
        }
        const std::string count = test::shippedStrings().load(IDS_CATALOG_COUNT_KEY) + "=";
        const auto at = catalog.find(count);
        catalog.replace(at, catalog.find('\n', at) - at, count + "11");
        std::ofstream(path, std::ios::binary) << catalog;
    }
    std::string build()
    {
        const std::string headerPath = dir.file("job.hdr");
        EXPECT_EQ(builder.writeJobHeader("C:\\a.ps", headerPath,
                                         {doc().record(), doc().catalog(), doc().substitutions(), &ui},
                                         kOutputPostScript),
                  kHeaderOk);
        return readCatalogFile(headerPath);
    }
    JobHeaderBuilder builder{test::shippedStrings(), messages, nullptr};
};

TEST_F(PjlHeaderMediaTest, TheBodyPaperIsSetAsPaperAndMediaTypeWhereTheyHaveStandardNames)
{
    writeCatalog({"Plain", "Coated Matte", "Pre-Drilled"});
    const char* names[] = {"LEDGER", "A3", "A4", "", "LEGAL", "LETTER", "", "LEDGER", "", ""};
    const char* types[] = {"PLAIN", "", "PREPUNCHED"};
    const char* sizes[] = {"792 1224", "842 1191", "595 842", "638 842", "612 1008",
                           "612 792",  "648 792",  "792 1224", "576 756", "648 864"};
    for (std::int16_t model : {0, 1}) {
        for (int code = 0; code < 10; ++code) {
            SCOPED_TRACE("model " + std::to_string(model) + " size code " + std::to_string(code));
            doc().setPrinterModel(model);
            doc().setBodyPaper(code + 2);
            const std::string header = build();
            EXPECT_EQ(test::pjlHeaderError(header), "") << header;
            const auto r = readTicket(header);
            const std::string name = names[code];
            const std::string type = types[code % 3];
            EXPECT_EQ(r.variables.count("PAPER") ? r.variables.at("PAPER") : "", name) << header;
            EXPECT_EQ(r.variables.count("MEDIATYPE") ? r.variables.at("MEDIATYPE") : "", type) << header;
            // The comment entry keeps the size and type whatever their names.
            const auto media = test::TicketReading::fields(r.all("media").at(0));
            ASSERT_EQ(media.size(), 6u);
            EXPECT_EQ(media[1].text + " " + media[2].text, sizes[code]);
            EXPECT_EQ(media[0].text, "Size " + std::to_string(code));
        }
    }
}

TEST_F(PjlHeaderMediaTest, OtherPapersInUseStayCommentsOnly)
{
    writeCatalog({"Bond"});
    doc().setPrinterModel(1);
    doc().setBodyPaper(7);  // size code 5: 8.5 x 11 in
    doc().setSubstitutionsActive(1);
    doc().addSubstitution(4, 0, "3");  // catalog entry 4, size code 2: A4
    const std::string header = build();
    EXPECT_EQ(test::pjlHeaderError(header), "") << header;
    const auto r = readTicket(header);
    EXPECT_EQ(r.variables.at("PAPER"), "LETTER");
    EXPECT_EQ(r.variables.at("MEDIATYPE"), "BOND");
    std::size_t papers = 0;
    for (std::size_t at = header.find("@PJL SET PAPER="); at != std::string::npos;
         at = header.find("@PJL SET PAPER=", at + 1))
        ++papers;
    EXPECT_EQ(papers, 1u);
    EXPECT_GE(r.all("media").size(), 2u);
}

} // namespace
} // namespace orvox
