// IniProfile: the shared private-profile contract, and what only a file-level
// view shows (the bytes it writes).
#include "platform/posix/ini_profile.h"

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "profile_contract.h"
#include "test_support.h"

namespace orvox::test {

INSTANTIATE_TYPED_TEST_SUITE_P(Ini, ProfileContract, ::testing::Types<platform::IniProfile>);

namespace {

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

TEST(IniProfile, WritesKeepCommentsBlankLinesAndOrderAndUseCrLf)
{
    ScratchDir dir;
    const std::string f = dir.file("a.ini");
    writeBytes(f, "; catalog\n[A]\nX=1\n; note\nY=2\n\n[B]\nZ=3\n");
    platform::IniProfile p;
    ASSERT_TRUE(p.writeString(f, "A", "Y", "20"));
    ASSERT_TRUE(p.writeString(f, "A", "New", "n"));
    EXPECT_EQ(readBytes(f), "; catalog\r\n[A]\r\nX=1\r\n; note\r\nY=20\r\nNew=n\r\n\r\n[B]\r\nZ=3\r\n");
}

TEST(IniProfile, ANewSectionGoesAtTheEndAfterABlankLine)
{
    ScratchDir dir;
    const std::string f = dir.file("a.ini");
    writeBytes(f, "[A]\r\nX=1");
    platform::IniProfile p;
    ASSERT_TRUE(p.writeString(f, "B", "K", "v"));
    EXPECT_EQ(readBytes(f), "[A]\r\nX=1\r\n\r\n[B]\r\nK=v\r\n");
    const std::string g = dir.file("new.ini");
    ASSERT_TRUE(p.writeString(g, "B", "K", "v"));
    EXPECT_EQ(readBytes(g), "[B]\r\nK=v\r\n");
}

TEST(IniProfile, DeletingASectionTakesItsCommentsWithIt)
{
    ScratchDir dir;
    const std::string f = dir.file("a.ini");
    writeBytes(f, "[A]\r\nX=1\r\n[Papers]\r\n; old\r\nCount=1\r\n[B]\r\nZ=3\r\n");
    platform::IniProfile p;
    ASSERT_TRUE(p.deleteSection(f, "papers"));
    EXPECT_EQ(readBytes(f), "[A]\r\nX=1\r\n[B]\r\nZ=3\r\n");
    // Deleting from a file that does not exist neither fails nor creates it.
    EXPECT_TRUE(p.deleteSection(dir.file("none.ini"), "Papers"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.ini")));
}

TEST(IniProfile, ACommentLineIsNoKeyEvenWhenAskedForByItsText)
{
    // Wine keeps ";K=v" as a key named ";K"; no caller asks for such a name, and
    // here a comment is a comment.
    ScratchDir dir;
    const std::string f = dir.file("a.ini");
    writeBytes(f, "[S]\r\n;K=commented\r\n");
    platform::IniProfile p;
    EXPECT_EQ(p.getString(f, "S", ";K", "d"), "d");
}

TEST(IniProfile, AFileChangedBehindItsBackIsReadAgain)
{
    ScratchDir dir;
    const std::string f = dir.file("a.ini");
    platform::IniProfile p;
    writeBytes(f, "[S]\r\nK=aaa\r\n");
    EXPECT_EQ(p.getString(f, "S", "K", ""), "aaa");
    writeBytes(f, "[S]\r\nK=bbb\r\n");  // same size, possibly the same time stamp
    EXPECT_EQ(p.getString(f, "S", "K", ""), "bbb");
    std::filesystem::remove(f);
    EXPECT_EQ(p.getString(f, "S", "K", "gone"), "gone");
}

TEST(IniProfile, ATrustingProfileRereadsOnlyAfterItsOwnWrites)
{
    ScratchDir dir;
    const std::string f = dir.file("a.ini");
    platform::IniProfile p(platform::IniProfile::Freshness::kTrustUntilWritten);
    writeBytes(f, "[S]\r\nK=aaa\r\n");
    EXPECT_EQ(p.getString(f, "S", "K", ""), "aaa");
    writeBytes(f, "[S]\r\nK=bbb\r\n");
    EXPECT_EQ(p.getString(f, "S", "K", ""), "aaa");  // what it promised not to notice
    ASSERT_TRUE(p.writeString(f, "S", "L", "1"));
    EXPECT_EQ(p.getString(f, "S", "K", ""), "bbb");
    EXPECT_EQ(p.getInt(f, "S", "L", -1), 1);
}

TEST(IniProfile, WritingToAFolderThatDoesNotExistFails)
{
    ScratchDir dir;
    platform::IniProfile p;
    EXPECT_FALSE(p.writeString(dir.file("no/such/folder.ini"), "S", "K", "v"));
}

TEST(IniProfile, OddLinesAreNeitherSectionsNorKeys)
{
    ScratchDir dir;
    const std::string f = dir.file("a.ini");
    using namespace std::string_literals;
    writeBytes(f, "[S]\r\n[broken\r\nNoEquals\r\nK=v\0w\r\n=empty name\r\n"s);
    platform::IniProfile p;
    EXPECT_EQ(p.getString(f, "S", "K", ""), "v");  // returned as the API's C string
    EXPECT_EQ(p.getString(f, "S", "NoEquals", "d"), "d");
    EXPECT_EQ(p.getString(f, "broken", "K", "d"), "d");
    EXPECT_EQ(p.getString(f, "S", "", "d"), "empty name");
}

TEST(IniProfile, IntegersWrapLikeTheThirtyTwoBitOriginal)
{
    ScratchDir dir;
    const std::string f = dir.file("a.ini");
    writeBytes(f, "[S]\r\nBig=4294967297\r\nMax=2147483647\r\nMinus=-2147483648\r\n");
    platform::IniProfile p;
    EXPECT_EQ(p.getInt(f, "S", "Big", -1), 1);
    EXPECT_EQ(p.getInt(f, "S", "Max", -1), 2147483647);
    EXPECT_EQ(p.getInt(f, "S", "Minus", -1), -2147483647 - 1);
}

} // namespace
} // namespace orvox::test
