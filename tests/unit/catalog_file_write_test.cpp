// Writing the catalog file never leaves it half-written: every failure keeps
// the file exactly as it was, and the catalog in memory stays usable.
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "document_fixture.h"

namespace orvox::test {
namespace {

// A profile whose key writes fail after a number of successful ones.
class BreakingProfile : public platform::IniProfile {
public:
    int writesLeft = -1;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::string& value) override
    {
        if (writesLeft == 0) return false;
        if (writesLeft > 0) --writesLeft;
        return IniProfile::writeString(file, section, key, value);
    }
};

class CatalogFileWriteTest : public ::testing::Test {
protected:
    CatalogFileWriteTest()
    {
        writeCatalogFile(path_, 4);
        catalog_.setFileSystem(&files_);
        EXPECT_TRUE(catalog_.loadVocabularies());
        EXPECT_TRUE(catalog_.loadCatalog().ok);
        original_ = bytes();
    }
    std::string bytes() const
    {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool copyLeftBehind() const { return std::filesystem::exists(path_ + ".new"); }
    const std::string& failureText() const
    {
        static const std::string text = shippedStrings().load(IDS_CATALOG_WRITE_FAILED) +
                                        shippedStrings().load(IDS_CATALOG_FILE_NAME) +
                                        shippedStrings().load(IDS_CATALOG_WRITE_FAILED_TAIL);
        return text;
    }

    ScratchDir dir_;
    std::string path_ = dir_.file(shippedStrings().load(IDS_CATALOG_FILE_NAME));
    BreakingProfile profile_;
    RecordingMessages messages_;
    platform::FolderFileSystem files_{dir_.folder(), dir_.folder()};
    PaperCatalog catalog_{shippedStrings(), profile_, messages_, path_};
    std::string original_;
};

TEST_F(CatalogFileWriteTest, AWriteThatFailsHalfwayLeavesTheFileAsItWas)
{
    ASSERT_TRUE(catalog_.addPaper({"Gloss", 1, "White", "120 g", "Cover", 1}));
    for (int writes : {0, 1, 3}) {
        SCOPED_TRACE(writes);
        profile_.writesLeft = writes;
        messages_.shown.clear();
        EXPECT_FALSE(catalog_.saveCatalog(2));
        EXPECT_EQ(bytes(), original_);
        EXPECT_FALSE(copyLeftBehind());
        ASSERT_EQ(messages_.shown.size(), 1u);
        EXPECT_EQ(messages_.shown[0].text, failureText());
    }
    // The catalog in memory is whole, and a later save succeeds.
    EXPECT_EQ(catalog_.paperCount(), 5);
    profile_.writesLeft = -1;
    EXPECT_TRUE(catalog_.saveCatalog(3));
    EXPECT_FALSE(copyLeftBehind());
    PaperCatalog reread(shippedStrings(), profile_, messages_, path_);
    ASSERT_TRUE(reread.loadVocabularies());
    const PaperCatalog::LoadResult r = reread.loadCatalog();
    EXPECT_EQ(r.bodyIndex, 3);
    EXPECT_EQ(reread.catalogText(), catalog_.catalogText());
}

TEST_F(CatalogFileWriteTest, AReadOnlyFileIsNotReplaced)
{
    namespace fs = std::filesystem;
    fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    catalog_.removePaper(4);
    catalog_.setVocabulary(PaperCatalog::kColors, {"Red"});
    EXPECT_FALSE(catalog_.saveCatalogAndVocabularies(2));
    EXPECT_FALSE(catalog_.saveVocabulary(PaperCatalog::kColors));
    fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(bytes(), original_);
    EXPECT_FALSE(copyLeftBehind());
    EXPECT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(catalog_.paperCount(), 3);
}

TEST_F(CatalogFileWriteTest, ListsAndPapersAreReplacedTogetherOrNotAtAll)
{
    catalog_.setVocabulary(PaperCatalog::kColors, {"Red", "Green"});
    catalog_.setVocabulary(PaperCatalog::kWeights, {"200 g"});
    ASSERT_TRUE(catalog_.replacePaper(2, {"Red 200", 1, "Red", "200 g", "Cover", 1}));
    // The lists are written, then the papers fail: nothing of it reaches the file.
    profile_.writesLeft = 6;
    EXPECT_FALSE(catalog_.saveCatalogAndVocabularies(2));
    EXPECT_EQ(bytes(), original_);

    profile_.writesLeft = -1;
    // A copy an interrupted run left behind does not get in the way.
    std::ofstream(path_ + ".new") << "stale";
    ASSERT_TRUE(catalog_.saveCatalogAndVocabularies(2));
    EXPECT_FALSE(copyLeftBehind());
    PaperCatalog reread(shippedStrings(), profile_, messages_, path_);
    ASSERT_TRUE(reread.loadVocabularies());
    ASSERT_TRUE(reread.loadCatalog().ok);
    EXPECT_EQ(reread.vocabulary(PaperCatalog::kColors), (std::vector<std::string>{"Red", "Green"}));
    EXPECT_EQ(reread.vocabulary(PaperCatalog::kWeights), (std::vector<std::string>{"200 g"}));
    // The lists nobody changed keep what the file had.
    EXPECT_EQ(reread.vocabulary(PaperCatalog::kMediaTypes), (std::vector<std::string>{"Plain", "Cover"}));
    EXPECT_EQ(reread.paper(2).name, "Red 200");
    EXPECT_EQ(reread.paperCount(), 4);
}

TEST_F(CatalogFileWriteTest, TheDocumentWritesThroughItsFileSystem)
{
    // The document hands its file system to its catalog, so its saves are whole or nothing.
    RecordingMessages messages;
    platform::Services services{shippedStrings(), profile_, messages, files_};
    JobDocument doc(services, dir_.folder());
    ASSERT_EQ(doc.paperCount(), 4);
    profile_.writesLeft = 2;
    EXPECT_FALSE(doc.catalog().saveCatalog(doc.bodyPaper()));
    EXPECT_EQ(bytes(), original_);
    EXPECT_FALSE(copyLeftBehind());
}

} // namespace
} // namespace orvox::test
