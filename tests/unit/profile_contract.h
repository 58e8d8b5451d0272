#pragma once
// The private-profile behaviour the core relies on, written once and run against
// every platform::Profile implementation: IniProfile natively, and the Win32
// implementation (the real API) in the Windows build, so that the two agree.
// Instantiate with
//   INSTANTIATE_TYPED_TEST_SUITE_P(Name, ProfileContract, ::testing::Types<TheProfile>);
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "test_support.h"

namespace orvox::test {

template <class P>
class ProfileContract : public ::testing::Test {
protected:
    // Writes `bytes` as the whole file and returns its path.
    std::string iniFile(const std::string& bytes, const std::string& name = "test.ini")
    {
        const std::string path = dir_.file(name);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
        return path;
    }
    std::string missingFile() const { return dir_.file("missing.ini"); }
    std::string get(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& def = "DEF", std::size_t maxChars = 259) const
    {
        return profile_.getString(file, section, key, def, maxChars);
    }

    P profile_;
    ScratchDir dir_;
};

TYPED_TEST_SUITE_P(ProfileContract);

TYPED_TEST_P(ProfileContract, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(this->get(this->missingFile(), "S", "K"), "DEF");
    EXPECT_EQ(this->profile_.getInt(this->missingFile(), "S", "K", -1), -1);
    const std::string f = this->iniFile("[S]\r\nK=v\r\n");
    EXPECT_EQ(this->get(f, "T", "K"), "DEF");
    EXPECT_EQ(this->get(f, "S", "L"), "DEF");
    EXPECT_EQ(this->profile_.getInt(f, "S", "L", 17), 17);
}

TYPED_TEST_P(ProfileContract, APresentButEmptyKeyGivesAnEmptyText)
{
    const std::string f = this->iniFile("[S]\r\nK=\r\nB=   \r\n");
    EXPECT_EQ(this->get(f, "S", "K"), "");
    EXPECT_EQ(this->get(f, "S", "B"), "");
    // The integer function cannot tell an empty value from a missing one.
    EXPECT_EQ(this->profile_.getInt(f, "S", "K", 5), 5);
}

TYPED_TEST_P(ProfileContract, TrailingBlanksOfTheDefaultAreDropped)
{
    EXPECT_EQ(this->get(this->missingFile(), "S", "K", "abc   "), "abc");
}

TYPED_TEST_P(ProfileContract, SectionAndKeyNamesIgnoreCase)
{
    const std::string f = this->iniFile("[PaperSizes]\r\nNumPaperSizes=3\r\n");
    EXPECT_EQ(this->get(f, "papersizes", "NUMPAPERSIZES"), "3");
    EXPECT_EQ(this->profile_.getInt(f, "PAPERSIZES", "numpapersizes", -1), 3);
}

TYPED_TEST_P(ProfileContract, BlanksAroundNamesAndValuesAreStripped)
{
    const std::string f = this->iniFile("[S]\r\n  Key  =   two words \t\r\n");
    EXPECT_EQ(this->get(f, "S", "Key"), "two words");
}

TYPED_TEST_P(ProfileContract, OnePairOfSurroundingQuotesIsRemoved)
{
    const std::string f = this->iniFile(
        "[S]\r\nD=\" padded \"\r\nQ='single'\r\nOpen=\"abc\r\nMixed=\"abc'\r\nInner=a\"b\"c\r\nEmpty=\"\"\r\n");
    EXPECT_EQ(this->get(f, "S", "D"), " padded ");
    EXPECT_EQ(this->get(f, "S", "Q"), "single");
    EXPECT_EQ(this->get(f, "S", "Open"), "\"abc");
    EXPECT_EQ(this->get(f, "S", "Mixed"), "\"abc'");
    EXPECT_EQ(this->get(f, "S", "Inner"), "a\"b\"c");
    EXPECT_EQ(this->get(f, "S", "Empty"), "");
}

TYPED_TEST_P(ProfileContract, ValuesAreCutToTheLimit)
{
    const std::string f = this->iniFile("[S]\r\nK=" + std::string(600, 'x') + "\r\n");
    EXPECT_EQ(this->get(f, "S", "K", "", 511), std::string(511, 'x'));
    EXPECT_EQ(this->get(f, "S", "K", "", 255), std::string(255, 'x'));
    EXPECT_EQ(this->get(f, "S", "K", "", 3), "xxx");
}

TYPED_TEST_P(ProfileContract, TheFirstSectionAndTheFirstKeyOfANameWin)
{
    const std::string f = this->iniFile("[S]\r\nK=first\r\nK=second\r\n[T]\r\nX=1\r\n[s]\r\nK=third\r\nL=later\r\n");
    EXPECT_EQ(this->get(f, "S", "K"), "first");
    // Only the first section of a name is searched.
    EXPECT_EQ(this->get(f, "S", "L"), "DEF");
}

TYPED_TEST_P(ProfileContract, CommentLinesAreNotKeys)
{
    const std::string f = this->iniFile("; header comment\r\n[S]\r\n;K=commented\r\nK=real\r\n");
    EXPECT_EQ(this->get(f, "S", "K"), "real");
}

TYPED_TEST_P(ProfileContract, LfAndCrLfFilesReadAlike)
{
    const std::string lf = this->iniFile("[S]\nA=1\nB=two\n", "lf.ini");
    const std::string crlf = this->iniFile("[S]\r\nA=1\r\nB=two\r\n", "crlf.ini");
    for (const std::string& f : {lf, crlf}) {
        EXPECT_EQ(this->get(f, "S", "B"), "two");
        EXPECT_EQ(this->profile_.getInt(f, "S", "A", -1), 1);
    }
    // No line end after the last line.
    const std::string bare = this->iniFile("[S]\r\nA=last", "bare.ini");
    EXPECT_EQ(this->get(bare, "S", "A"), "last");
}

TYPED_TEST_P(ProfileContract, IntegersReadTheLeadingNumber)
{
    const std::string f = this->iniFile("[S]\r\nA=42\r\nB=-7\r\nC=12abc\r\nD=abc\r\nF= +5\r\n");
    EXPECT_EQ(this->profile_.getInt(f, "S", "A", -1), 42);
    EXPECT_EQ(this->profile_.getInt(f, "S", "B", -1), -7);
    EXPECT_EQ(this->profile_.getInt(f, "S", "C", -1), 12);
    EXPECT_EQ(this->profile_.getInt(f, "S", "D", -1), 0);
    EXPECT_EQ(this->profile_.getInt(f, "S", "F", -1), 5);
}

TYPED_TEST_P(ProfileContract, WritingCreatesTheFileSectionAndKey)
{
    const std::string f = this->dir_.file("new.ini");
    ASSERT_TRUE(this->profile_.writeString(f, "Papers", "Count", "2"));
    ASSERT_TRUE(this->profile_.writeString(f, "Papers", "PaperDef0", "A4,2,White,80 g/m2,Plain,0"));
    ASSERT_TRUE(this->profile_.writeString(f, "Colors", "NumColors", "0"));
    EXPECT_EQ(this->profile_.getInt(f, "Papers", "Count", -1), 2);
    EXPECT_EQ(this->get(f, "Papers", "PaperDef0"), "A4,2,White,80 g/m2,Plain,0");
    EXPECT_EQ(this->get(f, "colors", "numcolors"), "0");
}

TYPED_TEST_P(ProfileContract, WritingKeepsTheOtherEntries)
{
    const std::string f = this->iniFile("[A]\r\nX=1\r\nY=2\r\n[B]\r\nZ=3\r\n");
    ASSERT_TRUE(this->profile_.writeString(f, "a", "x", "changed"));
    ASSERT_TRUE(this->profile_.writeString(f, "A", "W", "added"));
    EXPECT_EQ(this->get(f, "A", "X"), "changed");
    EXPECT_EQ(this->get(f, "A", "Y"), "2");
    EXPECT_EQ(this->get(f, "A", "W"), "added");
    EXPECT_EQ(this->get(f, "B", "Z"), "3");
    ASSERT_TRUE(this->profile_.writeString(f, "A", "X", ""));
    EXPECT_EQ(this->get(f, "A", "X"), "");
}

TYPED_TEST_P(ProfileContract, DeletingASectionRemovesOnlyItsKeys)
{
    const std::string f = this->iniFile("[A]\r\nX=1\r\n[Papers]\r\nCount=2\r\nPaperDef0=a\r\n[B]\r\nZ=3\r\n");
    ASSERT_TRUE(this->profile_.deleteSection(f, "PAPERS"));
    EXPECT_EQ(this->get(f, "Papers", "Count"), "DEF");
    EXPECT_EQ(this->get(f, "Papers", "PaperDef0"), "DEF");
    EXPECT_EQ(this->get(f, "A", "X"), "1");
    EXPECT_EQ(this->get(f, "B", "Z"), "3");
    // Rewriting after a delete starts the section afresh.
    ASSERT_TRUE(this->profile_.writeString(f, "Papers", "Count", "1"));
    EXPECT_EQ(this->get(f, "Papers", "Count"), "1");
    EXPECT_EQ(this->get(f, "Papers", "PaperDef0"), "DEF");
    // A section that is not there is no failure.
    EXPECT_TRUE(this->profile_.deleteSection(f, "Nowhere"));
}

REGISTER_TYPED_TEST_SUITE_P(ProfileContract, MissingFileSectionOrKeyGivesTheDefault,
                            APresentButEmptyKeyGivesAnEmptyText, TrailingBlanksOfTheDefaultAreDropped,
                            SectionAndKeyNamesIgnoreCase, BlanksAroundNamesAndValuesAreStripped,
                            OnePairOfSurroundingQuotesIsRemoved, ValuesAreCutToTheLimit,
                            TheFirstSectionAndTheFirstKeyOfANameWin, CommentLinesAreNotKeys,
                            LfAndCrLfFilesReadAlike, IntegersReadTheLeadingNumber,
                            WritingCreatesTheFileSectionAndKey, WritingKeepsTheOtherEntries,
                            DeletingASectionRemovesOnlyItsKeys);

} // namespace orvox::test
